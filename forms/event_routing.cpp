#include "forms/event_routing.h"

#include <commctrl.h>

#include <cstring>
#include <unordered_map>
#include <vector>

#include "forms/form_engine.h"
#include "forms/routing_detail.h"
#include "forms/window_data.h"

namespace rostrel {

namespace routing {

HWND OwnerOf(HWND window, int& id) {
  id = GetDlgCtrlID(window);
  HWND parent = GetParent(window);
  if (id != 0 && parent) return parent;
  id = 0;
  return window;
}

}  // namespace routing

namespace {

using namespace routing;

struct Binding {
  UINT message;
  int code;
  EventHandler handler;
};
struct Callback {
  UINT message;
  int code;
  WNDPROC procedure;
};

// What the routing knows of a window whose messages pass through it: the
// procedure it had before, and copies of its binding properties, so that no
// message has to look a property up by name on its way.
struct Routed {
  WNDPROC previous = nullptr;
  std::vector<Binding> bindings;   // "VD_EVENT,..." properties
  std::vector<Callback> callbacks;  // "VD_HKCBEVT,..." properties
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
  return {};
}

WNDPROC FindCallback(const std::vector<Callback>& list, UINT message, int code) {
  for (const Callback& c : list) {
    if (c.message == message && c.code == code) return c.procedure;
  }
  return nullptr;
}

// Stores entry over the one for the same message and code, or adds it.
template <typename Entry>
void Store(std::vector<Entry>& list, const Entry& entry) {
  for (Entry& e : list) {
    if (e.message == entry.message && e.code == entry.code) {
      e = entry;
      return;
    }
  }
  list.push_back(entry);
}

void Erase(std::vector<Binding>& list, UINT message, int code) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->message == message && it->code == code) {
      list.erase(it);
      return;
    }
  }
}

std::string CallbackPropertyName(UINT message, int code) {
  return "VD_HKCBEVT," + std::to_string(message) + "," + std::to_string(code);
}

LRESULT DialogCode(const Delivery& d) {
  int id;
  HWND owner = OwnerOf(d.window, id);
  auto* asked = reinterpret_cast<MSG*>(d.lparam);
  INT_PTR code = 0;
  if (KeyHandler key = asked ? BoundAs<HandlerKind::Key>(d.window, WM_GETDLGCODE, static_cast<int>(asked->message))
                             : nullptr) {
    code = key(owner, id, &asked->wParam, asked->lParam);
  } else if (DialogCodeHandler any = BoundAs<HandlerKind::DialogCode>(d.window, WM_GETDLGCODE, 0)) {
    code = any(owner, id, d.wparam, d.lparam, d.own, d.window);
  }
  return code != 0 ? code : d.Default();
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
  const CommandHandler h = r ? Find(r->bindings, WM_COMMAND, HIWORD(d.wparam)).As<HandlerKind::Command>() : nullptr;
  const LRESULT result = d.Default();
  if (!h) return result;
  const int control_id = GetDlgCtrlID(control);
  if (control_id != 0) h(d.window, control_id);
  else h(control, LOWORD(d.wparam));
  return result;
}

