// Inside the routing: one message on its way and the handlers bound to it,
// shared by the routing's two files (event_routing.cpp and
// rare_messages.cpp). Nothing outside them includes this.
#pragma once

#include "forms/event_routing.h"

namespace rostrel::routing {

// One message on its way through the routing: the window's own procedure is
// "the default", which runs at most once; a second call gives its result.
struct Delivery {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  WNDPROC own;
  mutable bool defaulted = false;
  mutable LRESULT default_result = 0;
  LRESULT Default() const {
    if (!defaulted) {
      defaulted = true;
      default_result = CallWindowProcA(own, window, message, wparam, lparam);
    }
    return default_result;
  }
};

EventHandler Bound(HWND window, UINT message, int code);

// The bound handler of kind K, or none.
template <HandlerKind K>
typename HandlerOfKind<K>::type BoundAs(HWND window, UINT message, int code) {
  return Bound(window, message, code).template As<K>();
}

// The window's parent and the window's ID, or the window itself and ID 0
// for a window that is no control.
HWND OwnerOf(HWND window, int& id);

// The form's count leaves its thread's entry; the entry and the mutex go with
// the thread's last form.
void LeaveTaskHook(HWND form);
// The property that marks a counted form.
constexpr const char* kTaskHookProperty = "VD_TASKHOOK";

// The messages no binding of the program uses: paint, scroll, copy-data,
// cursor, draw-item and measure-item, context menu and mouse-activate. Any
// other message goes to the window's own procedure.
LRESULT DeliverRarely(const Delivery& d);

}  // namespace rostrel::routing
