// Each kind of bound message on a real form: the handler's arguments, its order
// against the window's own processing and the message's result; the hook's
// own work (check toggling, hook callbacks, the close rule, destroy bindings).
#include "tests/dispatch_rows.h"

namespace rostrel {
namespace {

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

}  // namespace
}  // namespace rostrel
