// The editor's main window driven as a user drives it: real mouse clicks and
// typed keys through the system's input queue, files dropped on the window,
// message boxes read and dismissed; the file's bytes checked afterwards.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "forms/form_engine.h"
#include "forms/window_data.h"
#include "pages/window_pages.h"
#include "roster/journal.h"
#include "roster/platform.h"
#include "roster/journal.h"
#include "roster/platform.h"
#include "tests/fuzz/fuzz_targets.h"
#include "tests/roster_builder.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
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

// Runs the thread's messages the way the editor's own loop does.
void Pump(DWORD milliseconds = 60) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      HWND root = GetAncestor(message.hwnd, GA_ROOT);
      if (!root || !IsDialogMessageA(root, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
    Sleep(1);
  } while (GetTickCount() < end);
}

void ClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Pump(20);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
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

void Press(WORD vk) {
  Key(vk, false);
  Key(vk, true);
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

// Message boxes shown while an action runs: each is read and answered with OK.
std::vector<std::string> g_boxes;
bool g_box_had_owner = false;
HWND g_form = nullptr;
bool g_form_enabled_under_box = false;  // a task-modal box disables the thread's windows

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  char kind[16] = {}, caption[64] = {};
  GetClassNameA(window, kind, sizeof kind);
  GetWindowTextA(window, caption, sizeof caption);
  if (std::strcmp(kind, "#32770") != 0 || std::strcmp(caption, kMessageCaption) != 0 || !IsWindowVisible(window)) {
    return TRUE;
  }
  char text[256] = {};
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  g_boxes.emplace_back(text);
  if (GetWindow(window, GW_OWNER)) g_box_had_owner = true;
  if (g_form && IsWindowEnabled(g_form)) g_form_enabled_under_box = true;
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

void CALLBACK WatchForMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

// An HDROP as the shell makes it for files dropped on a window.
HGLOBAL DropOf(const std::vector<std::string>& paths) {
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& p : paths) size += p.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* names = reinterpret_cast<char*>(drop + 1);
  for (const std::string& p : paths) {
    std::memcpy(names, p.c_str(), p.size() + 1);
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
  }
  void SetUp() override {
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

    form_ = CreateForm("FORM1", nullptr, 0);
    ASSERT_NE(form_, nullptr);
    ShowFormAndWaitless();
    list_ = GetDlgItem(form_, kPlayerList);
    g_boxes.clear();
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
  // The window as the program shows it, with the program's loop replaced by Pump.
  void ShowFormAndWaitless() {
    ShowWindow(form_, SW_SHOW);
    ShowFormModeless(form_);
    SetForegroundWindow(form_);
    Pump(200);
  }
  void Drop(const std::vector<std::string>& paths, DWORD settle = 150) {
    PostMessageA(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    Pump(settle);
  }
  int Rows() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int item, int column) const {
    char text[256] = {};
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = sizeof text;
    SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
    return text;
  }
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

TEST_F(Editor, StartsWithNoFileAndTheVitalsPage) {
  EXPECT_EQ(Caption(), kBaseCaption);
  EXPECT_EQ(std::string(kBaseCaption).rfind("Rostrel V0.3b", 0), 0u);
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(SaveEnabled());
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form_, kReadButton)));
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
  char title[16] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = title;
  column.cchTextMax = sizeof title;
  SendMessageA(list_, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(title, "FNAME");
  SendMessageA(list_, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(title, "LNAME");
  EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 2, 0), 0);
  EXPECT_TRUE(IsWindowVisible(FindPage(form_, 0)));
  EXPECT_FALSE(IsWindowVisible(FindPage(form_, 1)));
  HWND shapes = PageControl(0, 150);
  ASSERT_EQ(SendMessageA(shapes, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(shapes, CB_GETCURSEL, 0, 0), CB_ERR);
  wchar_t verse[64] = {};
  GetWindowTextW(GetDlgItem(form_, 108), verse, 64);
  EXPECT_EQ(std::wstring(verse).substr(0, 7), L"\u94f6\u5e8a\u6dc5\u6ca5\u9752\u68a7\u8001");
  // A second WM_INITDIALOG adds nothing.
  SendMessageA(FindPage(form_, 0), WM_INITDIALOG, 0, 0);
  EXPECT_EQ(SendMessageA(shapes, CB_GETCOUNT, 0, 0), 3);

  // Enter on the list and Esc anywhere close nothing.
  Click(list_);
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Editor, DroppedFileIsReadAndTwoFilesReadNothing) {
  Drop({roster_});
  ASSERT_EQ(Rows(), 5);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Tony", "Manu", "tony", "Tim", "Bruce"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Parker", "Tony", "Allen", "Duncan", "Bowen"}));
  EXPECT_EQ(Cell(0, 2), " " + std::to_string(built_.Position(0)));
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Roster.ROS");
  EXPECT_TRUE(SaveEnabled());
  EXPECT_EQ(OpenViewCount(), 1);
  // The name columns are as wide as the list's own sizing to all rows makes them.
  const LRESULT sized[2] = {SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0), SendMessageA(list_, LVM_GETCOLUMNWIDTH, 1, 0)};
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
  EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0), sized[0]);
  EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 1, 0), sized[1]);
  EXPECT_NE(sized[0], 60);  // not the initial widths
  EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 2, 0), 0);

  const std::string other = dir_.File("Other.ROS");
  test::WriteFileBytes(other, RosterBuilder().Add(U16("A"), U16("B")).Build().bytes);
  Drop({other, roster_});
  EXPECT_EQ(Rows(), 5);  // unchanged: still the first file
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Roster.ROS");
  EXPECT_TRUE(g_boxes.empty());

  Drop({other});  // reading another file releases the first
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(OpenViewCount(), 1);
}

