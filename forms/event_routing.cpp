#include "forms/event_routing.h"

#include <commctrl.h>

#include <cstring>
#include <unordered_map>
#include <vector>

#include "forms/form_engine.h"
#include "forms/window_data.h"

namespace rostrel {

namespace {

constexpr const char* kTaskHookProp = "VD_TASKHOOK";

// A thread that shows forms: how many of its forms are counted in.
struct TaskEntry {
  DWORD thread = 0;  // 0: a free entry
  int forms = 0;
};

std::vector<TaskEntry> g_tasks;
HANDLE g_hook_mutex = nullptr;
EventHandler g_handlers[static_cast<int>(HandlerId::OnSearchChar) + 1] = {};

struct Binding {
  UINT message;
  int code;
  EventHandler handler;
};

// What the routing knows of a window whose messages pass through it: the
// procedure it had before, and copies of its binding properties, so that no
// message has to look a property up by name on its way.
struct Routed {
  WNDPROC previous = nullptr;
  std::vector<Binding> bindings;   // "VD_EVENT,..." properties
  std::vector<Binding> callbacks;  // "VD_HKCBEVT,..." properties
  bool toggles_check = false;      // "VD_3CBST"
};
std::unordered_map<HWND, Routed> g_routed;

Routed* RoutedOf(HWND window) {
  const auto it = g_routed.find(window);
  return it == g_routed.end() ? nullptr : &it->second;
}

EventHandler Find(const std::vector<Binding>& list, UINT message, int code) {
  for (const Binding& b : list) {
    if (b.message == message && b.code == code) return b.handler;
  }
  return nullptr;
}

void Store(std::vector<Binding>& list, UINT message, int code, EventHandler handler) {
  for (Binding& b : list) {
    if (b.message == message && b.code == code) {
      b.handler = handler;
      return;
    }
  }
  list.push_back({message, code, handler});
}

void Erase(std::vector<Binding>& list, UINT message, int code) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->message == message && it->code == code) {
      list.erase(it);
      return;
    }
  }
}

TaskEntry* EntryOf(DWORD thread) {
  for (TaskEntry& e : g_tasks) {
    if (e.thread == thread) return &e;
  }
  return nullptr;
}

