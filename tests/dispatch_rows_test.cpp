// Each kind of bound message on a real form: the handler's arguments, its order
// against the window's own processing and the message's result; the hook's
// own work (check toggling, hook callbacks, the close rule, destroy bindings).
#include <gtest/gtest.h>

#include <type_traits>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "pages/form_table.h"
#include "forms/window_data.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rostrel {
namespace {

struct Call {
  std::string what;
  HWND owner;
  std::intptr_t a, b, c;
};
std::vector<Call> g_calls;
INT_PTR g_answer = 0;

// The calls of one kind, in order.
std::vector<Call> Only(const char* what) {
  std::vector<Call> some;
  for (const Call& c : g_calls) {
    if (c.what == what) some.push_back(c);
  }
  return some;
}

// Where the first call of a kind is, or -1.
int IndexOf(const char* what, std::intptr_t b) {
  for (std::size_t i = 0; i < g_calls.size(); ++i) {
    if (g_calls[i].what == what && g_calls[i].b == b) return static_cast<int>(i);
  }
  return -1;
}

void Record(const char* what, HWND owner, std::intptr_t a = 0, std::intptr_t b = 0, std::intptr_t c = 0) {
  g_calls.push_back({what, owner, a, b, c});
}

INT_PTR CALLBACK FormProc(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_COMMAND) Record("form command", nullptr, LOWORD(wparam), HIWORD(wparam));
  if (message == WM_NOTIFY) Record("form notify", nullptr, static_cast<std::intptr_t>(wparam));
  return 0;
}

INT_PTR OnSize(HWND owner, int id, WPARAM kind, int width, int height) {
  Record("size", owner, id, static_cast<std::intptr_t>(kind), width * 10000 + height);
  return 0;
}
INT_PTR OnFocus(HWND owner, int id, WPARAM other) {
  Record("focus", owner, id, static_cast<std::intptr_t>(other));
  return 0;
}
INT_PTR OnEnable(HWND owner, int id, int enabled) {
  Record("enable", owner, id, enabled);
  return 0;
}
INT_PTR OnPaint(HWND owner, int id, HDC dc, PAINTSTRUCT* paint) {
  Record("paint", owner, id, dc != nullptr && paint->hdc == dc);
  return 0;
}
INT_PTR OnClipboard(HWND owner, int id) {
  Record("clipboard", owner, id);
  return g_answer;
}
INT_PTR OnCopyData(HWND owner, int id, WPARAM from, LPARAM data) {
  Record("copydata", owner, id, static_cast<std::intptr_t>(from), data != 0);
  return g_answer;
}
INT_PTR OnContextMenu(HWND owner, int id, int x, int y) {
  Record("context", owner, id, x, y);
  return g_answer;
}
INT_PTR OnMouseActivate(HWND owner, int id, WPARAM, int hit, int mouse_message) {
  Record("activate", owner, id, hit, mouse_message);
  return g_answer;
}
INT_PTR OnScroll(HWND owner, int id, int request, int position, HWND bar) {
  Record("scroll", owner, id, request * 1000 + position, reinterpret_cast<std::intptr_t>(bar));
  return 0;
}
INT_PTR OnCursor(HWND owner, int id, WPARAM, int x, int y) {
  Record("cursor", owner, id, x, y);
  return 0;
}
INT_PTR OnItem(HWND window, WPARAM id, LPARAM) {
  Record("item", window, static_cast<std::intptr_t>(id));
  return 31;
}
INT_PTR OnDestroy(HWND owner, int id) {
  Record("destroy", owner, id);
  return 0;
}
INT_PTR OnAnyDialogCode(HWND owner, int id, WPARAM, LPARAM, WNDPROC own, HWND window) {
  Record("dlgcode", owner, id, own != nullptr, reinterpret_cast<std::intptr_t>(window));
  return DLGC_WANTCHARS;
}
INT_PTR OnNotify(HWND form, int id, NMHDR*) {
  Record("notify", form, id);
  return 5;
}
LRESULT CALLBACK Callback(HWND window, UINT message, WPARAM, LPARAM) {
  Record("callback", window, static_cast<std::intptr_t>(message));
  return 1;
}

// The handler as the kind the message needs, when F is that kind's type.
template <HandlerKind K, typename F>
bool AsKind(HandlerKind wanted, F f, EventHandler& out) {
  if constexpr (std::is_same_v<F, typename HandlerOfKind<K>::type>) {
    if (wanted == K) out = EventHandler::Of<K>(f);
  }
  return static_cast<bool>(out);
}