// The Open dialog, worked from a timer while it runs: its title, its filters
// and its folder are checked, then a file name is typed and OK pressed, or the
// dialog is cancelled.
std::string g_dialog_title, g_dialog_filters, g_dialog_folder, g_dialog_answer;

BOOL CALLBACK AnswerFileDialog(HWND window, LPARAM) {
  char kind[16] = {}, title[64] = {};
  GetClassNameA(window, kind, sizeof kind);
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(kind, "#32770") != 0 || std::strcmp(title, "Choose A File") != 0 || !IsWindowVisible(window)) {
    return TRUE;
  }
  g_dialog_title = title;
  HWND filters = GetDlgItem(window, 0x470);
  for (int i = 0; i < SendMessageA(filters, CB_GETCOUNT, 0, 0); ++i) {
    char item[64] = {};
    SendMessageA(filters, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    g_dialog_filters += std::string(item) + "|";
  }
  char folder[MAX_PATH] = {};
  SendMessageA(window, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
  g_dialog_folder = folder;
  if (g_dialog_answer.empty()) {
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  } else {
    HWND name = GetDlgItem(window, 0x47C);
    if (!name) name = GetDlgItem(window, 0x480);
    SetWindowTextA(name, g_dialog_answer.c_str());
    PostMessageA(window, WM_COMMAND, IDOK, 0);
  }
  return FALSE;
}

void CALLBACK WatchForFileDialog(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), AnswerFileDialog, 0);
}

