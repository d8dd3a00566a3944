// What the form framework keeps on a window besides its bindings: colours
// painted on WM_CTLCOLOR... and WM_ERASEBKGND, private fonts, tag texts and
// the heap blocks behind them, plus the small (window, control ID) helpers the
// framework and the pages address controls with. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rostrel {

// The window itself for ID 0, otherwise its control with that ID; none when
// there is no such window.
HWND ResolveTarget(HWND window, int id);
std::string GetClassNameTrimmed(HWND window, int id);
// The selected item's text of a list box or combo box, else the window text.
std::string GetControlText(HWND window, int id);
bool ShowControl(HWND window, int id, bool show);
// Enables or greys the control; with no such control, the window's menu item.
bool EnableControl(HWND window, int id, bool enable);
bool MoveControl(HWND window, int id, int x, int y, int width, int height);
// Every descendant of window.
std::vector<HWND> EnumChildren(HWND window);

// A zero-filled block of max(size + 1, 16) bytes from the process heap; none
// for size 0. HeapFreeChecked frees only a real block and says whether it did.
void* HeapAllocZero(std::size_t size);
bool HeapFreeChecked(void* block);

// Colours in the framework's encoding (-1 not set, 0x00BBGGRR, 0x010000ii a
// system colour); any other value counts as not set. Both colours are set or
// cleared together.
void SetColors(HWND window, int id, std::int32_t back, std::int32_t fore);
// System colours by index (-1 or kind <= 0 leaves that colour as it is).
void SetSysColors(HWND window, int id, int back_index, int fore_index, int kind);

// Painting with the stored colours, called by the routing: the answer to a
// WM_CTLCOLOR... message sent to window, true when the window's background was
// erased in its colour, and the colours resolved anew after a system change.
// own is the window's own procedure, which answers when no colour is stored.
LRESULT PaintControlColors(HWND window, UINT message, WPARAM wparam, LPARAM lparam, WNDPROC own);
bool EraseWithColor(HWND window, HDC dc);
void ReapplyColors(HWND window);

// A new font, or none for an empty face name; the height follows the screen's
// (or the given device context's) vertical resolution.
HFONT MakeFont(HDC dc, const std::string& face, double points, int weight, bool italic, bool underline,
               bool strike_out);
bool SetControlFont(HWND window, int id, const std::string& face, double points, bool bold, bool italic,
                    bool underline, bool strike_out);
// Gives the target a private copy of font (the default GUI font for none); the
// caller keeps its own font.
bool SetFontCopy(HWND window, int id, HFONT font);

void SetTag(HWND window, int id, const std::string& text);
std::string GetTag(HWND window, int id);

}  // namespace rostrel
