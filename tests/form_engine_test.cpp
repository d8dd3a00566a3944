// The real forms, created under a display.
#include <gtest/gtest.h>

#include "forms/form_engine.h"
#include "pages/form_table.h"

#include <commctrl.h>

namespace rostrel {
namespace {

int g_init_dialogs = 0;
INT_PTR CALLBACK CountingProc(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) ++g_init_dialogs;
  return 0;
}

class Forms : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseFormTable();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    for (const char* name : {"FORM1", "VITALS", "ATTRIBUTES", "TENDENCIES"}) SetFormProcedure(name, CountingProc);
  }
  void SetUp() override {
    UseFormTable();
    g_init_dialogs = 0;
    form_ = CreateForm("FORM1", nullptr, 0);
    ASSERT_NE(form_, nullptr);
    tab_ = GetDlgItem(form_, 104);
    ASSERT_NE(tab_, nullptr);
  }
  void TearDown() override {
    if (form_) DestroyWindow(form_);
  }
  static int Controls(HWND window) {
    int n = 0;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (GetDlgCtrlID(c) >= 100 && GetParent(c) == window && !GetPropA(c, "VD_FRMN")) ++n;
    }
    return n;
  }
  static RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  HWND form_ = nullptr;
  HWND tab_ = nullptr;
};

TEST_F(Forms, MainFormAndControlsAt96Dpi) {
  if (ScreenDpiX() != 96) GTEST_SKIP() << "sizes are checked at 96 dots per inch";
  EXPECT_FALSE(IsWindowVisible(form_));  // created hidden
  EXPECT_EQ(GetFormName(form_), "FORM1");
  RECT outer{};
  GetWindowRect(form_, &outer);
  EXPECT_EQ(outer.right - outer.left, 748);
  EXPECT_EQ(outer.bottom - outer.top, 412);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(form_, GWL_STYLE)) & 0xFFFF0000u, 0x06CF0000u);  // hidden: no WS_VISIBLE
  EXPECT_EQ(Controls(form_), 15);
  const RECT list = ChildRect(GetDlgItem(form_, 101));
  EXPECT_EQ(list.left, 16);
  EXPECT_EQ(list.top, 77);
  EXPECT_EQ(list.right - list.left, 217);
  EXPECT_EQ(list.bottom - list.top, 262);
  EXPECT_EQ(SendMessageA(GetDlgItem(form_, 101), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT,
            LVS_EX_FULLROWSELECT);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(form_, 105)));  // Save
  EXPECT_EQ(GetWindowLongA(GetDlgItem(form_, 106), GWL_STYLE) & WS_VISIBLE, 0);  // Read
  wchar_t verse[8] = {};
  GetWindowTextW(GetDlgItem(form_, 108), verse, 8);
  EXPECT_EQ(verse[0], 0x94F6);
  EXPECT_EQ(verse[6], 0x8001);
  // The controls' font, as a template's "MS Sans Serif" 8 would get it: 11 pixels at 96 dpi.
  for (HWND window : {GetDlgItem(form_, 101), GetDlgItem(form_, 103), GetDlgItem(form_, 105)}) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  }
}

TEST_F(Forms, ThreePagesInTheTabControl) {
  ASSERT_EQ(SendMessageA(tab_, TCM_GETITEMCOUNT, 0, 0), 3);
  const char* captions[] = {"Vitals", "Attributes", "Tendencies"};
  const char* names[] = {"VITALS", "ATTRIBUTES", "TENDENCIES"};
  const int counts[] = {66, 68, 32};
  for (int i = 0; i < 3; ++i) {
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab_, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, captions[i]);
    HWND page = FindPageOfTab(tab_, i);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetFormName(page), names[i]);
    EXPECT_EQ(GetParent(page), form_);  // a sibling of the tab control
    // The dialog manager adds DS_3DLOOK and, for a DS_CONTROL dialog,
    // WS_EX_CONTROLPARENT, which lets Tab move into the page; nothing else.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(page, GWL_STYLE)) & ~(WS_VISIBLE | DS_3DLOOK), 0x46000400u);
    EXPECT_EQ(GetWindowLongA(page, GWL_EXSTYLE) & ~WS_EX_CONTROLPARENT, 0);
    EXPECT_EQ(Controls(page), counts[i]);
    EXPECT_EQ(GetPropA(page, "VD_INITDLG"), reinterpret_cast<HANDLE>(1));
    const RECT r = ChildRect(page);
    const RECT expected = GetTabPageRect(tab_, 2);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.bottom, expected.bottom);
  }
  EXPECT_EQ(g_init_dialogs, 3);  // each page once; FORM1 is not shown yet
  EXPECT_EQ(GetPropA(tab_, "VD_TABCFRM"), reinterpret_cast<HANDLE>(2));
}

TEST_F(Forms, SelectingATabShowsOnlyItsPage) {
  EXPECT_TRUE(GetWindowLongA(FindPageOfTab(tab_, 0), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongA(FindPageOfTab(tab_, 1), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SelectTabPage(tab_, 1), FindPageOfTab(tab_, 1));
  EXPECT_EQ(SendMessageA(tab_, TCM_GETCURSEL, 0, 0), 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ((GetWindowLongA(FindPageOfTab(tab_, i), GWL_STYLE) & WS_VISIBLE) != 0, i == 1) << i;
  }
  EXPECT_EQ(SelectTabPage(tab_, 7), nullptr);
}

TEST_F(Forms, PageRectangleFollowsTheTabControl) {
  RECT tab = ChildRect(tab_);
  RECT row{};
  SendMessageA(tab_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const RECT page = GetTabPageRect(tab_, 2);
  EXPECT_EQ(page.left, tab.left + 2);
  EXPECT_EQ(page.top, tab.top + 2 + row.bottom);
  EXPECT_EQ(page.right - page.left, (tab.right - tab.left) - 5);
  EXPECT_EQ(page.bottom - page.top, (tab.bottom - tab.top) - row.bottom - 5);
}

TEST_F(Forms, UnknownFormCreatesNothingAndDestructionReleasesProperties) {
  EXPECT_EQ(CreateForm("NOFORM", nullptr, 0), nullptr);
  HWND page = FindPageOfTab(tab_, 0);
  DestroyWindow(form_);
  form_ = nullptr;
  EXPECT_FALSE(IsWindow(page));
}

}  // namespace
}  // namespace rostrel