TEST_F(Editor, OpenDialogStartsInTheSaveFolderAndCancelChangesNothing) {
  char data[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, data, CSIDL_APPDATA, FALSE));
  std::string saves = std::string(data) + "\\2K Sports";
  CreateDirectoryA(saves.c_str(), nullptr);
  saves += "\\NBA 2K9";
  CreateDirectoryA(saves.c_str(), nullptr);
  saves += "\\Saves";
  CreateDirectoryA(saves.c_str(), nullptr);
  const std::string in_saves = saves + "\\Dialog.ROS";
  test::WriteFileBytes(in_saves, built_.bytes);

  const UINT_PTR timer = SetTimer(nullptr, 0, 100, WatchForFileDialog);
  g_dialog_answer = "Dialog.ROS";  // a bare name: the dialog is in the save folder
  Click(GetDlgItem(form_, kOpenButton));
  Pump(300);
  EXPECT_EQ(g_dialog_title, "Choose A File");
  EXPECT_EQ(g_dialog_filters, "FXG OR ROS FILE|ALL TYPE(*.*)|");
  EXPECT_EQ(lstrcmpiA(g_dialog_folder.c_str(), saves.c_str()), 0) << g_dialog_folder;
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Dialog.ROS");

  g_dialog_title.clear();
  g_dialog_answer.clear();  // cancel: the open file stays open and listed
  Click(GetDlgItem(form_, kOpenButton));
  Pump(300);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_dialog_title, "Choose A File");
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(OpenViewCount(), 1);
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Dialog.ROS");
  DestroyWindow(form_);
  form_ = CreateForm("FORM1", nullptr, 0);  // the file goes with the window
  EXPECT_EQ(OpenViewCount(), 0);
  DeleteFileA(in_saves.c_str());
}

TEST_F(Editor, WrongExtensionIsRefusedAndTheOpenFileStays) {
  Drop({roster_});
  ASSERT_EQ(Rows(), 5);
  const std::string text = dir_.File("Roster.rosx");
  test::WriteFileBytes(text, built_.bytes);
  Drop({text});
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], "The file extension is wrong!?");
  EXPECT_FALSE(g_box_had_owner);
  EXPECT_FALSE(g_form_enabled_under_box);
  EXPECT_EQ(Rows(), 5);
  EXPECT_TRUE(SaveEnabled());
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
}

TEST_F(Editor, ColumnClicksSortEachColumnByItsOwnState) {
  Drop({roster_});
  ClickHeader(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Bruce", "Manu", "Tim", "Tony", "tony"}));
  Pump(GetDoubleClickTime() + 50);  // a second click, not a double click
  ClickHeader(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Tony", "tony", "Tim", "Manu", "Bruce"}));
  Pump(GetDoubleClickTime() + 50);
  ClickHeader(1);  // its own state: ascending first
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Allen", "Bowen", "Duncan", "Parker", "Tony"}));
  // The rows keep their record positions.
  for (int i = 0; i < Rows(); ++i) {
    if (Cell(i, 1) == "Duncan") {
      EXPECT_EQ(Cell(i, 2), " " + std::to_string(built_.Position(3)));
    }
  }
}

TEST_F(Editor, ColumnDividersCannotBeDraggedOrDoubleClicked) {
  Drop({roster_});
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  const LRESULT widths[3] = {SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0), SendMessageA(list_, LVM_GETCOLUMNWIDTH, 1, 0),
                             SendMessageA(list_, LVM_GETCOLUMNWIDTH, 2, 0)};
  RECT item{};
  SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  POINT divider{item.right, (item.top + item.bottom) / 2};
  ClientToScreen(header, &divider);
  SetCursorPos(divider.x, divider.y);
  Pump(20);
  INPUT drag[3] = {};
  for (INPUT& i : drag) i.type = INPUT_MOUSE;
  drag[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  drag[1].mi.dwFlags = MOUSEEVENTF_MOVE;
  drag[1].mi.dx = 40;
  drag[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, drag, sizeof(INPUT));
  Pump(100);
  ClickAt(divider);
  ClickAt(divider);  // a double click on the divider
  for (int c = 0; c < 3; ++c) EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, c, 0), widths[c]) << c;
  EXPECT_EQ(widths[2], 0);
}