void LeaveHook(HWND form) {
  RemovePropA(form, kTaskHookProp);
  TaskEntry* entry = EntryOf(GetCurrentThreadId());
  if (!entry || --entry->forms >= 1) return;
  *entry = TaskEntry{};
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

// One message on its way through the routing: the window's own procedure is
// "the default".
struct Delivery {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  WNDPROC own;
  LRESULT Default() const { return CallWindowProcA(own, window, message, wparam, lparam); }
};

EventHandler Bound(HWND window, UINT message, int code) {
  const Routed* r = window ? RoutedOf(window) : nullptr;
  return r ? Find(r->bindings, message, code) : nullptr;
}

LRESULT DialogCode(const Delivery& d) {
  int id;
  HWND owner = OwnerOf(d.window, id);
  auto* asked = reinterpret_cast<MSG*>(d.lparam);
  INT_PTR code = 0;
  if (EventHandler h = asked ? Bound(d.window, WM_GETDLGCODE, static_cast<int>(asked->message)) : nullptr) {
    code = reinterpret_cast<KeyHandler>(h)(owner, id, &asked->wParam, asked->lParam);
  } else if (EventHandler any = Bound(d.window, WM_GETDLGCODE, 0)) {
    code = reinterpret_cast<DialogCodeHandler>(any)(owner, id, d.wparam, d.lparam, d.own, d.window);
  }
  return code != 0 ? code : d.Default();
}

LRESULT Scroll(const Delivery& d) {
  HWND bar = reinterpret_cast<HWND>(d.lparam);
  EventHandler h = Bound(bar ? bar : d.window, d.message, 0);
  const LRESULT result = d.Default();
  if (!h) return result;
  const int request = LOWORD(d.wparam), position = HIWORD(d.wparam);
  if (bar) {
    reinterpret_cast<ScrollHandler>(h)(d.window, GetDlgCtrlID(d.window), request, position, bar);
  } else {
    int id;
    HWND owner = OwnerOf(d.window, id);
    reinterpret_cast<ScrollHandler>(h)(owner, id, request, position, d.window);
  }
  return result;
}

LRESULT Command(const Delivery& d) {
  HWND control = reinterpret_cast<HWND>(d.lparam);
  const Routed* r = control ? RoutedOf(control) : nullptr;
  if (!r) return d.Default();
  // A button that toggles its check does so before anything handles the click.
  if (HIWORD(d.wparam) == BN_CLICKED && r->toggles_check) {
    const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    SendMessageA(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    r = RoutedOf(control);
  }
  EventHandler h = r ? Find(r->bindings, WM_COMMAND, HIWORD(d.wparam)) : nullptr;
  const LRESULT result = d.Default();
  if (!h) return result;
  const int control_id = GetDlgCtrlID(control);
  if (control_id != 0) reinterpret_cast<CommandHandler>(h)(d.window, control_id);
  else reinterpret_cast<CommandHandler>(h)(control, LOWORD(d.wparam));
  return result;
}

LRESULT Notify(const Delivery& d) {
  auto* header = reinterpret_cast<NMHDR*>(d.lparam);
  if (!header) return d.Default();
  const Routed* from = RoutedOf(header->hwndFrom);
  if (!from) {
    // An unrouted control (a list's header, say) has no bindings; a tab
    // control that hosts pages is always routed.
    return d.Default();
  }
  const int code = static_cast<int>(header->code);
  // A hook callback that answers non-zero takes the notification from its binding.
  if (auto callback = reinterpret_cast<WNDPROC>(Find(from->callbacks, WM_NOTIFY, code))) {
    if (callback(d.window, d.message, d.wparam, d.lparam) != 0) return d.Default();
    from = RoutedOf(header->hwndFrom);
    if (!from) return d.Default();
  }
  EventHandler h = Find(from->bindings, WM_NOTIFY, code);
  if (header->code == static_cast<UINT>(TCN_SELCHANGE) && GetPropA(header->hwndFrom, "VD_TABCFRM")) {
    SelectTabPage(header->hwndFrom, static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
  }
  if (h) return reinterpret_cast<NotifyHandler>(h)(d.window, static_cast<int>(header->idFrom), header);
  return d.Default();
}

void Destroying(HWND window) {
  const Routed* r = RoutedOf(window);
  if (!r) return;
  auto callback = reinterpret_cast<WNDPROC>(Find(r->callbacks, WM_DESTROY, 0));
  EventHandler h = Find(r->bindings, WM_DESTROY, 0);
  if (callback) callback(window, WM_DESTROY, 0, 0);
  if (h) {
    HWND parent = GetParent(window);
    reinterpret_cast<CommandHandler>(h)(parent, parent ? GetDlgCtrlID(window) : 0);
  }
}

// A framed child form closed from its system menu leaves its parent.
void Closing(HWND window) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if ((style & WS_CHILD) && (style & WS_SYSMENU) && GetPropA(window, "VD_FRMN")) {
    ShowWindow(window, SW_HIDE);
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, 0);
    SetParent(window, nullptr);
  }
}

LRESULT Deliver(const Delivery& d) {
  int id;
  switch (d.message) {
    case WM_COMMAND:
      return Command(d);
    case WM_NOTIFY:
      return Notify(d);
    case WM_GETDLGCODE:
      return DialogCode(d);
    case WM_SIZE:
      if (EventHandler h = Bound(d.window, d.message, 0)) {
        HWND owner = OwnerOf(d.window, id);
        reinterpret_cast<SizeHandler>(h)(owner, id, d.wparam, LOWORD(d.lparam), HIWORD(d.lparam));
      }
      if (GetPropA(d.window, "VD_TABCFRM")) ResizeTabPage(d.window);
      return d.Default();
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      EventHandler h = Bound(d.window, d.message, 0);
      const LRESULT result = d.Default();
      if (h) {
        HWND owner = OwnerOf(d.window, id);
        reinterpret_cast<FocusHandler>(h)(owner, id, d.wparam);
      }
      return result;
    }
    case WM_ENABLE:
      if (EventHandler h = Bound(d.window, d.message, 0)) {
        HWND owner = OwnerOf(d.window, id);
        reinterpret_cast<EnableHandler>(h)(owner, id, d.wparam ? -1 : 0);
      }
      return d.Default();
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
      if (EventHandler h = Bound(d.window, d.message, 0)) {
        HWND owner = OwnerOf(d.window, id);
        if (reinterpret_cast<CommandHandler>(h)(owner, id) != 0) return 0;
      }
      return d.Default();
    case WM_COPYDATA:
      if (EventHandler h = d.lparam ? Bound(d.window, d.message, 0) : nullptr) {
        HWND owner = OwnerOf(d.window, id);
        if (const INT_PTR r = reinterpret_cast<CopyDataHandler>(h)(owner, id, d.wparam, d.lparam)) return r;
      }
      return d.Default();
    case WM_MOUSEACTIVATE:
      if (EventHandler h = reinterpret_cast<HWND>(d.wparam) != d.window ? Bound(d.window, d.message, 0) : nullptr) {
        HWND owner = OwnerOf(d.window, id);
        const INT_PTR r =
            reinterpret_cast<MouseActivateHandler>(h)(owner, id, d.wparam, LOWORD(d.lparam), HIWORD(d.lparam));
        if (r != 0) return r;
      }
      return d.Default();
    case WM_SETCURSOR:
      if (EventHandler h = reinterpret_cast<HWND>(d.wparam) == d.window ? Bound(d.window, d.message, HIWORD(d.lparam))
                                                                       : nullptr) {
        HWND owner = OwnerOf(d.window, id);
        POINT mouse{};
        GetCursorPos(&mouse);
        ScreenToClient(d.window, &mouse);
        reinterpret_cast<CursorHandler>(h)(owner, id, d.wparam, mouse.x, mouse.y);
      }
      return d.Default();
    case WM_HSCROLL:
    case WM_VSCROLL:
      return Scroll(d);
    case WM_PAINT:
      if (EventHandler h = Bound(d.window, d.message, 0)) {
        HWND owner = OwnerOf(d.window, id);
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(d.window, &paint);
        reinterpret_cast<PaintHandler>(h)(owner, id, dc, &paint);
        EndPaint(d.window, &paint);
        return 0;
      }
      return d.Default();
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      HWND item = d.wparam ? GetDlgItem(d.window, static_cast<int>(d.wparam)) : d.window;
      if (EventHandler h = d.lparam && item ? Bound(item, d.message, 0) : nullptr) {
        return reinterpret_cast<ItemHandler>(h)(d.window, d.wparam, d.lparam);
      }
      return d.Default();
    }
    case WM_CONTEXTMENU:
      // The message goes on to the parent when the window leaves it: only the
      // window it names asks its handler.
      if (EventHandler h = reinterpret_cast<HWND>(d.wparam) == d.window ? Bound(d.window, d.message, 0) : nullptr) {
        HWND owner = OwnerOf(d.window, id);
        const int x = static_cast<short>(LOWORD(d.lparam)), y = static_cast<short>(HIWORD(d.lparam));
        if (reinterpret_cast<ContextMenuHandler>(h)(owner, id, x, y) != 0) return 0;
      }
      return d.Default();
    case WM_ERASEBKGND:
      return EraseWithColor(d.window, reinterpret_cast<HDC>(d.wparam)) ? 1 : d.Default();
    case WM_SYSCOLORCHANGE:
      ReapplyColors(d.window);
      return d.Default();
    case WM_CLOSE:
      Closing(d.window);
      return d.Default();
    case WM_DESTROY:
      Destroying(d.window);
      return d.Default();
    default:
      if (d.message >= WM_CTLCOLORMSGBOX && d.message <= WM_CTLCOLORSTATIC) {
        return PaintControlColors(d.window, d.message, d.wparam, d.lparam, d.own);
      }
      return d.Default();
  }
}

