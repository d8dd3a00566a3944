#include "forms/event_routing.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "forms/form_engine.h"
#include "forms/window_data.h"

namespace rostrel {

namespace {

constexpr const char* kTaskHookProp = "VD_TASKHOOK";

struct HookEntry {
  DWORD thread = 0;  // 0: a free entry
  HHOOK hook = nullptr;
  int forms = 0;
};

std::vector<HookEntry> g_hooks;
HANDLE g_hook_mutex = nullptr;
EventHandler g_handlers[static_cast<int>(HandlerId::OnSearchChar) + 1] = {};

HookEntry* EntryOf(DWORD thread) {
  for (HookEntry& e : g_hooks) {
    if (e.thread == thread) return &e;
  }
  return nullptr;
}

void LeaveHook(HWND form) {
  RemovePropA(form, kTaskHookProp);
  HookEntry* entry = EntryOf(GetCurrentThreadId());
  if (!entry || --entry->forms >= 1) return;
  UnhookWindowsHookEx(entry->hook);
  *entry = HookEntry{};
  if (g_hook_mutex) {
    CloseHandle(g_hook_mutex);
    g_hook_mutex = nullptr;
  }
}

HWND OwnerOf(HWND window, int& id) {
  id = GetDlgCtrlID(window);
  HWND parent = GetParent(window);
  if (id != 0 && parent) return parent;
  id = 0;
  return window;
}

std::string CallbackPropertyName(UINT message, int code) {
  return "VD_HKCBEVT," + std::to_string(message) + "," + std::to_string(code);
}
WNDPROC HookCallback(HWND window, UINT message, int code) {
  return window ? reinterpret_cast<WNDPROC>(GetPropA(window, CallbackPropertyName(message, code).c_str())) : nullptr;
}

// A notification a hook callback has taken: the routing leaves it to the form.
const NMHDR* g_taken_notification = nullptr;

// The hook sees every message sent to a window of its thread before the window
// does, and does what needs no answer: check-box toggling, hook callbacks, tab
// switching and page layout, colours after a system change, the close rule of
// child forms, destroy bindings and the release of framework data.
void WatchMessage(const CWPSTRUCT& call) {
  HWND window = call.hwnd;
  switch (call.message) {
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(call.lParam);
      if (control && HIWORD(call.wParam) == BN_CLICKED && GetPropA(control, "VD_3CBST")) {
        const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
        SendMessageA(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
      }
      break;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(call.lParam);
      if (!header) break;
      if (WNDPROC callback = HookCallback(header->hwndFrom, WM_NOTIFY, static_cast<int>(header->code))) {
        if (callback(window, call.message, call.wParam, call.lParam) != 0) {
          g_taken_notification = header;
          break;
        }
      }
      if (header->code == static_cast<UINT>(TCN_SELCHANGE) && GetPropA(header->hwndFrom, "VD_TABCFRM")) {
        SelectTabPage(header->hwndFrom, static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      break;
    }
    case WM_SIZE:
      if (GetPropA(window, "VD_TABCFRM")) ResizeTabPage(window);
      break;
    case WM_SYSCOLORCHANGE:
      ReapplyColors(window);
      break;
    case WM_CLOSE: {
      // A framed child form closed from its system menu leaves its parent.
      const LONG style = GetWindowLongA(window, GWL_STYLE);
      if (GetPropA(window, "VD_FRMN") && (style & WS_CHILD) && (style & WS_SYSMENU)) {
        ShowWindow(window, SW_HIDE);
        SetWindowLongPtrA(window, GWLP_HWNDPARENT, 0);
        SetParent(window, nullptr);
      }
      break;
    }
    case WM_DESTROY: {
      if (WNDPROC callback = HookCallback(window, WM_DESTROY, 0)) callback(window, call.message, call.wParam, call.lParam);
      if (EventHandler h = BoundHandler(window, WM_DESTROY, 0)) {
        HWND parent = GetParent(window);
        reinterpret_cast<CommandHandler>(h)(parent, parent ? GetDlgCtrlID(window) : 0);
      }
      break;
    }
    default:
      break;
  }
}

LRESULT CALLBACK TaskHookProc(int code, WPARAM wparam, LPARAM lparam) {
  HookEntry* entry = EntryOf(GetCurrentThreadId());
  if (!entry) return 0;
  HHOOK hook = entry->hook;
  if (code < 0 || lparam == 0) return CallNextHookEx(hook, code, wparam, lparam);
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (call->message == WM_NCDESTROY) {
    // The hook may go with this window: pass the message on first.
    const LRESULT next = CallNextHookEx(hook, code, wparam, lparam);
    ReleaseWindowData(call->hwnd);
    return next;
  }
  WatchMessage(*call);
  return CallNextHookEx(hook, code, wparam, lparam);
}

constexpr UINT_PTR kRoutingSubclassId = 0x5644;  // "VD"

// Handlers' argument lists, by message.
using DialogCodeHandler = INT_PTR (*)(HWND owner, int id, WPARAM wparam, LPARAM lparam, WNDPROC own, HWND window);
using SizeHandler = INT_PTR (*)(HWND owner, int id, WPARAM kind, int width, int height);
using FocusHandler = INT_PTR (*)(HWND owner, int id, WPARAM other);
using EnableHandler = INT_PTR (*)(HWND owner, int id, int enabled);
using CopyDataHandler = INT_PTR (*)(HWND owner, int id, WPARAM from, LPARAM data);
using MouseActivateHandler = INT_PTR (*)(HWND owner, int id, WPARAM top, int hit, int mouse_message);
using CursorHandler = INT_PTR (*)(HWND owner, int id, WPARAM under, int x, int y);
using ScrollHandler = INT_PTR (*)(HWND owner, int id, int request, int position, HWND bar);
using PaintHandler = INT_PTR (*)(HWND owner, int id, HDC dc, PAINTSTRUCT* paint);
using ItemHandler = INT_PTR (*)(HWND window, WPARAM id, LPARAM item);
using ContextMenuHandler = INT_PTR (*)(HWND owner, int id, int x, int y);

LRESULT DialogCode(HWND window, WPARAM wparam, LPARAM lparam) {
  int id;
  HWND owner = OwnerOf(window, id);
  auto* asked = reinterpret_cast<MSG*>(lparam);
  INT_PTR code = 0;
  if (EventHandler h = asked ? BoundHandler(window, WM_GETDLGCODE, static_cast<int>(asked->message)) : nullptr) {
    code = reinterpret_cast<KeyHandler>(h)(owner, id, &asked->wParam, asked->lParam);
  } else if (EventHandler any = BoundHandler(window, WM_GETDLGCODE, 0)) {
    // The control's own procedure, for a handler that wants the usual answer.
    auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC));
    code = reinterpret_cast<DialogCodeHandler>(any)(owner, id, wparam, lparam, own, window);
  }
  return code != 0 ? code : DefSubclassProc(window, WM_GETDLGCODE, wparam, lparam);
}

LRESULT Scroll(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND bar = reinterpret_cast<HWND>(lparam);
  EventHandler h = BoundHandler(bar ? bar : window, message, 0);
  const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
  if (!h) return result;
  const int request = LOWORD(wparam), position = HIWORD(wparam);
  if (bar) {
    reinterpret_cast<ScrollHandler>(h)(window, GetDlgCtrlID(window), request, position, bar);
  } else {
    int id;
    HWND owner = OwnerOf(window, id);
    reinterpret_cast<ScrollHandler>(h)(owner, id, request, position, window);
  }
  return result;
}

// Every form, every bound control and the parent of a bound control pass
// through this procedure; it calls the handler a message is bound to with the
// arguments of its message, before or after the window's own processing or in
// its place, as each message needs.
LRESULT CALLBACK RoutingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, RoutingProc, kRoutingSubclassId);
    return DefSubclassProc(window, message, wparam, lparam);
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    return PaintControlColors(window, message, wparam, lparam);
  }
  int id;
  switch (message) {
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lparam);
      EventHandler h = control ? BoundHandler(control, WM_COMMAND, HIWORD(wparam)) : nullptr;
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      if (!h) return result;
      const int control_id = GetDlgCtrlID(control);
      if (control_id != 0) reinterpret_cast<CommandHandler>(h)(window, control_id);
      else reinterpret_cast<CommandHandler>(h)(control, LOWORD(wparam));
      return result;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (!header) break;
      if (header == g_taken_notification) {
        g_taken_notification = nullptr;
        break;
      }
      if (EventHandler h = BoundHandler(header->hwndFrom, WM_NOTIFY, static_cast<int>(header->code))) {
        return reinterpret_cast<NotifyHandler>(h)(window, static_cast<int>(header->idFrom), header);
      }
      break;
    }
    case WM_GETDLGCODE:
      return DialogCode(window, wparam, lparam);
    case WM_SIZE:
      if (EventHandler h = BoundHandler(window, message, 0)) {
        HWND owner = OwnerOf(window, id);
        reinterpret_cast<SizeHandler>(h)(owner, id, wparam, LOWORD(lparam), HIWORD(lparam));
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      EventHandler h = BoundHandler(window, message, 0);
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      if (h) {
        HWND owner = OwnerOf(window, id);
        reinterpret_cast<FocusHandler>(h)(owner, id, wparam);
      }
      return result;
    }
    case WM_ENABLE:
      if (EventHandler h = BoundHandler(window, message, 0)) {
        HWND owner = OwnerOf(window, id);
        reinterpret_cast<EnableHandler>(h)(owner, id, wparam ? -1 : 0);
      }
      break;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
      if (EventHandler h = BoundHandler(window, message, 0)) {
        HWND owner = OwnerOf(window, id);
        if (reinterpret_cast<CommandHandler>(h)(owner, id) != 0) return 0;
      }
      break;
    case WM_COPYDATA:
      if (EventHandler h = lparam ? BoundHandler(window, message, 0) : nullptr) {
        HWND owner = OwnerOf(window, id);
        if (const INT_PTR r = reinterpret_cast<CopyDataHandler>(h)(owner, id, wparam, lparam)) return r;
      }
      break;
    case WM_MOUSEACTIVATE:
      if (EventHandler h = reinterpret_cast<HWND>(wparam) != window ? BoundHandler(window, message, 0) : nullptr) {
        HWND owner = OwnerOf(window, id);
        const INT_PTR r = reinterpret_cast<MouseActivateHandler>(h)(owner, id, wparam, LOWORD(lparam), HIWORD(lparam));
        if (r != 0) return r;
      }
      break;
    case WM_SETCURSOR:
      if (EventHandler h = reinterpret_cast<HWND>(wparam) == window ? BoundHandler(window, message, HIWORD(lparam))
                                                                   : nullptr) {
        HWND owner = OwnerOf(window, id);
        POINT mouse{};
        GetCursorPos(&mouse);
        ScreenToClient(window, &mouse);
        reinterpret_cast<CursorHandler>(h)(owner, id, wparam, mouse.x, mouse.y);
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return Scroll(window, message, wparam, lparam);
    case WM_PAINT:
      if (EventHandler h = BoundHandler(window, message, 0)) {
        HWND owner = OwnerOf(window, id);
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        reinterpret_cast<PaintHandler>(h)(owner, id, dc, &paint);
        EndPaint(window, &paint);
        return 0;
      }
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      HWND item = wparam ? GetDlgItem(window, static_cast<int>(wparam)) : window;
      if (EventHandler h = lparam && item ? BoundHandler(item, message, 0) : nullptr) {
        return reinterpret_cast<ItemHandler>(h)(window, wparam, lparam);
      }
      break;
    }
    case WM_CONTEXTMENU:
      // The message goes on to the parent when the window leaves it: only the
      // window it names asks its handler.
      if (EventHandler h = reinterpret_cast<HWND>(wparam) == window ? BoundHandler(window, message, 0) : nullptr) {
        HWND owner = OwnerOf(window, id);
        const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
        if (reinterpret_cast<ContextMenuHandler>(h)(owner, id, x, y) != 0) return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (EraseWithColor(window, reinterpret_cast<HDC>(wparam))) return 1;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void RouteMessagesOf(HWND window) {
  if (window) SetWindowSubclass(window, RoutingProc, kRoutingSubclassId, 0);
}

namespace {

struct PropertyList {
  std::vector<std::string> names;
};

BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR list) {
  // Properties named by an atom have no text to look at.
  if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strncmp(name, "VD_", 3) == 0) {
    reinterpret_cast<PropertyList*>(list)->names.emplace_back(name);
  }
  return TRUE;
}

}  // namespace