TEST_F(Editor, EnterWalksThroughEveryMatchThenSaysNotFind) {
  Drop({roster_});
  HWND search = GetDlgItem(form_, kSearchBox);
  Click(search);
  Type("TONY");
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 1);  // first names first
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 3);
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 2);  // then last names
  EXPECT_TRUE(g_boxes.empty());
  Press(VK_RETURN);
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], "Not Find!");
  SetForegroundWindow(form_);
  SetFocus(search);
  Press(VK_RETURN);  // and round again from the top
  EXPECT_EQ(SelectedRow(), 1);
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 3);
  Type("x");  // typing restarts at the top
  SendMessageA(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tony"));
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 1);
  // A search selects without loading the pages.
  EXPECT_EQ(GetControlText(FindPage(form_, 0), 145), "");
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
}

TEST_F(Editor, FullEditRoundWritesOnlyTheEditedBytesNamesAndChecksum) {
  Drop({roster_});
  Click(GetDlgItem(form_, kSaveButton));  // nobody loaded: nothing is written
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
  ClickRow(3);  // Tim Duncan
  HWND first = PageControl(0, 145), last = PageControl(0, 146);
  EXPECT_EQ(GetControlText(FindPage(form_, 0), 145), "Tim");
  EXPECT_EQ(GetControlText(FindPage(form_, 0), 146), "Duncan");
  const std::size_t player = 3;
  EXPECT_EQ(GetControlText(FindPage(form_, 1), 100), std::to_string(built_.bytes[built_.Offset(player, 436)]));

  Retype(first, "Tom");
  Retype(last, "Dunn");
  Retype(PageControl(0, 158), "7");  // the draft pick, a byte at record offset 141
  ClickTab(1);
  EXPECT_TRUE(IsWindowVisible(FindPage(form_, 1)));
  Retype(PageControl(1, 100), "99");
  ClickTab(2);
  EXPECT_TRUE(IsWindowVisible(FindPage(form_, 2)));
  Retype(PageControl(2, 105), "12");
  // A search moves the selection to Bruce Bowen; the save still writes the
  // player the pages show.
  Retype(GetDlgItem(form_, kSearchBox), "bruce");
  Press(VK_RETURN);
  EXPECT_EQ(SelectedRow(), 5);
  Click(GetDlgItem(form_, kSaveButton));

  const Bytes after = ReadFileBytes(roster_);
  ASSERT_EQ(after.size(), built_.bytes.size());
  EXPECT_TRUE(test::ChecksumIsValid(after));
  std::set<std::size_t> expected{built_.Offset(player, 436), built_.Offset(player, 475), built_.Offset(player, 141)};
  // "Tom" over "Tim"; "Dunn" over "Duncan", filled to the stored length with
  // the code 0x14: "c", "a", "n" become "n", 0x14, 0x14 (low bytes only).
  const std::uint32_t f = built_.first_name_at[player], l = built_.last_name_at[player];
  expected.insert(f + 2);
  for (std::uint32_t k : {6u, 8u, 10u}) expected.insert(l + k);
  std::set<std::size_t> changed;
  for (std::size_t i = 4; i < after.size(); ++i) {
    if (after[i] != built_.bytes[i]) changed.insert(i);
  }
  for (std::size_t i : changed) EXPECT_TRUE(expected.count(i)) << "unexpected change at " << i;
  EXPECT_EQ(after[built_.Offset(player, 436)], 99);
  EXPECT_EQ(after[built_.Offset(player, 475)], 12);
  EXPECT_EQ(after[built_.Offset(player, 141)], 7);
  EXPECT_EQ(Cell(3, 0), "Tom");
  EXPECT_EQ(Cell(3, 1), "Dunn\x14\x14");
  EXPECT_EQ(Cell(4, 0), "Bruce");
  EXPECT_EQ(changed, expected);

  // A save with nothing changed since writes nothing but an unchanged checksum.
  Click(GetDlgItem(form_, kSaveButton));
  EXPECT_EQ(ReadFileBytes(roster_), after);

  // Close: nothing listed, Save off, the file released once.
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(SaveEnabled());
  EXPECT_EQ(Caption(), kBaseCaption);
  EXPECT_EQ(OpenViewCount(), 0);
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(OpenViewCount(), 0);
  EXPECT_EQ(ReadFileBytes(roster_), after);
}

