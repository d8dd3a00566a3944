// The editor's main window as the whole-window tests drive it: real mouse
// clicks and typed keys through the system's input queue, files dropped on
// the window, message boxes read and dismissed, and a fixture with a roster of
// five players. Each test program that includes this has its own copy.
#pragma once
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/player_list_view.h"
#include "app/settings.h"
#include "forms/form_engine.h"
#include "forms/window_data.h"
#include "pages/window_pages.h"
#include "roster/journal.h"
#include "roster/platform.h"
#include "tests/fuzz/fuzz_targets.h"
#include "tests/message_pump.h"
#include "tests/roster_builder.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <set>
#include <vector>

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::RosterBuilder;
using test::TempDir;
using test::U16;

using test::Pump;
using test::PumpUntil;

// When and where the last click went down: the next click at the same place
// waits until the system can no longer take the two for a double click (the
// buttons notify their form of a double click instead of a click).
DWORD g_last_click = 0;
POINT g_last_click_at{-100, -100};

void ClickAt(POINT screen) {
  if (std::abs(screen.x - g_last_click_at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(screen.y - g_last_click_at.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
    PumpUntil([] { return GetTickCount() - g_last_click > GetDoubleClickTime(); });
  }
  SetCursorPos(screen.x, screen.y);
  Pump(20);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  g_last_click = GetTickCount();
  g_last_click_at = screen;
  Pump();
}

// Two clicks at once, which the system takes for a double click.
inline void DoubleClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Pump(20);
  INPUT clicks[4] = {};
  for (int i = 0; i < 4; ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  SendInput(4, clicks, sizeof(INPUT));
  g_last_click = GetTickCount();
  g_last_click_at = screen;
  Pump();
}

// A click at the middle of rect, given in window's client coordinates.
void ClickIn(HWND window, RECT rect) {
  POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(window, &at);
  ClickAt(at);
}

void Click(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  ClickIn(window, client);
}

void Key(WORD vk, bool up) {
  INPUT key{};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = vk;
  key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &key, sizeof key);
}

inline void Press(WORD vk) {
  Key(vk, false);
  Key(vk, true);
  Pump();
}

// Ctrl and a key.
inline void Chord(WORD key) {
  Key(VK_CONTROL, false);
  Press(key);
  Key(VK_CONTROL, true);
  Pump();
}

void Type(const std::string& text) {
  for (char c : text) {
    const SHORT vk = VkKeyScanA(c);
    const bool shift = (vk >> 8) & 1;
    if (shift) Key(VK_SHIFT, false);
    Key(static_cast<WORD>(vk & 0xFF), false);
    Key(static_cast<WORD>(vk & 0xFF), true);
    if (shift) Key(VK_SHIFT, true);
    Pump(15);
  }
  Pump();
}

// Replaces a box's text as a user does: click in it, select all, type.
void Retype(HWND box, const std::string& text) {
  Click(box);
  SendMessageA(box, EM_SETSEL, 0, -1);
  Type(text);
}

// Message boxes shown while an action runs: each is read and answered with the
// next of g_answers (IDYES, IDNO, IDCANCEL), or with OK when none is left.
std::vector<std::string> g_boxes;
std::deque<int> g_answers;
bool g_box_had_owner = false;
HWND g_form = nullptr;
bool g_form_enabled_under_box = false;  // a task-modal box disables the thread's windows

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  char kind[16] = {}, caption[64] = {};
  GetClassNameA(window, kind, sizeof kind);
  GetWindowTextA(window, caption, sizeof caption);
  if (std::strcmp(kind, "#32770") != 0 || std::strcmp(caption, kMessageCaption) != 0 || !IsWindowVisible(window) ||
      GetPropA(window, "answered")) {
    return TRUE;
  }
  SetPropA(window, "answered", reinterpret_cast<HANDLE>(1));
  char text[256] = {};
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  g_boxes.emplace_back(text);
  if (GetWindow(window, GW_OWNER)) g_box_had_owner = true;
  if (g_form && IsWindowEnabled(g_form)) g_form_enabled_under_box = true;
  int answer = IDOK;
  if (!g_answers.empty()) answer = g_answers.front(), g_answers.pop_front();
  PostMessageA(window, WM_COMMAND, answer, 0);
  return TRUE;
}

