// Event bindings of the form framework: the bindings stored as window
// properties, the routing that delivers them (every form and bound control has
// its window procedure replaced by the routing's for its whole life), the
// per-thread count of forms with its mutex, the tab switching the routing does
// by itself, and the release of a window's framework data when the window is
// destroyed. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

#include "forms/form_defs.h"

namespace rostrel {

// The kinds of handler, each with the argument list of the messages it serves.
enum class HandlerKind {
  None,
  Command,        // WM_COMMAND (the form, the control's ID), WM_DESTROY, WM_CUT, WM_COPY, WM_PASTE
  Notify,         // WM_NOTIFY
  Key,            // WM_GETDLGCODE asked about one key message (the binding's code)
  DialogCode,     // WM_GETDLGCODE, code 0
  Size,           // WM_SIZE
  Focus,          // WM_SETFOCUS, WM_KILLFOCUS
  Enable,         // WM_ENABLE
  CopyData,       // WM_COPYDATA
  MouseActivate,  // WM_MOUSEACTIVATE
  Cursor,         // WM_SETCURSOR
  Scroll,         // WM_HSCROLL, WM_VSCROLL
  Paint,          // WM_PAINT
  Item,           // WM_DRAWITEM, WM_MEASUREITEM
  ContextMenu,    // WM_CONTEXTMENU
};

using CommandHandler = INT_PTR (*)(HWND owner, int id);
using NotifyHandler = INT_PTR (*)(HWND form, int id, NMHDR* header);
using KeyHandler = INT_PTR (*)(HWND owner, int id, WPARAM* key, LPARAM key_lparam);
using DialogCodeHandler = INT_PTR (*)(HWND owner, int id, WPARAM wparam, LPARAM lparam, WNDPROC own, HWND window);
using SizeHandler = INT_PTR (*)(HWND owner, int id, WPARAM kind, int width, int height);
using FocusHandler = INT_PTR (*)(HWND owner, int id, WPARAM other);
using EnableHandler = INT_PTR (*)(HWND owner, int id, int enabled);
using CopyDataHandler = INT_PTR (*)(HWND owner, int id, WPARAM from, LPARAM data);
using MouseActivateHandler = INT_PTR (*)(HWND owner, int id, WPARAM top, int hit, int mouse_message);
using CursorHandler = INT_PTR (*)(HWND owner, int id, WPARAM under, int x, int y);
using ScrollHandler = INT_PTR (*)(HWND owner, int id, int request, int thumb, HWND bar);
using PaintHandler = INT_PTR (*)(HWND owner, int id, HDC dc, PAINTSTRUCT* paint);
using ItemHandler = INT_PTR (*)(HWND window, WPARAM id, LPARAM item);
using ContextMenuHandler = INT_PTR (*)(HWND owner, int id, int x, int y);

// The procedure type of each kind.
template <HandlerKind K> struct HandlerOfKind;
template <> struct HandlerOfKind<HandlerKind::Command> { using type = CommandHandler; };
template <> struct HandlerOfKind<HandlerKind::Notify> { using type = NotifyHandler; };
template <> struct HandlerOfKind<HandlerKind::Key> { using type = KeyHandler; };
template <> struct HandlerOfKind<HandlerKind::DialogCode> { using type = DialogCodeHandler; };
template <> struct HandlerOfKind<HandlerKind::Size> { using type = SizeHandler; };
template <> struct HandlerOfKind<HandlerKind::Focus> { using type = FocusHandler; };
template <> struct HandlerOfKind<HandlerKind::Enable> { using type = EnableHandler; };
template <> struct HandlerOfKind<HandlerKind::CopyData> { using type = CopyDataHandler; };
template <> struct HandlerOfKind<HandlerKind::MouseActivate> { using type = MouseActivateHandler; };
template <> struct HandlerOfKind<HandlerKind::Cursor> { using type = CursorHandler; };
template <> struct HandlerOfKind<HandlerKind::Scroll> { using type = ScrollHandler; };
template <> struct HandlerOfKind<HandlerKind::Paint> { using type = PaintHandler; };
template <> struct HandlerOfKind<HandlerKind::Item> { using type = ItemHandler; };
template <> struct HandlerOfKind<HandlerKind::ContextMenu> { using type = ContextMenuHandler; };

// A handler with its kind. It is made only from a procedure of that kind's
// type and handed out only as that type: a handler of the wrong kind for a
// message cannot be called with that message's arguments.
class EventHandler {
 public:
  EventHandler() = default;
  template <HandlerKind K>
  static EventHandler Of(typename HandlerOfKind<K>::type procedure) {
    EventHandler h;
    if (procedure) {
      h.kind_ = K;
      h.procedure_ = reinterpret_cast<void (*)()>(procedure);
    }
    return h;
  }
  // The procedure when the handler is of kind K, else none.
  template <HandlerKind K>
  typename HandlerOfKind<K>::type As() const {
    return kind_ == K ? reinterpret_cast<typename HandlerOfKind<K>::type>(procedure_) : nullptr;
  }
  HandlerKind kind() const { return kind_; }
  explicit operator bool() const { return kind_ != HandlerKind::None; }
  bool operator==(const EventHandler& other) const = default;

