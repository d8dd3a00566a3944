#include "forms/window_data.h"
#include "forms/handles.h"

#include <commctrl.h>

#include <cstring>

#include "forms/event_routing.h"
#include "forms/form_math.h"

namespace rostrel {

namespace {

constexpr const char* kBackColor = "VD_BACKCOLOR";
constexpr const char* kEraseColor = "VD_BACKCOLOREB";
constexpr const char* kForeColor = "VD_FORECOLOR";
constexpr const char* kBrush = "VD_BRUSH";
constexpr const char* kFont = "VD_FONT";
constexpr const char* kTag = "VD_TAG";

std::int32_t StoredColor(HWND window, const char* property) {
  const auto value = reinterpret_cast<std::uintptr_t>(GetPropA(window, property));
  return value ? ColorFromProperty(value) : -1;
}

void StoreColor(HWND window, const char* property, std::int32_t color) {
  SetPropA(window, property, reinterpret_cast<HANDLE>(ColorProperty(color)));
}

// A system colour is looked up each time it is used, so it follows changes.
COLORREF Resolve(std::int32_t color) {
  return IsSystemColor(color) ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

// -1 becomes CLR_DEFAULT for the controls that paint their own colours.
LPARAM ControlColor(std::int32_t color) { return color < 0 ? static_cast<LPARAM>(CLR_DEFAULT) : Resolve(color); }

bool ClassIs(const std::string& name, std::initializer_list<const char*> classes) {
  for (const char* c : classes) {
    if (lstrcmpiA(name.c_str(), c) == 0) return true;
  }
  return false;
}

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Enumeration callbacks stop, rather than let an exception out, when memory runs short.
BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  try {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

HWND ResolveTarget(HWND window, int id) {
  if (!window || !IsWindow(window)) return nullptr;
  return id == 0 ? window : GetDlgItem(window, id);
}

std::string GetClassNameTrimmed(HWND window, int id) {
  HWND target = ResolveTarget(window, id);
  if (!target) return {};
  char name[256] = {};
  GetClassNameA(target, name, sizeof name);
  return TrimBlanks(name);
}

std::string GetControlText(HWND window, int id) {
  HWND target = ResolveTarget(window, id);
  if (!target) return {};
  std::string kind = GetClassNameTrimmed(target, 0);
  CharUpperBuffA(kind.data(), static_cast<DWORD>(kind.size()));
  UINT get_current = 0, get_length = 0, get_text = 0;
  if (kind.find("LISTBOX") != std::string::npos) {
    get_current = LB_GETCURSEL, get_length = LB_GETTEXTLEN, get_text = LB_GETTEXT;
  } else if (kind.find("COMBOBOX") != std::string::npos) {
    get_current = CB_GETCURSEL, get_length = CB_GETLBTEXTLEN, get_text = CB_GETLBTEXT;
  }
  if (get_current == 0) {
    const auto length = SendMessageA(target, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto got = SendMessageA(target, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
  }
  const auto item = SendMessageA(target, get_current, 0, 0);
  if (item < 0) return {};
  const auto length = SendMessageA(target, get_length, static_cast<WPARAM>(item), 0);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const auto got = SendMessageA(target, get_text, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
  return text;
}

bool ShowControl(HWND window, int id, bool show) {
  HWND target = ResolveTarget(window, id);
  if (!target) return false;
  ShowWindow(target, show ? SW_SHOW : SW_HIDE);
  return true;
}

bool EnableControl(HWND window, int id, bool enable) {
  if (HWND target = ResolveTarget(window, id)) {
    EnableWindow(target, enable);
    return true;
  }
  HMENU menu = window && IsWindow(window) ? GetMenu(window) : nullptr;
  if (!menu) return false;
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
  return true;
}

bool MoveControl(HWND window, int id, int x, int y, int width, int height) {
  HWND target = ResolveTarget(window, id);
  if (!target) return false;
  return MoveWindow(target, x, y, width < 0 ? 0 : width, height < 0 ? 0 : height, TRUE) != FALSE;
}

std::vector<HWND> EnumChildren(HWND window) {
  std::vector<HWND> children;
  if (window) EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

void* HeapAllocZero(std::size_t size) {
  if (size == 0) return nullptr;
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, HeapBlockSize(size));
}

bool HeapFreeChecked(void* block) {
  if (!block) return false;
  const SIZE_T size = HeapSize(GetProcessHeap(), 0, block);
  if (size == static_cast<SIZE_T>(-1) || size == 0) return false;
  return HeapFree(GetProcessHeap(), 0, block) != FALSE;
}

void SetColors(HWND window, int id, std::int32_t back, std::int32_t fore) {
  HWND target = ResolveTarget(window, id);
  if (!target) return;
  const bool had = GetPropA(target, kBackColor) || GetPropA(target, kEraseColor) || GetPropA(target, kForeColor);
  back = CheckedColor(back);
  fore = CheckedColor(fore);
  RemovePropA(target, kBackColor);
  RemovePropA(target, kEraseColor);
  RemovePropA(target, kForeColor);
  if (HANDLE brush = RemovePropA(target, kBrush)) DeleteObject(brush);

  const std::string kind = GetClassNameTrimmed(target, 0);
  bool as_window = id == 0;
  if (ClassIs(kind, {"SysTreeView32", "BrowseForFolder", "VD_BrowseForFolder"})) {
    SendMessageA(target, TVM_SETBKCOLOR, 0, ControlColor(back));
    SendMessageA(target, TVM_SETTEXTCOLOR, 0, ControlColor(fore));
    const LONG style = GetWindowLongA(target, GWL_STYLE);
    if (style & TVS_HASLINES) {  // the lines are drawn again in the new colours
      SetWindowLongA(target, GWL_STYLE, style & ~TVS_HASLINES);
      SetWindowLongA(target, GWL_STYLE, style);
    }
    as_window = true;
  } else if (ClassIs(kind, {"SysListView32", "FolderView", "VD_FolderView"})) {
    SendMessageA(target, LVM_SETBKCOLOR, 0, ControlColor(back));
    SendMessageA(target, LVM_SETTEXTBKCOLOR, 0, ControlColor(back));
    if (fore >= 0) SendMessageA(target, LVM_SETTEXTCOLOR, 0, ControlColor(fore));
    return;
  } else if (ClassIs(kind, {"msctls_progress32"})) {
    SendMessageA(target, PBM_SETBKCOLOR, 0, ControlColor(back));
    SendMessageA(target, PBM_SETBARCOLOR, 0, ControlColor(fore));
    return;
  } else if (ClassIs(kind, {"msctls_statusbar32"})) {
    SendMessageA(target, SB_SETBKCOLOR, 0, ControlColor(back));
    return;
  } else if (ClassIs(kind, {"ToolbarWindow32", "SysTabControl32"})) {
    as_window = true;
  } else if (ClassIs(kind, {"Button"}) && back != -1) {
    const LONG style = GetWindowLongA(target, GWL_STYLE);
    const LONG ex_style = GetWindowLongA(target, GWL_EXSTYLE);
    if ((style & BS_TYPEMASK) == BS_GROUPBOX && !(ex_style & WS_EX_TRANSPARENT)) StoreColor(target, kEraseColor, back);
  }
  if (back != -1) StoreColor(target, as_window ? kEraseColor : kBackColor, back);
  if (fore != -1) StoreColor(target, kForeColor, fore);
  // The colours are painted when the target and its parent answer the
  // messages that ask for them.
  RouteMessagesOf(target);
  if (HWND parent = GetParent(target)) RouteMessagesOf(parent);
  const bool has = back != -1 || fore != -1;
  if (IsWindowVisible(target) && (had || has)) {
    InvalidateRect(target, nullptr, TRUE);
    UpdateWindow(target);
  }
}

void SetSysColors(HWND window, int id, int back_index, int fore_index, int kind) {
  HWND target = ResolveTarget(window, id);
  if (!target) return;
  std::int32_t back = StoredColor(target, id == 0 ? kEraseColor : kBackColor);
  std::int32_t fore = StoredColor(target, kForeColor);
  if (kind > 0) {
    if (back_index != -1) back = static_cast<std::int32_t>((kind << 24) | (back_index & 0xFF));
    if (fore_index != -1) fore = static_cast<std::int32_t>((kind << 24) | (fore_index & 0xFF));
  }
  SetColors(window, id, back, fore);
}

LRESULT PaintControlColors(HWND window, UINT message, WPARAM wparam, LPARAM lparam, WNDPROC own) {
  HWND control = reinterpret_cast<HWND>(lparam);
  HDC dc = reinterpret_cast<HDC>(wparam);
  const std::int32_t back = control ? StoredColor(control, kBackColor) : -1;
  const std::int32_t fore = control ? StoredColor(control, kForeColor) : -1;
  if (back == -1 && fore == -1) return CallWindowProcA(own, window, message, wparam, lparam);
  HBRUSH brush = nullptr;
  if (back != -1) {
    SetBkColor(dc, Resolve(back));
    brush = static_cast<HBRUSH>(GetPropA(control, kBrush));
    if (!brush) {
      brush = CreateSolidBrush(Resolve(back));
      SetPropA(control, kBrush, brush);
    }
  }
  const bool colour_text = fore != -1 && IsWindowEnabled(control);
  if (colour_text) SetTextColor(dc, Resolve(fore));
  if (brush) return reinterpret_cast<LRESULT>(brush);
  // The window's own answer may reset the text colour.
  const LRESULT answer = CallWindowProcA(own, window, message, wparam, lparam);
  if (colour_text) SetTextColor(dc, Resolve(fore));
  return answer;
}

bool EraseWithColor(HWND window, HDC dc) {
  const std::int32_t color = StoredColor(window, kEraseColor);
  if (color == -1 || !dc) return false;
  RECT clip{};
  GetClipBox(dc, &clip);
  const OwnedBrush brush(CreateSolidBrush(Resolve(color)));
  FillRect(dc, &clip, brush.get());
  return true;
}

void ReapplyColors(HWND window) {
  const std::int32_t own = StoredColor(window, kEraseColor);
  if (own != -1) SetColors(window, 0, own, -1);
  for (HWND child : EnumChildren(window)) {
    const std::int32_t back = StoredColor(child, kBackColor);
    const std::int32_t erase = StoredColor(child, kEraseColor);
    const std::int32_t fore = StoredColor(child, kForeColor);
    if (back == -1 && erase == -1 && fore == -1) continue;
    // Addressed as it was set, so that each colour stays in its own property.
    HWND parent = GetParent(child);
    const int id = GetDlgCtrlID(child);
    if (back != -1 && parent && id != 0) SetColors(parent, id, back, fore);
    else SetColors(child, 0, back != -1 ? back : erase, fore);
  }
}

HFONT MakeFont(HDC dc, const std::string& face, double points, int weight, bool italic, bool underline,
               bool strike_out) {
  const std::string name = TrimBlanks(face);
  if (name.empty()) return nullptr;
  const WindowDC screen(nullptr);
  const int dpi = GetDeviceCaps(dc ? dc : screen.get(), LOGPIXELSY);
  return CreateFontA(FontHeight(dpi, points), 0, 0, 0, weight, italic, underline, strike_out, ANSI_CHARSET, 0, 0,
                     0, 0, name.c_str());
}

bool SetControlFont(HWND window, int id, const std::string& face, double points, bool bold, bool italic,
                    bool underline, bool strike_out) {
  HWND target = ResolveTarget(window, id);
  if (!target) return false;
  const OwnedFont font(MakeFont(nullptr, face, points, bold ? FW_BOLD : FW_NORMAL, italic, underline, strike_out));
  return SetFontCopy(target, 0, font.get());
}

bool SetFontCopy(HWND window, int id, HFONT font) {
  HWND target = ResolveTarget(window, id);
  if (!target) return false;
  if (HANDLE old = RemovePropA(target, kFont)) DeleteObject(old);
  HFONT copy = nullptr;
  LOGFONTA description{};
  if (font && GetObjectA(font, sizeof description, &description) == sizeof description) {
    copy = CreateFontIndirectA(&description);
  }
  if (copy) {
    SetPropA(target, kFont, copy);
    RouteMessagesOf(target);  // released with the window
  }
  HGDIOBJ shown = copy ? static_cast<HGDIOBJ>(copy) : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(target, WM_SETFONT, reinterpret_cast<WPARAM>(shown), IsWindowVisible(target));
  return true;
}

void SetTag(HWND window, int id, const std::string& text) {
  HWND target = ResolveTarget(window, id);
  if (!target) return;
  HeapFreeChecked(RemovePropA(target, kTag));
  if (text.empty()) return;
  const std::vector<std::uint8_t> layout = TagBlock(text);
  void* block = HeapAllocZero(text.size() + 5);
  if (!block) return;
  std::memcpy(block, layout.data(), layout.size());
  SetPropA(target, kTag, block);
  RouteMessagesOf(target);  // released with the window
}

std::string GetTag(HWND window, int id) {
  HWND target = ResolveTarget(window, id);
  const auto* block = target ? static_cast<const std::uint8_t*>(GetPropA(target, kTag)) : nullptr;
  if (!block) return {};
  std::uint32_t length;
  std::memcpy(&length, block, sizeof length);
  return std::string(reinterpret_cast<const char*>(block) + 4, length);
}

}  // namespace rostrel
