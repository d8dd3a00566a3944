// Event bindings and the per-thread message hook of the form framework: the
// bindings stored as window properties, the hook counted per form, the tab
// switching it does by itself, and the release of a window's framework data
// when the window is destroyed. Win32 only.
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

// Counts form into its thread's hook, installing the hook with the first form;
// the count after the call, or 0 when nothing was done.
int InstallTaskHook(HWND form);
// Forms counted in the calling thread's hook (0 without a hook).
int TaskHookFormCount();
// "VD_HKMUTEX" and the thread ID.
std::string HookMutexName(DWORD thread_id);

// Frees what the window's "VD_" properties own and removes them all; a counted
// form leaves its thread's hook, which goes with the last form.
void ReleaseWindowData(HWND window);

}  // namespace rostrel
