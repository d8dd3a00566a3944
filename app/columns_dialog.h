// Choosing the player list's columns: the Columns dialog, a check list of
// every field by page and label with OK and Cancel, and the same choice in
// the menu of the list header's right button. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace rostrel {

// The bound handlers: the main window's Columns button, the dialog's OK and Cancel.
INT_PTR ChooseColumnsHandler(HWND form, int id);
INT_PTR ColumnsButtonHandler(HWND dialog, int id);
// The header's menu at a screen point: each page's fields to show or hide, and Columns.
void ShowColumnMenu(HWND form, POINT at);
// The header's right button opens its menu.
void BindColumnMenu(HWND list);
void RegisterColumnsDialog();

}  // namespace rostrel