// Every seed of the fuzzers and every input they kept, dropped on the window
// as a roster file and as a saved game: no crash, and no byte changes.
TEST_F(Editor, HostileFilesOpenWithoutHarm) {
  std::vector<std::pair<std::string, Bytes>> files = fuzz::SeedCorpus();
  const std::filesystem::path kept = std::filesystem::path(ROSTREL_FUZZ_DIR) / "corpus" / "open";
  if (std::filesystem::is_directory(kept)) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kept)) {
      const Bytes bytes = ReadFileBytes(entry.path().string());
      files.emplace_back("kept" + std::to_string(n) + ".ROS", bytes);
      files.emplace_back("kept" + std::to_string(n++) + ".FXG", bytes);
    }
  }
  int listed = 0;
  for (const auto& [name, bytes] : files) {
    const std::string path = dir_.File(name);
    test::WriteFileBytes(path, bytes);
    Drop({path}, 5);
    listed += Rows() > 0;
    EXPECT_EQ(ReadFileBytes(path), bytes) << name;
    ASSERT_TRUE(IsWindow(form_));
  }
  EXPECT_GT(listed, 0);
  CloseRosterFile(form_, kCloseButton);
}

TEST_F(Editor, UnwritableFileIsNotLeftHalfOpen) {
  SetFileAttributesA(roster_.c_str(), FILE_ATTRIBUTE_READONLY);
  Drop({roster_});
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], "The file cannot be opened for writing.");
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(SaveEnabled());
  EXPECT_EQ(Caption(), kBaseCaption);
  EXPECT_EQ(OpenViewCount(), 0);
  SetFileAttributesA(roster_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
}

// A body-shape code 3 names no item: the box shows nothing, whatever the
// player before showed, and an item picked with the keyboard is saved.
TEST_F(Editor, BodyShapeCodeThreeSelectsNothingAndAPickedItemIsSaved) {
  RosterBuilder builder;
  builder.Add(U16("Ann"), U16("Normal")).Add(U16("Bea"), U16("Three"));
  builder.Record(0)[112] = 0x20 | 0x81;  // code 1, other bits set
  builder.Record(1)[112] = 0x60 | 0x81;  // code 3
  const test::Built built = builder.Build();
  const std::string path = dir_.File("Shapes.ROS");
  test::WriteFileBytes(path, built.bytes);
  Drop({path});
  HWND shapes = PageControl(0, 150);
  ClickRow(0);
  EXPECT_EQ(SendMessageA(shapes, CB_GETCURSEL, 0, 0), 1);
  ClickRow(1);
  EXPECT_EQ(SendMessageA(shapes, CB_GETCURSEL, 0, 0), CB_ERR);

  Click(shapes);  // drops the list down
  for (int presses = 0; presses < 3 && SendMessageA(shapes, CB_GETCURSEL, 0, 0) != 1; ++presses) Press(VK_DOWN);
  Press(VK_RETURN);
  ASSERT_EQ(GetControlText(FindPage(form_, 0), 150), "Normal");
  Click(GetDlgItem(form_, kSaveButton));
  const Bytes after = ReadFileBytes(path);
  EXPECT_EQ(after[built.Offset(1, 112)], 0x20 | 0x81);  // bits 5-6 now 1, every other bit kept
  EXPECT_TRUE(test::ChecksumIsValid(after));
  CloseRosterFile(form_, kCloseButton);
}