LRESULT Notify(const Delivery& d) {
  auto* header = reinterpret_cast<NMHDR*>(d.lparam);
  if (!header) return d.Default();
  const Routed* from = RoutedOf(header->hwndFrom);
  if (!from) {
    // An unrouted control has no bindings; a tab control that hosts pages is
    // always routed.
    return d.Default();
  }
  const int code = static_cast<int>(header->code);
  // A hook callback that answers non-zero takes the notification from its binding.
  if (WNDPROC callback = FindCallback(from->callbacks, WM_NOTIFY, code)) {
    if (callback(d.window, d.message, d.wparam, d.lparam) != 0) return d.Default();
    from = RoutedOf(header->hwndFrom);
    if (!from) return d.Default();
  }
  const NotifyHandler h = Find(from->bindings, WM_NOTIFY, code).As<HandlerKind::Notify>();
  if (header->code == static_cast<UINT>(TCN_SELCHANGE) && GetPropA(header->hwndFrom, "VD_TABCFRM")) {
    SelectTabPage(header->hwndFrom, static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
  }
  if (h) return h(d.window, static_cast<int>(header->idFrom), header);
  return d.Default();
}

void Destroying(HWND window) {
  const Routed* r = RoutedOf(window);
  if (!r) return;
  const WNDPROC callback = FindCallback(r->callbacks, WM_DESTROY, 0);
  const CommandHandler h = Find(r->bindings, WM_DESTROY, 0).As<HandlerKind::Command>();
  if (callback) callback(window, WM_DESTROY, 0, 0);
  if (h) {
    HWND parent = GetParent(window);
    h(parent, parent ? GetDlgCtrlID(window) : 0);
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

LRESULT Size(const Delivery& d) {
  int id;
  if (SizeHandler h = BoundAs<HandlerKind::Size>(d.window, d.message, 0)) {
    HWND owner = OwnerOf(d.window, id);
    h(owner, id, d.wparam, LOWORD(d.lparam), HIWORD(d.lparam));
  }
  if (GetPropA(d.window, "VD_TABCFRM")) ResizeTabPage(d.window);
  return d.Default();
}

LRESULT Focus(const Delivery& d) {
  const FocusHandler h = BoundAs<HandlerKind::Focus>(d.window, d.message, 0);
  const LRESULT result = d.Default();
  int id;
  if (h) {
    HWND owner = OwnerOf(d.window, id);
    h(owner, id, d.wparam);
  }
  return result;
}

LRESULT Enable(const Delivery& d) {
  int id;
  if (EnableHandler h = BoundAs<HandlerKind::Enable>(d.window, d.message, 0)) {
    HWND owner = OwnerOf(d.window, id);
    h(owner, id, d.wparam ? -1 : 0);
  }
  return d.Default();
}

// Cut, copy and paste: a handler that answers non-zero does them instead.
LRESULT Clipboard(const Delivery& d) {
  int id;
  HWND owner = OwnerOf(d.window, id);
  const CommandHandler h = BoundAs<HandlerKind::Command>(d.window, d.message, 0);
  if (h && h(owner, id) != 0) return 0;
  return d.Default();
}

LRESULT Deliver(const Delivery& d) {
  switch (d.message) {
    case WM_COMMAND: return Command(d);
    case WM_NOTIFY: return Notify(d);
    case WM_GETDLGCODE: return DialogCode(d);
    case WM_SIZE: return Size(d);
    case WM_SETFOCUS: case WM_KILLFOCUS: return Focus(d);
    case WM_ENABLE: return Enable(d);
    case WM_CUT: case WM_COPY: case WM_PASTE: return Clipboard(d);
    case WM_ERASEBKGND: return EraseWithColor(d.window, reinterpret_cast<HDC>(d.wparam)) ? 1 : d.Default();
    case WM_SYSCOLORCHANGE: ReapplyColors(d.window); return d.Default();
    case WM_CLOSE: Closing(d.window); return d.Default();
    case WM_DESTROY: Destroying(d.window); return d.Default();
    default: break;
  }
  if (d.message >= WM_CTLCOLORMSGBOX && d.message <= WM_CTLCOLORSTATIC) {
    return PaintControlColors(d.window, d.message, d.wparam, d.lparam, d.own);
  }
  return DeliverRarely(d);
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
  // No exception leaves for the system: the window's own procedure answers
  // instead, unless it has answered already.
  const Delivery delivery{window, message, wparam, lparam, own};
  try {
    return Deliver(delivery);
  } catch (...) {
    return delivery.Default();
  }
}

}  // namespace

EventHandler routing::Bound(HWND window, UINT message, int code) {
  const Routed* r = window ? RoutedOf(window) : nullptr;
  return r ? Find(r->bindings, message, code) : EventHandler{};
}

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
  if (Routed* r = RoutedOf(window)) Store(r->callbacks, Callback{message, code, callback});
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
    try {
      reinterpret_cast<PropertyList*>(list)->names.emplace_back(name);
    } catch (...) {
      return FALSE;  // short of memory: no exception leaves for the system
    }
  }
  return TRUE;
}

}  // namespace

std::string EventPropertyName(UINT message, int code) {
  return "VD_EVENT," + std::to_string(message) + "," + std::to_string(code);
}

bool BindEvent(HWND control, UINT message, int code, EventHandler handler) {
  if (!control || message == 0 || !handler || handler.kind() != KindForBinding(message, code)) return false;
  // The property marks the binding; the handler itself lives in the routing's table.
  if (!SetPropA(control, EventPropertyName(message, code).c_str(), reinterpret_cast<HANDLE>(1))) return false;
  // Some messages reach the control itself, others its parent.
  RouteMessagesOf(control);
  if (HWND parent = GetParent(control)) RouteMessagesOf(parent);
  if (Routed* r = RoutedOf(control)) Store(r->bindings, Binding{message, code, handler});
  return true;
}

void UnbindEvent(HWND control, UINT message, int code) {
  if (!control) return;
  RemovePropA(control, EventPropertyName(message, code).c_str());
  if (Routed* r = RoutedOf(control)) Erase(r->bindings, message, code);
}

EventHandler BoundHandler(HWND window, UINT message, int code) { return Bound(window, message, code); }

namespace {

// What a "VD_" property's value is, for its release. Properties not named here
// (bindings, colours, marks) own nothing.
enum class Ownership { GdiObject, Icon, HeapBlock };
struct OwningProperty {
  const char* name;
  Ownership owns;
};
constexpr OwningProperty kOwningProperties[] = {
    {"VD_BRUSH", Ownership::GdiObject}, {"VD_FONT", Ownership::GdiObject},  {"VD_BITMAP", Ownership::GdiObject},
    {"VD_ICON", Ownership::Icon},       {"VD_FRMN", Ownership::HeapBlock},  {"VD_TAG", Ownership::HeapBlock},
    {"VD_PRSZDLG", Ownership::HeapBlock}, {"VD_MENUOD", Ownership::HeapBlock},
};

void ReleaseValue(const std::string& name, HANDLE value) {
  if (!value) return;
  for (const OwningProperty& p : kOwningProperties) {
    if (name != p.name) continue;
    switch (p.owns) {
      case Ownership::GdiObject: DeleteObject(value); break;
      case Ownership::Icon: DestroyIcon(static_cast<HICON>(value)); break;
      case Ownership::HeapBlock: HeapFree(GetProcessHeap(), 0, value); break;
    }
  }
}

}  // namespace

void ReleaseWindowData(HWND window) {
  PropertyList list;
  EnumPropsExA(window, CollectProperty, reinterpret_cast<LPARAM>(&list));
  bool counted = false;
  for (const std::string& name : list.names) {
    if (name == kTaskHookProperty) {
      counted = true;  // the form's count is left last, with its own rules
      continue;
    }
    ReleaseValue(name, RemovePropA(window, name.c_str()));
  }
  // What the routing copied from the properties goes with them.
  if (Routed* r = RoutedOf(window)) {
    r->bindings.clear();
    r->callbacks.clear();
    r->toggles_check = false;
  }
  if (counted) LeaveTaskHook(window);
}

}  // namespace rostrel