template <typename F>
void Bind(HWND control, UINT message, int code, F handler) {
  using enum HandlerKind;
  const HandlerKind wanted = KindForBinding(message, code);
  EventHandler h;
  AsKind<Command>(wanted, handler, h) || AsKind<Notify>(wanted, handler, h) || AsKind<Key>(wanted, handler, h) ||
      AsKind<DialogCode>(wanted, handler, h) || AsKind<Size>(wanted, handler, h) ||
      AsKind<Focus>(wanted, handler, h) || AsKind<Enable>(wanted, handler, h) ||
      AsKind<CopyData>(wanted, handler, h) || AsKind<MouseActivate>(wanted, handler, h) ||
      AsKind<Cursor>(wanted, handler, h) || AsKind<Scroll>(wanted, handler, h) || AsKind<Paint>(wanted, handler, h) ||
      AsKind<Item>(wanted, handler, h) || AsKind<ContextMenu>(wanted, handler, h);
  ASSERT_TRUE(BindEvent(control, message, code, h));
}

class Rows : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFormTable();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    SetFormProcedure("VITALS", FormProc);
    form_ = CreateForm("VITALS", nullptr, 0);
    ASSERT_NE(form_, nullptr);
    ShowFormModeless(form_);
    edit_ = GetDlgItem(form_, 100);
    label_ = GetDlgItem(form_, 107);
    g_calls.clear();
    g_answer = 0;
  }
  void TearDown() override {
    if (IsWindow(form_)) DestroyWindow(form_);
    SetFormProcedure("VITALS", nullptr);
    EXPECT_EQ(TaskHookFormCount(), 0);
  }
  HWND form_ = nullptr, edit_ = nullptr, label_ = nullptr;
};

TEST_F(Rows, SizeFocusAndEnable) {
  Bind(edit_, WM_SIZE, 0, OnSize);
  MoveWindow(edit_, 5, 5, 80, 30, FALSE);
  RECT client{};
  GetClientRect(edit_, &client);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].owner, form_);
  EXPECT_EQ(g_calls[0].a, 100);
  EXPECT_EQ(g_calls[0].b, SIZE_RESTORED);
  EXPECT_EQ(g_calls[0].c, client.right * 10000 + client.bottom);

  // The edit box's own WM_SETFOCUS processing tells the form (EN_SETFOCUS)
  // before the handler runs.
  g_calls.clear();
  Bind(edit_, WM_SETFOCUS, 0, OnFocus);
  SetFocus(GetDlgItem(form_, 101));
  g_calls.clear();
  SetFocus(edit_);
  const int notified = IndexOf("form command", EN_SETFOCUS);
  ASSERT_GE(notified, 0);
  ASSERT_EQ(Only("focus").size(), 1u);
  EXPECT_LT(notified, IndexOf("focus", reinterpret_cast<std::intptr_t>(GetDlgItem(form_, 101))));
  EXPECT_EQ(Only("focus")[0].a, 100);

  g_calls.clear();
  Bind(edit_, WM_ENABLE, 0, OnEnable);
  EnableWindow(edit_, FALSE);
  EnableWindow(edit_, TRUE);
  const std::vector<Call> enables = Only("enable");
  ASSERT_EQ(enables.size(), 2u);
  EXPECT_EQ(enables[0].b, 0);
  EXPECT_EQ(enables[1].b, -1);
}

TEST_F(Rows, PaintHandlerDrawsBetweenBeginAndEndPaint) {
  Bind(label_, WM_PAINT, 0, OnPaint);
  InvalidateRect(label_, nullptr, TRUE);
  UpdateWindow(label_);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].owner, form_);
  EXPECT_EQ(g_calls[0].a, 107);
  EXPECT_EQ(g_calls[0].b, 1);
  RECT left{};
  EXPECT_FALSE(GetUpdateRect(label_, &left, FALSE));  // EndPaint validated it
}