// A second file that cannot be opened for writing is refused before the open
// one is released: the open file stays listed, named, mapped and editable.
TEST_F(Editor, RefusedSecondFileLeavesTheOpenOneOpenListedAndNamed) {
  Drop({roster_});
  ASSERT_EQ(Rows(), 5);
  const std::string locked = dir_.File("Locked.ROS");
  test::WriteFileBytes(locked, RosterBuilder().Add(U16("A"), U16("B")).Build().bytes);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  Drop({locked});
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], "The file cannot be opened for writing.");
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(Cell(0, 0), "Tony");
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Roster.ROS");
  EXPECT_TRUE(SaveEnabled());
  EXPECT_EQ(OpenViewCount(), 1);
  ReadRosterFile(form_, kReadButton);  // the remembered path is the open file's again
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(g_boxes.size(), 1u);

  ClickRow(1);
  ClickTab(1);
  Retype(PageControl(1, 100), "77");
  Click(GetDlgItem(form_, kSaveButton));
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(1, 436)], 77);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save whose flush fails says so and keeps the edits; the next Read
// completes the save from the journal.
bool RefuseTheFlush(IoStep step) { return step != IoStep::ViewFlush; }

TEST_F(Editor, FailedFlushIsReportedAndTheNextReadCompletesTheSave) {
  Drop({roster_});
  ClickRow(2);
  ClickTab(1);
  HWND rating = PageControl(1, 100);
  Retype(rating, "91");
  SetIoStepHook(RefuseTheFlush);
  Click(GetDlgItem(form_, kSaveButton));
  SetIoStepHook(nullptr);
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].rfind("Roster.ROS was not saved. The changes could not be put on the disk.", 0), 0u) << g_boxes[0];
  EXPECT_EQ(GetControlText(FindPage(form_, 1), 100), "91");  // the edit is still there
  EXPECT_TRUE(std::filesystem::exists(JournalPathFor(roster_)));

  ReadRosterFile(form_, kReadButton);
  EXPECT_FALSE(std::filesystem::exists(JournalPathFor(roster_)));
  const Bytes after = ReadFileBytes(roster_);
  EXPECT_EQ(after[built_.Offset(2, 436)], 91);
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(g_boxes.size(), 1u);

  // A journal that does not match the file refuses the Read and names both files.
  Journal other;
  other.file_size = after.size() + 1;
  test::WriteFileBytes(JournalPathFor(roster_), EncodeJournal(other));
  CloseRosterFile(form_, kCloseButton);
  Drop({roster_});
  Pump(200);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_NE(g_boxes[1].find("Roster.ROS.journal does not match"), std::string::npos) << g_boxes[1];
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(OpenViewCount(), 0);
  EXPECT_EQ(ReadFileBytes(roster_), after);
  std::filesystem::remove(JournalPathFor(roster_));
}

// A profile folder of 256 to 259 characters comes back whole: the shell
// writes up to MAX_PATH characters.
TEST(SpecialFolder, LongApplicationDataPathComesBackWhole) {
  const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  HKEY folders = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WRITE, &folders), ERROR_SUCCESS);
  char saved[MAX_PATH] = {};
  DWORD size = sizeof saved, type = 0;
  const bool had = RegQueryValueExA(folders, "AppData", nullptr, &type, reinterpret_cast<BYTE*>(saved), &size) == ERROR_SUCCESS;
  test::TempDir dir;
  std::string path = dir.path().string() + "\\";
  path += std::string(258 - path.size(), 'a');  // 258 characters in all
  std::filesystem::create_directories(dir.path() / std::string(path.substr(path.rfind('\\') + 1)));
  RegSetValueExA(folders, "AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), static_cast<DWORD>(path.size() + 1));
  const std::string found = SpecialFolderPath(CSIDL_APPDATA);
  if (had) RegSetValueExA(folders, "AppData", 0, type, reinterpret_cast<const BYTE*>(saved), size);
  RegCloseKey(folders);
  EXPECT_EQ(found, path);
}

}  // namespace
}  // namespace rostrel
