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

#include "pages/form_table.h"

namespace rostrel {

// A bound handler; its real argument list depends on the message.
using EventHandler = void (*)();
// The argument lists the program's bindings use.
using CommandHandler = INT_PTR (*)(HWND form, int id);
using NotifyHandler = INT_PTR (*)(HWND form, int id, NMHDR* header);
using KeyHandler = INT_PTR (*)(HWND owner, int id, WPARAM* key, LPARAM key_lparam);

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
// message 0 or no handler. A later binding of the same pair replaces it. A
// WM_GETDLGCODE binding also subclasses the control, which then asks the
// handler about the key message first.
bool BindEvent(HWND control, UINT message, int code, EventHandler handler);
void UnbindEvent(HWND control, UINT message, int code);
EventHandler BoundHandler(HWND window, UINT message, int code);

// The procedure of each handler named in the form table; none until set.
void SetEventHandler(HandlerId id, EventHandler handler);
EventHandler HandlerFor(HandlerId id);

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