 private:
  HandlerKind kind_ = HandlerKind::None;
  void (*procedure_)() = nullptr;
};

inline EventHandler OnCommand(CommandHandler f) { return EventHandler::Of<HandlerKind::Command>(f); }
inline EventHandler OnNotify(NotifyHandler f) { return EventHandler::Of<HandlerKind::Notify>(f); }
inline EventHandler OnKey(KeyHandler f) { return EventHandler::Of<HandlerKind::Key>(f); }

// The kind a binding of message with code needs; None for a message the
// routing delivers to no handler.
HandlerKind KindForBinding(UINT message, int code);

// Passes the window's messages through the framework's routing, which calls
// the handlers bound to them; done for every form and bound control.
void RouteMessagesOf(HWND window);

// The two kinds of binding nothing in the program makes: a callback the
// routing calls as a window procedure for WM_NOTIFY (with its code) or
// WM_DESTROY (code 0) before anything else, and a button whose clicks toggle
// its check mark before any handler runs ("VD_HKCBEVT,..." and "VD_3CBST").
void SetHookCallback(HWND window, UINT message, int code, WNDPROC callback);
void SetCheckToggle(HWND button, bool toggles);

// "VD_EVENT," message "," code, in decimal.
std::string EventPropertyName(UINT message, int code);

// Stores the binding on the control; false (nothing stored) for a null window,
// message 0, no handler, or a handler of another kind than the message needs.
// A later binding of the same pair replaces it.
bool BindEvent(HWND control, UINT message, int code, EventHandler handler);
void UnbindEvent(HWND control, UINT message, int code);
EventHandler BoundHandler(HWND window, UINT message, int code);

// The procedure of each handler the form table names by number (1 ... 255);
// none until set.
void SetEventHandler(int number, EventHandler handler);
EventHandler HandlerFor(int number);
// Every binding of the named forms checked against the kind of the handler it
// names: the empty text when all agree, else one line per binding that does
// not (a handler not set, or of another kind).
std::string CheckTableBindings(const std::vector<std::string>& forms);

// Counts form into its thread's entry, made with the thread's first form
// together with the mutex "VD_HKMUTEX" + thread ID; the count after the call,
// or 0 when nothing was done (already counted, or the mutex exists already).
// The entry and the mutex go with the thread's last form. No system hook is
// installed: the routing delivers everything.
int InstallTaskHook(HWND form);
// Forms counted for the calling thread (0 without an entry).
int TaskHookFormCount();
// "VD_HKMUTEX" and the thread ID.
std::string HookMutexName(DWORD thread_id);

// Frees what the window's "VD_" properties own and removes them all; a counted
// form leaves its thread's count, whose entry and mutex go with the last form.
void ReleaseWindowData(HWND window);

}  // namespace rostrel
