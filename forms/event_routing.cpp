#include "forms/event_routing.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "forms/form_engine.h"

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

LRESULT CALLBACK TaskHookProc(int code, WPARAM wparam, LPARAM lparam) {
  HookEntry* entry = EntryOf(GetCurrentThreadId());
  if (!entry) return 0;
  HHOOK hook = entry->hook;
  if (code < 0 || lparam == 0) return CallNextHookEx(hook, code, wparam, lparam);
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  switch (call->message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(call->lParam);
      if (header && header->code == static_cast<UINT>(TCN_SELCHANGE) && GetPropA(header->hwndFrom, "VD_TABCFRM")) {
        SelectTabPage(header->hwndFrom, static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      break;
    }
    case WM_SIZE:
      if (GetPropA(call->hwnd, "VD_TABCFRM")) ResizeTabPage(call->hwnd);
      break;
    case WM_NCDESTROY: {
      // The hook may go with this window: pass the message on first.
      const LRESULT next = CallNextHookEx(hook, code, wparam, lparam);
      ReleaseWindowData(call->hwnd);
      return next;
    }
    default:
      break;
  }
  return CallNextHookEx(hook, code, wparam, lparam);
}

constexpr UINT_PTR kKeySubclassId = 0x5644;  // "VD"

// WM_GETDLGCODE of a control with key bindings: the handler bound to the key
// message asked about sees it first, and its non-zero result is the answer.
LRESULT CALLBACK KeySubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, KeySubclassProc, kKeySubclassId);
  if (message == WM_GETDLGCODE) {
    auto* asked = reinterpret_cast<MSG*>(lparam);
    EventHandler h = asked ? BoundHandler(window, WM_GETDLGCODE, static_cast<int>(asked->message)) : nullptr;
    if (h) {
      const int id = GetDlgCtrlID(window);
      HWND owner = id != 0 ? GetParent(window) : window;
      const INT_PTR code = reinterpret_cast<KeyHandler>(h)(owner, id, &asked->wParam, asked->lParam);
      if (code != 0) return code;
    }
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

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
  if (message == WM_GETDLGCODE) SetWindowSubclass(control, KeySubclassProc, kKeySubclassId, 0);
  return true;
}

bool RouteCommand(HWND form, WPARAM wparam, LPARAM lparam) {
  HWND control = reinterpret_cast<HWND>(lparam);
  if (!control) return false;
  EventHandler h = BoundHandler(control, WM_COMMAND, HIWORD(wparam));
  if (!h) return false;
  const int id = GetDlgCtrlID(control);
  if (id != 0) reinterpret_cast<CommandHandler>(h)(form, id);
  else reinterpret_cast<CommandHandler>(h)(control, LOWORD(wparam));
  return true;
}

bool RouteNotify(HWND form, LPARAM lparam, INT_PTR& result) {
  auto* header = reinterpret_cast<NMHDR*>(lparam);
  if (!header) return false;
  EventHandler h = BoundHandler(header->hwndFrom, WM_NOTIFY, static_cast<int>(header->code));
  if (!h) return false;
  result = reinterpret_cast<NotifyHandler>(h)(form, static_cast<int>(header->idFrom), header);
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
