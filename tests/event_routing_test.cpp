// Bindings, the per-thread hook and the release of framework data, on real windows.
#include <gtest/gtest.h>

#include "forms/event_routing.h"
#include "forms/form_engine.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace rostrel {
namespace {

void Handler() {}

BOOL CALLBACK CollectVd(HWND, LPSTR name, HANDLE, ULONG_PTR out) {
  if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strncmp(name, "VD_", 3) == 0) {
    reinterpret_cast<std::vector<std::string>*>(out)->emplace_back(name);
  }
  return TRUE;
}

std::vector<std::string> VdProperties(HWND window) {
  std::vector<std::string> names;
  EnumPropsExA(window, CollectVd, reinterpret_cast<LPARAM>(&names));
  return names;
}

bool HookMutexExists() {
  HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, HookMutexName(GetCurrentThreadId()).c_str());
  if (m) CloseHandle(m);
  return m != nullptr;
}

TEST(Bindings, PropertyNamesAndRefusals) {
  EXPECT_EQ(EventPropertyName(273, 0), "VD_EVENT,273,0");
  EXPECT_EQ(EventPropertyName(78, -108), "VD_EVENT,78,-108");
  EXPECT_EQ(HookMutexName(1234), "VD_HKMUTEX1234");
  HWND w = CreateWindowExA(0, "Static", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(BindEvent(w, WM_COMMAND, 0, nullptr));
  EXPECT_FALSE(BindEvent(w, 0, 0, Handler));
  EXPECT_FALSE(BindEvent(nullptr, WM_COMMAND, 0, Handler));
  EXPECT_TRUE(VdProperties(w).empty());
  EXPECT_TRUE(BindEvent(w, WM_COMMAND, 0, Handler));
  EXPECT_NE(GetPropA(w, "VD_EVENT,273,0"), nullptr);
  EXPECT_EQ(BoundHandler(w, WM_COMMAND, 0), Handler);
  UnbindEvent(w, WM_COMMAND, 0);
  EXPECT_EQ(BoundHandler(w, WM_COMMAND, 0), nullptr);
  DestroyWindow(w);
}

TEST(Release, EveryVdPropertyGoesAndWhatItOwnsIsFreed) {
  HWND w = CreateWindowExA(0, "Static", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  HFONT font = CreateFontA(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  SetPropA(w, "VD_FONT", font);
  SetPropA(w, "VD_BRUSH", brush);
  SetPropA(w, "VD_TAG", HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 16));
  SetPropA(w, "VD_BACKCOLOR", reinterpret_cast<HANDLE>(1));
  SetPropA(w, "OTHER", reinterpret_cast<HANDLE>(7));
  BindEvent(w, WM_NOTIFY, -2, Handler);
  ReleaseWindowData(w);
  EXPECT_TRUE(VdProperties(w).empty());
  EXPECT_EQ(GetPropA(w, "OTHER"), reinterpret_cast<HANDLE>(7));  // not the framework's
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
  RemovePropA(w, "OTHER");
  DestroyWindow(w);
}

class FormsWithHandlers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    for (HandlerId id : {HandlerId::ChooseRosterFile, HandlerId::ReadRosterFile, HandlerId::CloseRosterFile,
                         HandlerId::SavePlayer, HandlerId::LoadPlayer, HandlerId::OnColumnClick, HandlerId::ListKey,
                         HandlerId::OnSearchKey, HandlerId::OnSearchChar}) {
      SetEventHandler(id, Handler);
    }
  }
};

TEST_F(FormsWithHandlers, HookCountsFormsAndGoesWithTheLast) {
  EXPECT_EQ(TaskHookFormCount(), 0);
  EXPECT_FALSE(HookMutexExists());
  HWND form = CreateForm("FORM1", nullptr, 0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TaskHookFormCount(), 4);  // FORM1 and its three pages
  EXPECT_TRUE(HookMutexExists());
  EXPECT_EQ(InstallTaskHook(form), 0);  // counted once only
  HWND list = GetDlgItem(form, 101);
  EXPECT_NE(GetPropA(list, "VD_EVENT,78,-108"), nullptr);
  EXPECT_NE(GetPropA(list, "VD_EVENT,135,256"), nullptr);
  EXPECT_NE(GetPropA(list, "VD_EVENT,78,-2"), nullptr);
  EXPECT_NE(GetPropA(GetDlgItem(form, 103), "VD_EVENT,135,258"), nullptr);
  EXPECT_NE(GetPropA(GetDlgItem(form, 100), "VD_EVENT,273,0"), nullptr);

  // Picking a tab switches pages with no binding on the tab control.
  HWND tab = GetDlgItem(form, 104);
  SendMessageA(tab, TCM_SETCURSEL, 2, 0);
  NMHDR change{tab, 104, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(form, WM_NOTIFY, 104, reinterpret_cast<LPARAM>(&change));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ((GetWindowLongA(FindPageOfTab(tab, i), GWL_STYLE) & WS_VISIBLE) != 0, i == 2) << i;
  }

  // Destroying a page releases its data and uncounts it; the rest go with FORM1.
  HWND page = FindPageOfTab(tab, 1);
  HWND page_edit = GetDlgItem(page, 100);
  DestroyWindow(page);
  EXPECT_EQ(TaskHookFormCount(), 3);
  EXPECT_FALSE(IsWindow(page_edit));
  DestroyWindow(form);
  EXPECT_EQ(TaskHookFormCount(), 0);
  EXPECT_FALSE(HookMutexExists());

  // A second round installs the hook anew.
  HWND again = CreateForm("FORM1", nullptr, 0);
  EXPECT_EQ(TaskHookFormCount(), 4);
  DestroyWindow(again);
  EXPECT_EQ(TaskHookFormCount(), 0);
}

TEST_F(FormsWithHandlers, PropertiesOfALiveFormAreReleasedAtDestruction) {
  HWND form = CreateForm("FORM1", nullptr, 0);
  ASSERT_NE(form, nullptr);
  // The hook releases a window's data when WM_NCDESTROY reaches it; sent
  // here to a live button so that its property list can still be read.
  HWND open = GetDlgItem(form, 100);
  EXPECT_FALSE(VdProperties(open).empty());
  SendMessageA(open, WM_NCDESTROY, 0, 0);
  EXPECT_TRUE(VdProperties(open).empty());
  EXPECT_FALSE(VdProperties(form).empty());
  DestroyWindow(form);
  EXPECT_EQ(TaskHookFormCount(), 0);
}

}  // namespace
}  // namespace rostrel
