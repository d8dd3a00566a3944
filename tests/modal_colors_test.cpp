// The modal run of a form, and the colours the framework paints.
#include "tests/dispatch_rows.h"

namespace rostrel {
namespace {

// The modal run: dialog keyboard handling in the loop, idle notifications,
// the owner disabled meanwhile, Enter and Esc closing nothing, the system
// menu's Close ending the run.
int g_idle_step = 0;
HWND g_owner = nullptr;
HWND g_focus_at_start = nullptr;
bool g_owner_enabled_during_run = true;
bool g_alive_after_escape = false;

INT_PTR OnSearchKey(HWND owner, int id, WPARAM* key, LPARAM) {
  Record("search key", owner, id, static_cast<std::intptr_t>(*key));
  return 0;
}

INT_PTR CALLBACK ModalProc(HWND form, UINT message, WPARAM, LPARAM) {
  if (message != WM_ENTERIDLE) return 0;
  HWND search = GetDlgItem(form, 103);
  switch (g_idle_step++) {
    case 0:
      g_focus_at_start = GetFocus();
      g_owner_enabled_during_run = IsWindowEnabled(g_owner) != FALSE;
      SetFocus(search);
      PostMessageA(search, WM_KEYDOWN, VK_RETURN, 0x1C0001);
      PostMessageA(search, WM_KEYDOWN, VK_ESCAPE, 0x10001);
      break;
    case 1:
      g_alive_after_escape = IsWindow(form) != FALSE;
      PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;
  }
  return 0;
}

TEST(ModalRun, LoopHandlesDialogKeysUntilTheFormIsClosed) {
  UseFormTable();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  g_owner = CreateWindowExA(0, "Static", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  SetFormProcedure("FORM1", ModalProc);
  SetEventHandler(HandlerNumber(HandlerId::OnSearchKey), OnKey(OnSearchKey));
  HWND form = CreateForm("FORM1", nullptr, 0);
  ASSERT_NE(form, nullptr);
  g_calls.clear();
  EXPECT_EQ(ShowFormAndWait(form, g_owner), 0);
  EXPECT_FALSE(IsWindow(form));
  EXPECT_GE(g_idle_step, 2);
  EXPECT_FALSE(g_owner_enabled_during_run);
  EXPECT_TRUE(IsWindowEnabled(g_owner));
  EXPECT_TRUE(g_alive_after_escape);
  // The Tab posted at creation moved the focus into the form before it idled.
  EXPECT_NE(g_focus_at_start, nullptr);
  EXPECT_NE(g_focus_at_start, form);
  // The dialog manager asked the search box about both keys.
  ASSERT_GE(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].what, "search key");
  EXPECT_EQ(g_calls[0].owner, form);
  EXPECT_EQ(g_calls[0].a, 103);
  EXPECT_EQ(g_calls[0].b, VK_RETURN);
  EXPECT_EQ(g_calls[1].b, VK_ESCAPE);
  EXPECT_EQ(TaskHookFormCount(), 0);
  EXPECT_EQ(ShowFormAndWait(nullptr, nullptr), 0);
  SetFormProcedure("FORM1", nullptr);
  SetEventHandler(HandlerNumber(HandlerId::OnSearchKey), EventHandler{});
  DestroyWindow(g_owner);
}

// Colours: stored + 1, painted on WM_CTLCOLOR... and WM_ERASEBKGND.
class Colors : public Rows {
 protected:
  void SetUp() override {
    UseFormTable();
    Rows::SetUp();
    screen_ = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen_);
    bitmap_ = CreateCompatibleBitmap(screen_, 8, 8);
    old_ = SelectObject(dc_, bitmap_);
  }
  void TearDown() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    ReleaseDC(nullptr, screen_);
    Rows::TearDown();
  }
  HDC screen_ = nullptr, dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

std::uintptr_t Prop(HWND w, const char* name) { return reinterpret_cast<std::uintptr_t>(GetPropA(w, name)); }

TEST_F(Colors, FormBackgroundIsErasedInItsColour) {
  SetColors(form_, 0, 0, -1);
  EXPECT_EQ(Prop(form_, "VD_BACKCOLOREB"), 1u);  // black, stored + 1
  EXPECT_EQ(Prop(form_, "VD_BACKCOLOR"), 0u);
  RECT all{0, 0, 8, 8};
  FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_NE(SendMessageA(form_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0), 0);
  EXPECT_EQ(GetPixel(dc_, 3, 3), RGB(0, 0, 0));
}

TEST_F(Colors, ControlColoursArePaintedAndFollowSystemChanges) {
  SetColors(form_, 100, 0x01000005, RGB(255, 0, 0));
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0x01000006u);
  EXPECT_EQ(Prop(edit_, "VD_FORECOLOR"), static_cast<std::uintptr_t>(RGB(255, 0, 0)) + 1);
  const LRESULT brush = SendMessageA(form_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc_),
                                     reinterpret_cast<LPARAM>(edit_));
  EXPECT_EQ(brush, static_cast<LRESULT>(Prop(edit_, "VD_BRUSH")));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetBkColor(dc_), GetSysColor(5));
  EXPECT_EQ(GetTextColor(dc_), RGB(255, 0, 0));

  // A system change resolves the colours anew: same values, the old brush
  // deleted (the repaint that follows makes a new one).
  SendMessageA(form_, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0x01000006u);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), 0u);

  // Both colours -1 clear everything, the brush included.
  SendMessageA(form_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc_), reinterpret_cast<LPARAM>(edit_));
  const auto second = reinterpret_cast<HGDIOBJ>(Prop(edit_, "VD_BRUSH"));
  ASSERT_NE(second, nullptr);
  SetColors(form_, 100, -1, -1);
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0u);
  EXPECT_EQ(Prop(edit_, "VD_FORECOLOR"), 0u);
  EXPECT_EQ(Prop(edit_, "VD_BRUSH"), 0u);
  EXPECT_EQ(GetObjectType(second), 0u);
}

TEST_F(Colors, InvalidValuesCountAsNotSetAndSystemColoursByIndex) {
  SetColors(form_, 100, 0x02000000, 0x7F000000);
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0u);
  EXPECT_EQ(Prop(edit_, "VD_FORECOLOR"), 0u);
  SetSysColors(form_, 100, COLOR_WINDOW, -1, 1);
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0x01000000u + COLOR_WINDOW + 1);
  EXPECT_EQ(Prop(edit_, "VD_FORECOLOR"), 0u);
  SetSysColors(form_, 100, -1, COLOR_WINDOWTEXT, 1);  // the background stays
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0x01000000u + COLOR_WINDOW + 1);
  EXPECT_EQ(Prop(edit_, "VD_FORECOLOR"), 0x01000000u + COLOR_WINDOWTEXT + 1);
  SetSysColors(form_, 100, COLOR_BTNFACE, COLOR_BTNFACE, 0);  // kind 0 changes nothing
  EXPECT_EQ(Prop(edit_, "VD_BACKCOLOR"), 0x01000000u + COLOR_WINDOW + 1);
  // The unbound text colour reaches the device context even though the edit
  // box's own answer is used.
  SetColors(form_, 101, -1, RGB(0, 0, 255));
  SetTextColor(dc_, RGB(1, 1, 1));
  SendMessageA(form_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc_),
               reinterpret_cast<LPARAM>(GetDlgItem(form_, 101)));
  EXPECT_EQ(GetTextColor(dc_), RGB(0, 0, 255));
  SetColors(nullptr, 0, 0, 0);  // no target: nothing happens
}

}  // namespace
}  // namespace rostrel
