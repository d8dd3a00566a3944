// Recording handlers of every kind and a real form to bind them on, for the
// tests of the routing's dispatch rows. Each test program that includes this
// has its own copy.
#pragma once
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
inline std::vector<Call> Only(const char* what) {
  std::vector<Call> some;
  for (const Call& c : g_calls) {
    if (c.what == what) some.push_back(c);
  }
  return some;
}

// Where the first call of a kind is, or -1.
inline int IndexOf(const char* what, std::intptr_t b) {
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

}  // namespace
}  // namespace rostrel