// The procedure of every routed window. It calls the handler a message is
// bound to with the arguments of its message, before or after the window's own
// processing or in its place, as each message needs; at the window's end it
// releases the framework's data and gives the window its own procedure back.
LRESULT CALLBACK RoutingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const Routed* r = RoutedOf(window);
  if (!r) return DefWindowProcA(window, message, wparam, lparam);
  const WNDPROC own = r->previous;
  if (message == WM_NCDESTROY) {
    ReleaseWindowData(window);
    g_routed.erase(window);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    return CallWindowProcA(own, window, message, wparam, lparam);
  }
  return Deliver({window, message, wparam, lparam, own});
}

}  // namespace

void RouteMessagesOf(HWND window) {
  if (!window || !IsWindow(window)) return;
  Routed& r = g_routed[window];
  if (r.previous) return;
  r.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RoutingProc)));
}

void SetHookCallback(HWND window, UINT message, int code, WNDPROC callback) {
  if (!window || !callback) return;
  SetPropA(window, CallbackPropertyName(message, code).c_str(), reinterpret_cast<HANDLE>(callback));
  RouteMessagesOf(window);
  if (Routed* r = RoutedOf(window)) Store(r->callbacks, message, code, reinterpret_cast<EventHandler>(callback));
}

void SetCheckToggle(HWND button, bool toggles) {
  if (!button) return;
  if (!toggles) {
    RemovePropA(button, "VD_3CBST");
    if (Routed* r = RoutedOf(button)) r->toggles_check = false;
    return;
  }
  SetPropA(button, "VD_3CBST", reinterpret_cast<HANDLE>(1));
  RouteMessagesOf(button);
  if (HWND parent = GetParent(button)) RouteMessagesOf(parent);
  if (Routed* r = RoutedOf(button)) r->toggles_check = true;
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
  if (Routed* r = RoutedOf(control)) Store(r->bindings, message, code, handler);
  return true;
}

