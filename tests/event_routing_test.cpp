// Bindings, the per-thread form count and the release of framework data, on real windows.
#include <gtest/gtest.h>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "pages/form_table.h"

#include <commctrl.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace rostrel {
namespace {

INT_PTR Handler(HWND, int) { return 0; }
INT_PTR NotifyStub(HWND, int, NMHDR*) { return 0; }
INT_PTR KeyStub(HWND, int, WPARAM*, LPARAM) { return 0; }

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
  EXPECT_FALSE(BindEvent(w, WM_COMMAND, 0, EventHandler{}));
  EXPECT_FALSE(BindEvent(w, 0, 0, OnCommand(Handler)));
  EXPECT_FALSE(BindEvent(nullptr, WM_COMMAND, 0, OnCommand(Handler)));
  // A handler of another kind than the message needs is refused.
  EXPECT_FALSE(BindEvent(w, WM_COMMAND, 0, OnNotify(NotifyStub)));
  EXPECT_FALSE(BindEvent(w, WM_NOTIFY, -2, OnCommand(Handler)));
  EXPECT_FALSE(BindEvent(w, WM_GETDLGCODE, 0, OnKey(KeyStub)));  // code 0 asks about every key
  EXPECT_TRUE(VdProperties(w).empty());
  EXPECT_TRUE(BindEvent(w, WM_COMMAND, 0, OnCommand(Handler)));
  EXPECT_NE(GetPropA(w, "VD_EVENT,273,0"), nullptr);
  EXPECT_TRUE(BoundHandler(w, WM_COMMAND, 0) == OnCommand(Handler));
  EXPECT_EQ(BoundHandler(w, WM_COMMAND, 0).As<HandlerKind::Notify>(), nullptr);
  UnbindEvent(w, WM_COMMAND, 0);
  EXPECT_FALSE(BoundHandler(w, WM_COMMAND, 0));
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
  BindEvent(w, WM_NOTIFY, -2, OnNotify(NotifyStub));
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
    UseFormTable();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    for (HandlerId id : {HandlerId::ChooseRosterFile, HandlerId::ReadRosterFile, HandlerId::CloseRosterFile,
                         HandlerId::SavePlayer, HandlerId::ShowHistory, HandlerId::HistoryButton,
                         HandlerId::FilterChanged, HandlerId::ChooseColumns, HandlerId::ColumnsButton,
                         HandlerId::SetField, HandlerId::SetButton}) {
      SetEventHandler(HandlerNumber(id), OnCommand(Handler));
    }
    for (HandlerId id : {HandlerId::LoadPlayer, HandlerId::OnColumnClick}) SetEventHandler(HandlerNumber(id), OnNotify(NotifyStub));
    for (HandlerId id : {HandlerId::ListKey, HandlerId::OnSearchKey, HandlerId::OnSearchChar, HandlerId::FilterKey}) {
      SetEventHandler(HandlerNumber(id), OnKey(KeyStub));
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

  // A second round makes the entry and the mutex anew.
  HWND again = CreateForm("FORM1", nullptr, 0);
  EXPECT_EQ(TaskHookFormCount(), 4);
  DestroyWindow(again);
  EXPECT_EQ(TaskHookFormCount(), 0);
}

// The form table's bindings are checked against the kinds of the handlers they
// name: a handler of another kind, or none, is reported by control.
TEST_F(FormsWithHandlers, TableBindingsAreCheckedAgainstTheirHandlersKinds) {
  const std::vector<std::string> forms{"FORM1", "VITALS", "ATTRIBUTES", "TENDENCIES", "HISTORY", "COLUMNS", "SET"};
  EXPECT_EQ(CheckTableBindings(forms), "");
  SetEventHandler(HandlerNumber(HandlerId::SavePlayer), OnNotify(NotifyStub));
  SetEventHandler(HandlerNumber(HandlerId::OnSearchChar), EventHandler{});
  const std::string problems = CheckTableBindings(forms);
  EXPECT_NE(problems.find("FORM1 control 105: message 273 code 0 names handler 4, which is of another kind"),
            std::string::npos) << problems;
  EXPECT_NE(problems.find("FORM1 control 103: message 135 code 258 names handler 9, which is not set"),
            std::string::npos) << problems;
  // A form built with such handlers binds nothing wrong.
  HWND form = CreateForm("FORM1", nullptr, 0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(GetPropA(GetDlgItem(form, 105), "VD_EVENT,273,0"), nullptr);
  DestroyWindow(form);
  SetEventHandler(HandlerNumber(HandlerId::SavePlayer), OnCommand(Handler));
  SetEventHandler(HandlerNumber(HandlerId::OnSearchChar), OnKey(KeyStub));
  EXPECT_EQ(CheckTableBindings(forms), "");
}

TEST_F(FormsWithHandlers, PropertiesOfALiveFormAreReleasedAtDestruction) {
  HWND form = CreateForm("FORM1", nullptr, 0);
  ASSERT_NE(form, nullptr);
  // The routing releases a window's data when WM_NCDESTROY reaches it; sent
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

namespace rostrel {
namespace {

struct Call {
  std::string what;
  HWND window;
  int id;
  std::intptr_t extra;
};
std::vector<Call> g_calls;

INT_PTR CALLBACK RecordingFormProc(HWND, UINT message, WPARAM wparam, LPARAM) {
  // Buttons with BS_NOTIFY also report focus changes; only clicks are of interest.
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) g_calls.push_back({"form command", nullptr, LOWORD(wparam), 0});
  if (message == WM_NOTIFY) g_calls.push_back({"form notify", nullptr, static_cast<int>(wparam), 0});
  return 0;
}
INT_PTR RecordCommand(HWND form, int id) {
  g_calls.push_back({"command", form, id, 0});
  return 0;
}
INT_PTR RecordNotify(HWND form, int id, NMHDR* header) {
  g_calls.push_back({"notify", form, id, static_cast<std::intptr_t>(header->code)});
  return 77;
}
INT_PTR RecordKey(HWND owner, int id, WPARAM* key, LPARAM) {
  g_calls.push_back({"key", owner, id, static_cast<std::intptr_t>(*key)});
  return *key == VK_RETURN ? DLGC_WANTALLKEYS : 0;
}

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFormTable();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    SetFormProcedure("FORM1", RecordingFormProc);
    SetEventHandler(HandlerNumber(HandlerId::ChooseRosterFile), OnCommand(RecordCommand));
    SetEventHandler(HandlerNumber(HandlerId::LoadPlayer), OnNotify(RecordNotify));
    SetEventHandler(HandlerNumber(HandlerId::OnSearchKey), OnKey(RecordKey));
    form_ = CreateForm("FORM1", nullptr, 0);
    ASSERT_NE(form_, nullptr);
    ShowFormModeless(form_);
    g_calls.clear();
  }
  void TearDown() override {
    DestroyWindow(form_);
    SetFormProcedure("FORM1", nullptr);
    for (HandlerId id : {HandlerId::ChooseRosterFile, HandlerId::LoadPlayer, HandlerId::OnSearchKey}) {
      SetEventHandler(HandlerNumber(id), EventHandler{});
    }
  }
  HWND form_ = nullptr;
};

TEST_F(Dispatch, ButtonClickRunsTheFormFirstThenTheHandler) {
  SendMessageA(GetDlgItem(form_, 100), BM_CLICK, 0, 0);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].what, "form command");
  EXPECT_EQ(g_calls[0].id, 100);
  EXPECT_EQ(g_calls[1].what, "command");
  EXPECT_EQ(g_calls[1].window, form_);
  EXPECT_EQ(g_calls[1].id, 100);
}

