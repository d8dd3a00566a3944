// Set: one field given one value for every selected player, or for number
// fields moved by a step ("+5", "-5"), as one edit not yet saved. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace rostrel {

// The bound handlers: the main window's Set… button (and Ctrl+E), the dialog's OK and Cancel.
INT_PTR SetFieldHandler(HWND form, int id);
INT_PTR SetButtonHandler(HWND dialog, int id);
void RegisterSetDialog();

}  // namespace rostrel