void UnbindEvent(HWND control, UINT message, int code) {
  if (!control) return;
  RemovePropA(control, EventPropertyName(message, code).c_str());
  if (Routed* r = RoutedOf(control)) Erase(r->bindings, message, code);
}

EventHandler BoundHandler(HWND window, UINT message, int code) { return Bound(window, message, code); }

void SetEventHandler(HandlerId id, EventHandler handler) { g_handlers[static_cast<int>(id)] = handler; }
EventHandler HandlerFor(HandlerId id) { return g_handlers[static_cast<int>(id)]; }

std::string HookMutexName(DWORD thread_id) { return "VD_HKMUTEX" + std::to_string(thread_id); }

int InstallTaskHook(HWND form) {
  if (!form || GetPropA(form, kTaskHookProp)) return 0;
  const DWORD thread = GetCurrentThreadId();
  TaskEntry* entry = EntryOf(thread);
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
    if (!entry) entry = &g_tasks.emplace_back();
  }
  entry->thread = thread;
  ++entry->forms;
  SetPropA(form, kTaskHookProp, reinterpret_cast<HANDLE>(1));
  return entry->forms;
}

int TaskHookFormCount() {
  const TaskEntry* entry = EntryOf(GetCurrentThreadId());
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
  // What the routing copied from the properties goes with them.
  if (Routed* r = RoutedOf(window)) {
    r->bindings.clear();
    r->callbacks.clear();
    r->toggles_check = false;
  }
  if (counted) LeaveHook(window);
}

}  // namespace rostrel