std::string EventPropertyName(UINT message, int code) {
  return "VD_EVENT," + std::to_string(message) + "," + std::to_string(code);
}

bool BindEvent(HWND control, UINT message, int code, EventHandler handler) {
  if (!control || message == 0 || !handler) return false;
  if (!SetPropA(control, EventPropertyName(message, code).c_str(), reinterpret_cast<HANDLE>(handler))) return false;
  // Some messages reach the control itself, others its parent.
  RouteMessagesOf(control);
  if (HWND parent = GetParent(control)) RouteMessagesOf(parent);
  return true;
}

void UnbindEvent(HWND control, UINT message, int code) {
  if (control) RemovePropA(control, EventPropertyName(message, code).c_str());
}

EventHandler BoundHandler(HWND window, UINT message, int code) {
  return window ? reinterpret_cast<EventHandler>(GetPropA(window, EventPropertyName(message, code).c_str())) : nullptr;
}

void SetEventHandler(HandlerId id, EventHandler handler) { g_handlers[static_cast<int>(id)] = handler; }
EventHandler HandlerFor(HandlerId id) { return g_handlers[static_cast<int>(id)]; }

std::string HookMutexName(DWORD thread_id) { return "VD_HKMUTEX" + std::to_string(thread_id); }

int InstallTaskHook(HWND form) {
  if (!form || GetPropA(form, kTaskHookProp)) return 0;
  const DWORD thread = GetCurrentThreadId();
  HookEntry* entry = EntryOf(thread);
  if (!entry) {
    const std::string name = HookMutexName(thread);
    if (HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str())) {
      CloseHandle(other);
      return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!mutex) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(mutex);
      return 0;
    }
    g_hook_mutex = mutex;
    entry = EntryOf(0);
    if (!entry) entry = &g_hooks.emplace_back();
  }
  if (!entry->hook) {
    entry->thread = thread;
    entry->hook = SetWindowsHookExA(WH_CALLWNDPROC, TaskHookProc, nullptr, thread);
  }
  ++entry->forms;
  SetPropA(form, kTaskHookProp, reinterpret_cast<HANDLE>(1));
  return entry->forms;
}

int TaskHookFormCount() {
  const HookEntry* entry = EntryOf(GetCurrentThreadId());
  return entry ? entry->forms : 0;
}

void ReleaseWindowData(HWND window) {
  if (HANDLE brush = GetPropA(window, "VD_BRUSH")) DeleteObject(brush);
  if (HANDLE font = GetPropA(window, "VD_FONT")) DeleteObject(font);
  if (HANDLE bitmap = GetPropA(window, "VD_BITMAP")) DeleteObject(bitmap);
  if (HANDLE icon = GetPropA(window, "VD_ICON")) DestroyIcon(static_cast<HICON>(icon));
  PropertyList list;
  EnumPropsExA(window, CollectProperty, reinterpret_cast<LPARAM>(&list));
  bool counted = false;
  for (const std::string& name : list.names) {
    if (name == kTaskHookProp) {
      counted = true;
      continue;
    }
    HANDLE value = RemovePropA(window, name.c_str());
    if (value && (name == "VD_FRMN" || name == "VD_TAG" || name == "VD_PRSZDLG" || name == "VD_MENUOD")) {
      HeapFree(GetProcessHeap(), 0, value);
    }
  }
  if (counted) LeaveHook(window);
}

}  // namespace rostrel
