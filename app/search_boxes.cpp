// The main window's boxes above the list: Filter:, with the reason a filter
// cannot be read in a tooltip over the box marked pale red, and the search by
// exact name, which Enter runs. Win32 only.
#include "app/main_window.h"

#include <commctrl.h>

#include "app/player_list_view.h"
#include "forms/form_engine.h"
#include "forms/window_data.h"

namespace rostrel {

namespace {

HWND List(HWND form) { return GetDlgItem(form, kPlayerList); }

// The reason a filter cannot be read, over the marked box.
HWND g_filter_tip = nullptr;

}  // namespace

void MakeFilterTip(HWND form) {
  g_filter_tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                 0, 0, form, nullptr, nullptr, nullptr);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form;
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(form, kFilterBox));
  tool.lpszText = const_cast<char*>("");
  SendMessageA(g_filter_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(g_filter_tip, TTM_SETMAXTIPWIDTH, 0, 400);
  SendMessageA(g_filter_tip, TTM_ACTIVATE, FALSE, 0);
}

namespace {

void MarkFilter(HWND form, const std::string& why) {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form;
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(form, kFilterBox));
  tool.lpszText = const_cast<char*>(why.c_str());
  SendMessageA(g_filter_tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(g_filter_tip, TTM_ACTIVATE, !why.empty(), 0);
  // A pale red box while the filter cannot be read.
  if (why.empty()) SetColors(form, kFilterBox, -1, -1);
  else SetColors(form, kFilterBox, 0x00D8D8FF, 0x00000000);
  InvalidateRect(GetDlgItem(form, kFilterBox), nullptr, TRUE);
}

}  // namespace

void DestroyFilterTip() {
  if (g_filter_tip) DestroyWindow(g_filter_tip);
  g_filter_tip = nullptr;
}

INT_PTR FilterChanged(HWND form, int) {
  MarkFilter(form, FilterPlayerRows(List(form), GetControlText(form, kFilterBox), KeptPlayer()));
  ShowListedCount(form);
  return 0;
}

// Esc in the filter box clears it.
INT_PTR FilterKey(HWND form, int, WPARAM* key, LPARAM) {
  if (*key == VK_ESCAPE && GetWindowTextLengthA(GetDlgItem(form, kFilterBox)) > 0) {
    SetDlgItemTextA(form, kFilterBox, "");
  }
  return 0;
}

INT_PTR OnSearchKey(HWND form, int, WPARAM* key, LPARAM) {
  if (*key != VK_RETURN) return 0;
  HWND list = List(form);
  const ListViewCells cells(list);
  const int row = SearchNext(cells, Editor().search, GetControlText(form, kSearchBox));
  if (row == 0) {
    ShowMessage("Not Find!");
    return 0;
  }
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));  // the found row alone
  state.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
  return 0;
}

INT_PTR OnSearchChar(HWND, int, WPARAM*, LPARAM) {
  Editor().search = SearchStart{};
  return 0;
}

}  // namespace rostrel
