// Fonts, tags, heap blocks, the (window, ID) helpers and the system helpers,
// on real windows and the real file system.
#include <gtest/gtest.h>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "pages/form_table.h"
#include "forms/system_helpers.h"
#include "forms/window_data.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <string>

namespace rostrel {
namespace {

class OnVitals : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFormTable();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    form_ = CreateForm("VITALS", nullptr, 0);
    ASSERT_NE(form_, nullptr);
  }
  void TearDown() override { DestroyWindow(form_); }
  HWND form_ = nullptr;
};

TEST_F(OnVitals, PrivateFontCopiesAreOwnedByTheControl) {
  HFONT made = MakeFont(nullptr, "  Arial ", 8, FW_NORMAL, false, false, false);
  ASSERT_NE(made, nullptr);
  LOGFONTA described{};
  GetObjectA(made, sizeof described, &described);
  EXPECT_EQ(described.lfHeight, -10);  // 8 points at 96 dots per inch
  EXPECT_STREQ(described.lfFaceName, "Arial");
  EXPECT_EQ(MakeFont(nullptr, "   ", 8, FW_NORMAL, false, false, false), nullptr);

  HWND edit = GetDlgItem(form_, 100);
  ASSERT_TRUE(SetFontCopy(form_, 100, made));
  auto copy = static_cast<HFONT>(GetPropA(edit, "VD_FONT"));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, made);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), copy);
  DeleteObject(made);  // the caller's font; the control keeps its copy
  EXPECT_EQ(GetObjectType(copy), static_cast<DWORD>(OBJ_FONT));

  ASSERT_TRUE(SetControlFont(form_, 100, "Arial", 12, true, true, false, false));
  auto bold = static_cast<HFONT>(GetPropA(edit, "VD_FONT"));
  EXPECT_EQ(GetObjectType(copy), 0u);  // the old copy was deleted
  GetObjectA(bold, sizeof described, &described);
  EXPECT_EQ(described.lfWeight, FW_BOLD);
  EXPECT_TRUE(described.lfItalic);
  EXPECT_EQ(described.lfHeight, -16);

  ASSERT_TRUE(SetFontCopy(form_, 100, nullptr));  // no font: the default GUI font
  EXPECT_EQ(GetPropA(edit, "VD_FONT"), nullptr);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_FALSE(SetFontCopy(form_, 999, nullptr));

  ASSERT_TRUE(SetControlFont(form_, 101, "Arial", 8, false, false, false, false));
  auto last = GetPropA(GetDlgItem(form_, 101), "VD_FONT");
  DestroyWindow(form_);
  form_ = CreateForm("VITALS", nullptr, 0);
  EXPECT_EQ(GetObjectType(last), 0u);  // released with its window
}

TEST_F(OnVitals, TagsAndHeapBlocks) {
  SetTag(form_, 100, "abc");
  const auto* block = static_cast<const unsigned char*>(GetPropA(GetDlgItem(form_, 100), "VD_TAG"));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 16u);
  EXPECT_EQ(std::memcmp(block, "\3\0\0\0abc", 7), 0);
  EXPECT_EQ(GetTag(form_, 100), "abc");
  SetTag(form_, 100, "");
  EXPECT_EQ(GetPropA(GetDlgItem(form_, 100), "VD_TAG"), nullptr);
  EXPECT_EQ(GetTag(form_, 100), "");
  EXPECT_EQ(GetTag(form_, 999), "");

  EXPECT_EQ(HeapAllocZero(0), nullptr);
  void* small = HeapAllocZero(3);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, small), 16u);
  void* big = HeapAllocZero(40);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, big), 41u);
  EXPECT_EQ(static_cast<unsigned char*>(big)[40], 0);
  EXPECT_TRUE(HeapFreeChecked(small));
  EXPECT_TRUE(HeapFreeChecked(big));
  EXPECT_FALSE(HeapFreeChecked(nullptr));
}

TEST_F(OnVitals, ControlHelpersAddressByWindowAndId) {
  EXPECT_EQ(ResolveTarget(form_, 0), form_);
  EXPECT_EQ(ResolveTarget(form_, 999), nullptr);
  EXPECT_EQ(GetClassNameTrimmed(form_, 100), "Edit");
  EXPECT_TRUE(ShowControl(form_, 0, true));
  EXPECT_TRUE(IsWindowVisible(form_));
  EXPECT_FALSE(ShowControl(form_, 999, true));
  EXPECT_TRUE(EnableControl(form_, 101, false));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(form_, 101)));
  EXPECT_FALSE(EnableControl(form_, 999, false));  // no control and no menu
  EXPECT_TRUE(MoveControl(form_, 102, 4, 6, -20, 15));
  RECT r{};
  GetWindowRect(GetDlgItem(form_, 102), &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 15);

  // The body shape list: the selected item's text, empty with none selected.
  HWND shapes = GetDlgItem(form_, 150);
  ASSERT_NE(shapes, nullptr);
  if (SendMessageA(shapes, CB_GETCOUNT, 0, 0) < 2) {
    SendMessageA(shapes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Slim"));
    SendMessageA(shapes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Heavy"));
  }
  SendMessageA(shapes, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(GetControlText(form_, 150), "");
  SendMessageA(shapes, CB_SETCURSEL, 1, 0);
  char item[64] = {};
  SendMessageA(shapes, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(GetControlText(form_, 150), item);
  SetWindowTextA(GetDlgItem(form_, 100), "Smith");
  EXPECT_EQ(GetControlText(form_, 100), "Smith");
  std::size_t children = 0;
  for (HWND c = GetWindow(form_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  EXPECT_GT(children, 60u);
  EXPECT_EQ(EnumChildren(form_).size(), children);  // the controls have no children of their own
}

TEST(SystemHelpers, PathKindsAndTemporaryPlaces) {
  const std::string temp = TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(temp[temp.size() - 2], '\\');
  EXPECT_EQ(PathKind(temp), 1);
  EXPECT_EQ(PathKind("  \"" + temp + "\"  "), 1);  // typed paths are cleaned up first
  EXPECT_EQ(PathKind(temp + "no such file.ros"), 0);
  EXPECT_EQ(PathKind(""), 0);

  const std::string file = TempFileName();
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(PathKind(file), 2);
  EXPECT_EQ(file.rfind(temp, 0), 0u);
  DeleteFileA(file.c_str());

  const std::string folder = TempSubFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.rfind(temp + "tmpfldr", 0), 0u);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(PathKind(folder), 1);
  EXPECT_NE(TempSubFolder("x"), folder);
  RemoveDirectoryA(folder.c_str());

  const std::string program_files = SpecialFolder(CSIDL_PROGRAM_FILES);
  ASSERT_GE(program_files.size(), 4u);
  EXPECT_EQ(program_files.back(), '\\');
  EXPECT_EQ(PathKind(program_files), 1);
}

}  // namespace
}  // namespace rostrel
