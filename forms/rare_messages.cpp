// The routing of the messages the program binds no handler to, kept apart
// from the ones it uses: paint, scroll, copy-data, cursor, draw-item and
// measure-item, context menu and mouse-activate.
#include "forms/routing_detail.h"

namespace rostrel::routing {

namespace {

LRESULT Scroll(const Delivery& d) {
  HWND bar = reinterpret_cast<HWND>(d.lparam);
  const ScrollHandler h = BoundAs<HandlerKind::Scroll>(bar ? bar : d.window, d.message, 0);
  const LRESULT result = d.Default();
  if (!h) return result;
  const int request = LOWORD(d.wparam), thumb = HIWORD(d.wparam);
  if (bar) {
    h(d.window, GetDlgCtrlID(d.window), request, thumb, bar);
  } else {
    int id;
    HWND owner = OwnerOf(d.window, id);
    h(owner, id, request, thumb, d.window);
  }
  return result;
}

LRESULT CopyData(const Delivery& d) {
  int id;
  if (CopyDataHandler h = d.lparam ? BoundAs<HandlerKind::CopyData>(d.window, d.message, 0) : nullptr) {
    HWND owner = OwnerOf(d.window, id);
    if (const INT_PTR r = h(owner, id, d.wparam, d.lparam)) return r;
  }
  return d.Default();
}

LRESULT MouseActivate(const Delivery& d) {
  int id;
  const bool other = reinterpret_cast<HWND>(d.wparam) != d.window;
  if (MouseActivateHandler h = other ? BoundAs<HandlerKind::MouseActivate>(d.window, d.message, 0) : nullptr) {
    HWND owner = OwnerOf(d.window, id);
    if (const INT_PTR r = h(owner, id, d.wparam, LOWORD(d.lparam), HIWORD(d.lparam))) return r;
  }
  return d.Default();
}

LRESULT Cursor(const Delivery& d) {
  int id;
  const bool own = reinterpret_cast<HWND>(d.wparam) == d.window;
  if (CursorHandler h = own ? BoundAs<HandlerKind::Cursor>(d.window, d.message, HIWORD(d.lparam)) : nullptr) {
    HWND owner = OwnerOf(d.window, id);
    POINT mouse{};
    GetCursorPos(&mouse);
    ScreenToClient(d.window, &mouse);
    h(owner, id, d.wparam, mouse.x, mouse.y);
  }
  return d.Default();
}

LRESULT Paint(const Delivery& d) {
  int id;
  if (PaintHandler h = BoundAs<HandlerKind::Paint>(d.window, d.message, 0)) {
    HWND owner = OwnerOf(d.window, id);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(d.window, &paint);
    h(owner, id, dc, &paint);
    EndPaint(d.window, &paint);
    return 0;
  }
  return d.Default();
}

LRESULT Item(const Delivery& d) {
  HWND item = d.wparam ? GetDlgItem(d.window, static_cast<int>(d.wparam)) : d.window;
  if (ItemHandler h = d.lparam && item ? BoundAs<HandlerKind::Item>(item, d.message, 0) : nullptr) {
    return h(d.window, d.wparam, d.lparam);
  }
  return d.Default();
}

// The message goes on to the parent when the window leaves it: only the
// window it names asks its handler.
LRESULT ContextMenu(const Delivery& d) {
  int id;
  const bool own = reinterpret_cast<HWND>(d.wparam) == d.window;
  if (ContextMenuHandler h = own ? BoundAs<HandlerKind::ContextMenu>(d.window, d.message, 0) : nullptr) {
    const int x = static_cast<short>(LOWORD(d.lparam)), y = static_cast<short>(HIWORD(d.lparam));
    HWND owner = OwnerOf(d.window, id);
    if (h(owner, id, x, y) != 0) return 0;
  }
  return d.Default();
}

}  // namespace

LRESULT DeliverRarely(const Delivery& d) {
  switch (d.message) {
    case WM_HSCROLL: case WM_VSCROLL: return Scroll(d);
    case WM_COPYDATA: return CopyData(d);
    case WM_MOUSEACTIVATE: return MouseActivate(d);
    case WM_SETCURSOR: return Cursor(d);
    case WM_PAINT: return Paint(d);
    case WM_DRAWITEM: case WM_MEASUREITEM: return Item(d);
    case WM_CONTEXTMENU: return ContextMenu(d);
    default: return d.Default();
  }
}

}  // namespace rostrel::routing
