// Builds windows from the form definition table: forms, their controls, and
// pages hosted in a tab control. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace rostrel {

// The dialog procedure of a form; 0 leaves a message to the default processing.
using FormProcedure = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

// Binds a form name to its dialog procedure; a form without one gets none.
void SetFormProcedure(const char* form, FormProcedure procedure);

// Modes: 0 top-level, 1 and 2 child without frame, 3 child with frame, 4 tab page.
HWND CreateForm(const char* name, HWND parent, int mode);
void CreateControls(const char* name, HWND form);
void ShowFormModeless(HWND form);
// Runs the form with a dialog-style message loop (Tab navigation, the
// WM_GETDLGCODE queries of the dialog manager) until the form is closed and
// destroyed; the parent, or the form's owner, takes no input meanwhile.
// Returns 0; a null form returns at once.
int ShowFormModal(HWND form, HWND parent);
int ShowFormAndWait(HWND form, HWND parent);
std::string GetFormName(HWND window);

HWND AddTabPage(HWND form, int tab_id, const char* page);
// The form's tab controls host the forms their definitions name, as pages in
// that order; the first is shown.
void HostTablePages(const std::string& form_name, HWND form);
HWND SelectTabPage(HWND tab, int index);
void ResizeTabPage(HWND tab);
RECT GetTabPageRect(HWND tab, int margin);
// The page window of tab item index, or none.
HWND FindPageOfTab(HWND tab, int index);

// Places a window: mode 2 centres it in the work area of the reference's monitor.
void CenterWindow(HWND window, HWND reference, int mode);
// The work area of the monitor of window, or of the one under the mouse; 2 when
// the monitor functions answered, 1 when the whole primary screen was used.
int GetMonitorArea(HWND window, bool use_mouse, MONITORINFO& info);

// Screen resolution used for twips, measured once.
int ScreenDpiX();
int ScreenDpiY();

}  // namespace rostrel
