// Forms hosted as the pages of a tab control: each page is a child form of the
// tab control's form, shown in the tab's display area, one at a time.
#include "forms/form_engine.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "forms/event_routing.h"
#include "forms/form_defs.h"
#include "forms/form_math.h"

namespace rostrel {

namespace {

constexpr const char* kTabFrameProp = "VD_TABCFRM";

void MoveToRect(HWND window, const RECT& r, UINT flags) {
  SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

int TabMargin(HWND tab) {
  const auto margin = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(tab, kTabFrameProp)));
  return margin < 1 ? 1 : margin;
}

}  // namespace

void HostTablePages(const std::string& form_name, HWND form) {
  ControlDef c;
  for (int id = 100; FindControlDef(form_name, id, c); ++id) {
    if (c.Pages.empty()) continue;
    std::size_t from = 0;
    while (from <= c.Pages.size()) {
      const std::size_t comma = std::min(c.Pages.find(',', from), c.Pages.size());
      AddTabPage(form, id, c.Pages.substr(from, comma - from).c_str());
      from = comma + 1;
    }
    SelectTabPage(GetDlgItem(form, id), 0);
  }
}

HWND FindPageOfTab(HWND tab, int index) {
  if (!tab || index < 0) return nullptr;
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (!SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
  HWND page = reinterpret_cast<HWND>(item.lParam);
  return page && IsWindow(page) ? page : nullptr;
}

RECT GetTabPageRect(HWND tab, int margin) {
  RECT window{};
  GetWindowRect(tab, &window);
  MapWindowPoints(nullptr, GetParent(tab), reinterpret_cast<POINT*>(&window), 2);
  RECT row{};
  SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const Rect page = TabPageRect({window.left, window.top, window.right - window.left, window.bottom - window.top},
                                row.bottom, margin);
  return {page.x, page.y, page.x + page.width, page.y + page.height};
}

HWND AddTabPage(HWND form, int tab_id, const char* page_name) {
  HWND tab = GetDlgItem(form, tab_id);
  if (!tab) return nullptr;
  HWND page = CreateForm(page_name, form, 4);
  if (!page) return nullptr;
  char caption[256] = {};
  GetWindowTextA(page, caption, sizeof caption);
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = caption;
  item.lParam = reinterpret_cast<LPARAM>(page);
  const auto count = SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
  if (SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item)) < 0) {
    DestroyWindow(page);
    return page;
  }
  if (reinterpret_cast<INT_PTR>(GetPropA(tab, kTabFrameProp)) < 1) SetPropA(tab, kTabFrameProp, reinterpret_cast<HANDLE>(2));
  RouteMessagesOf(tab);  // tab switching and page layout
  MoveWindow(page, 0, 0, 0, 0, FALSE);
  ShowFormModeless(page);
  ShowWindow(page, SW_HIDE);
  MoveToRect(page, GetTabPageRect(tab, TabMargin(tab)), SWP_NOZORDER | SWP_NOACTIVATE);
  return page;
}

HWND SelectTabPage(HWND tab, int index) {
  if (SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0) < 0 &&
      SendMessageA(tab, TCM_GETCURSEL, 0, 0) != index) {
    return nullptr;
  }
  HWND selected = nullptr;
  const auto count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HWND page = FindPageOfTab(tab, i);
    if (!page || !(GetWindowLongA(page, GWL_STYLE) & WS_CHILD)) continue;
    if (i != index) {
      ShowWindow(page, SW_HIDE);
      continue;
    }
    selected = page;
    MoveToRect(page, GetTabPageRect(tab, TabMargin(tab)), SWP_NOACTIVATE);
    SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    HWND form = GetParent(page);
    if (IsWindowVisible(form)) {
      UpdateWindow(page);
      if (GetNextDlgTabItem(page, nullptr, FALSE)) PostMessageA(form, WM_KEYDOWN, VK_TAB, 0);
    }
  }
  return selected;
}

void ResizeTabPage(HWND tab) {
  HWND page = FindPageOfTab(tab, static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)));
  if (page) MoveToRect(page, GetTabPageRect(tab, TabMargin(tab)), SWP_SHOWWINDOW | SWP_NOZORDER);
}

}  // namespace rostrel