void CALLBACK WatchForMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

// An HDROP as the shell makes it for files dropped on a window: the names in
// the code page, or as wide text.
template <typename Char>
HGLOBAL DropOf(const std::vector<std::basic_string<Char>>& paths) {
  std::size_t size = sizeof(DROPFILES) + sizeof(Char);
  for (const auto& p : paths) size += (p.size() + 1) * sizeof(Char);
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = sizeof(Char) > 1;
  auto* names = reinterpret_cast<Char*>(drop + 1);
  for (const auto& p : paths) {
    std::memcpy(names, p.c_str(), (p.size() + 1) * sizeof(Char));
    names += p.size() + 1;
  }
  GlobalUnlock(memory);
  return memory;
}

class Editor : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{8, 0x7FF};
    InitCommonControlsEx(&controls);
    RegisterMainWindow();
    UseSettingsKey(SettingsKey());
  }
  // The settings of this test program's own, each test starting from none.
  static std::string SettingsKey() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    return "Software\\Rostrel\\Tests\\" + std::filesystem::path(program).stem().string();
  }
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey().c_str());
    RosterBuilder builder;
    builder.Add(U16("Tony"), U16("Parker"))
        .Add(U16("Manu"), U16("Tony"))
        .Add(U16("tony"), U16("Allen"))
        .Add(U16("Tim"), U16("Duncan"))
        .Add(U16("Bruce"), U16("Bowen"));
    for (std::size_t i = 0; i < 5; ++i) {
      auto& r = builder.Record(i);
      for (int x = 436; x < 486; ++x) r[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(40 + i + (x - 436) % 50);
    }
    built_ = builder.Build();
    roster_ = dir_.File("Roster.ROS");
    test::WriteFileBytes(roster_, built_.bytes);

    OpenWindow();
    g_boxes.clear();
    g_answers.clear();
    g_box_had_owner = false;
    g_form = form_;
    g_form_enabled_under_box = false;
    SetTimer(nullptr, 0, 50, WatchForMessageBoxes);
  }
  void TearDown() override {
    DestroyWindow(form_);
    Pump();
    EXPECT_EQ(OpenViewCount(), 0);  // closing the window released the file
  }
  void OpenWindow() {
    form_ = CreateForm("FORM1", nullptr, 0);
    ASSERT_NE(form_, nullptr);
    ShowFormAndWaitless();
    list_ = GetDlgItem(form_, kPlayerList);
  }
  // The window as the program shows it, with the program's loop replaced by Pump.
  void ShowFormAndWaitless() {
    ShowWindow(form_, SW_SHOW);
    ShowFormModeless(form_);
    SetForegroundWindow(form_);
    ASSERT_TRUE(PumpUntil([this] { return IsWindowVisible(form_) && GetForegroundWindow() == form_; }));
  }
  template <typename Char = char>
  void Drop(const std::vector<std::basic_string<Char>>& paths, DWORD settle = 150) {
    PostMessageA(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    Pump(settle);
  }
  int Rows() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int item, int column) const { return PlayerCell(list_, item, column); }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (int i = 0; i < Rows(); ++i) texts.push_back(Cell(i, column));
    return texts;
  }
  std::string Caption() const {
    char text[256] = {};
    GetWindowTextA(form_, text, sizeof text);
    return text;
  }
  void ClickRow(int item) {
    RECT row{LVIR_LABEL, 0, 0, 0};
    SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
    ClickIn(list_, row);
  }
  void ClickHeader(int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
    RECT item{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    ClickIn(header, item);
  }
  void ClickTab(int index) {
    HWND tab = GetDlgItem(form_, kTabControlId);
    RECT item{};
    SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    ClickIn(tab, item);
  }
  HWND PageControl(int tab, int id) const { return GetDlgItem(FindPage(form_, tab), id); }
  int SelectedRow() const { return GetSelectedRow(form_, kPlayerList); }
  bool SaveEnabled() const { return IsWindowEnabled(GetDlgItem(form_, kSaveButton)) != FALSE; }

  TempDir dir_;
  test::Built built_;
  std::string roster_;
  HWND form_ = nullptr, list_ = nullptr;
};

}  // namespace
}  // namespace rostrel