TEST_F(Rows, ClipboardCopyDataContextMenuAndActivation) {
  SetWindowTextA(edit_, "abc");
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  g_calls.clear();
  Bind(edit_, WM_CUT, 0, OnClipboard);
  g_answer = 1;  // the handler takes the cut: the box keeps its text
  EXPECT_EQ(SendMessageA(edit_, WM_CUT, 0, 0), 0);
  EXPECT_EQ(GetControlText(form_, 100), "abc");
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].what, "clipboard");
  EXPECT_EQ(g_calls[0].owner, form_);
  EXPECT_EQ(g_calls[0].a, 100);
  g_answer = 0;  // the handler leaves it: the box cuts
  SendMessageA(edit_, WM_CUT, 0, 0);
  EXPECT_EQ(GetControlText(form_, 100), "");

  g_calls.clear();
  Bind(edit_, WM_COPYDATA, 0, OnCopyData);
  COPYDATASTRUCT data{7, 0, nullptr};
  g_answer = 9;
  EXPECT_EQ(SendMessageA(edit_, WM_COPYDATA, reinterpret_cast<WPARAM>(form_), reinterpret_cast<LPARAM>(&data)), 9);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].b, reinterpret_cast<std::intptr_t>(form_));

  g_calls.clear();
  Bind(edit_, WM_CONTEXTMENU, 0, OnContextMenu);
  g_answer = 1;
  const LPARAM at = MAKELPARAM(static_cast<WORD>(-5), 12);
  EXPECT_EQ(SendMessageA(edit_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit_), at), 0);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].b, -5);  // signed screen coordinates
  EXPECT_EQ(g_calls[0].c, 12);

  g_calls.clear();
  Bind(edit_, WM_MOUSEACTIVATE, 0, OnMouseActivate);
  g_answer = MA_NOACTIVATEANDEAT;
  EXPECT_EQ(SendMessageA(edit_, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form_), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATEANDEAT);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].b, HTCLIENT);
  EXPECT_EQ(g_calls[0].c, WM_LBUTTONDOWN);
  // Sent with the window itself as the top-level window: not asked.
  SendMessageA(edit_, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(edit_), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(Rows, ScrollCursorItemsAndDialogCodes) {
  Bind(edit_, WM_VSCROLL, 0, OnScroll);
  SendMessageA(edit_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].owner, form_);
  EXPECT_EQ(g_calls[0].b, SB_THUMBPOSITION * 1000 + 3);
  EXPECT_EQ(g_calls[0].c, reinterpret_cast<std::intptr_t>(edit_));

  g_calls.clear();
  // Bound by the mouse message that makes the cursor be asked for.
  Bind(edit_, WM_SETCURSOR, WM_MOUSEMOVE, OnCursor);
  SendMessageA(edit_, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  SendMessageA(edit_, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit_), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  SendMessageA(edit_, WM_SETCURSOR, reinterpret_cast<WPARAM>(form_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  POINT mouse{};
  GetCursorPos(&mouse);
  ScreenToClient(edit_, &mouse);
  ASSERT_EQ(g_calls.size(), 1u);  // only for its own area and that mouse message
  EXPECT_EQ(g_calls[0].b, mouse.x);
  EXPECT_EQ(g_calls[0].c, mouse.y);

  g_calls.clear();
  Bind(label_, WM_DRAWITEM, 0, OnItem);
  DRAWITEMSTRUCT item{};
  EXPECT_EQ(SendMessageA(form_, WM_DRAWITEM, 107, reinterpret_cast<LPARAM>(&item)), 31);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].owner, form_);
  EXPECT_EQ(g_calls[0].a, 107);

  g_calls.clear();
  Bind(edit_, WM_GETDLGCODE, 0, OnAnyDialogCode);
  EXPECT_EQ(SendMessageA(edit_, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].b, 1);
  EXPECT_EQ(g_calls[0].c, reinterpret_cast<std::intptr_t>(edit_));
}

TEST_F(Rows, HookTogglesChecksCallsCallbacksAndDestroyBindings) {
  HWND box = CreateWindowExA(0, "Button", "x", WS_CHILD | BS_CHECKBOX, 0, 0, 40, 20, form_,
                             reinterpret_cast<HMENU>(300), GetModuleHandleA(nullptr), nullptr);
  SetCheckToggle(box, true);
  EXPECT_NE(GetPropA(box, "VD_3CBST"), nullptr);
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // A hook callback that answers non-zero takes the notification from its
  // binding: the form processes it as if unbound.
  Bind(label_, WM_NOTIFY, NM_CLICK, OnNotify);
  NMHDR click{label_, 107, static_cast<UINT>(NM_CLICK)};
  g_calls.clear();
  EXPECT_EQ(SendMessageA(form_, WM_NOTIFY, 107, reinterpret_cast<LPARAM>(&click)), 5);
  SetHookCallback(label_, WM_NOTIFY, NM_CLICK, Callback);
  EXPECT_EQ(GetPropA(label_, "VD_HKCBEVT,78,-2"), reinterpret_cast<HANDLE>(Callback));
  SendMessageA(form_, WM_NOTIFY, 107, reinterpret_cast<LPARAM>(&click));
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[0].what, "notify");
  EXPECT_EQ(g_calls[1].what, "callback");
  EXPECT_EQ(g_calls[2].what, "form notify");

  g_calls.clear();
  Bind(box, WM_DESTROY, 0, OnDestroy);
  SetHookCallback(box, WM_DESTROY, 0, Callback);
  DestroyWindow(box);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].what, "callback");
  EXPECT_EQ(g_calls[0].a, WM_DESTROY);
  EXPECT_EQ(g_calls[1].what, "destroy");
  EXPECT_EQ(g_calls[1].owner, form_);
  EXPECT_EQ(g_calls[1].a, 300);
}

TEST_F(Rows, ClosingAFramedChildFormDetachesIt) {
  HWND child = CreateForm("ATTRIBUTES", form_, 3);
  ASSERT_NE(child, nullptr);
  SetWindowLongA(child, GWL_STYLE, GetWindowLongA(child, GWL_STYLE) | WS_SYSMENU);
  ShowWindow(child, SW_SHOW);
  SendMessageA(child, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_EQ(GetAncestor(child, GA_PARENT), GetDesktopWindow());
  DestroyWindow(child);
}

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