// A handler that throws: the exception stops at the routing, the window's own
// processing has run, and the program goes on.
INT_PTR Throwing(HWND form, int id) {
  RecordCommand(form, id);
  throw std::runtime_error("a handler failed");
}

TEST_F(Dispatch, NoExceptionCrossesIntoTheSystem) {
  HWND button = GetDlgItem(form_, 100);
  ASSERT_TRUE(BindEvent(button, WM_COMMAND, 0, OnCommand(Throwing)));
  SendMessageA(button, BM_CLICK, 0, 0);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].what, "form command");
  EXPECT_EQ(g_calls[1].what, "command");
  SendMessageA(button, BM_CLICK, 0, 0);  // and again: the window still works
  EXPECT_EQ(g_calls.size(), 4u);
}

TEST_F(Dispatch, BoundNotificationReplacesTheFormsProcessing) {
  HWND list = GetDlgItem(form_, 101);
  NMHDR click{list, 101, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(SendMessageA(form_, WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&click)), 77);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].what, "notify");
  EXPECT_EQ(g_calls[0].window, form_);
  EXPECT_EQ(g_calls[0].id, 101);
  EXPECT_EQ(g_calls[0].extra, NM_CLICK);
  g_calls.clear();
  NMHDR other{list, 101, static_cast<UINT>(NM_DBLCLK)};  // not bound: the form sees it
  SendMessageA(form_, WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&other));
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].what, "form notify");
}

TEST_F(Dispatch, DialogCodeAsksTheKeyHandler) {
  HWND search = GetDlgItem(form_, 103);
  MSG enter{search, WM_KEYDOWN, VK_RETURN, 0x1C0001, 0, {}};
  EXPECT_EQ(SendMessageA(search, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)), DLGC_WANTALLKEYS);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].window, form_);
  EXPECT_EQ(g_calls[0].id, 103);
  EXPECT_EQ(g_calls[0].extra, VK_RETURN);
  MSG letter{search, WM_KEYDOWN, 'A', 0, 0, {}};
  const LRESULT plain = SendMessageA(search, WM_GETDLGCODE, 'A', reinterpret_cast<LPARAM>(&letter));
  EXPECT_EQ(plain & DLGC_WANTALLKEYS, 0);  // the handler's 0 leaves the edit box's own answer
  EXPECT_NE(plain & DLGC_HASSETSEL, 0);
  EXPECT_EQ(g_calls.size(), 2u);
}

}  // namespace
}  // namespace rostrel
