// The editor's main window driven as a user drives it: the start-up state, the
// Open dialog, drops, sorting, the column lock, the search and a full edit
// round; the file's bytes checked afterwards.
#include "tests/editor_window.h"

#include "roster/wide_text.h"

namespace rostrel {
namespace {

TEST_F(Editor, StartsWithNoFileAndTheVitalsPage) {
  EXPECT_EQ(Caption(), kBaseCaption);
  EXPECT_EQ(std::string(kBaseCaption).rfind("Rostrel V0.3b", 0), 0u);
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(SaveEnabled());
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form_, kReadButton)));
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), kFixedColumns + 4);  // Position, Number, Height, Weight
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
  wchar_t folder[MAX_PATH] = {};  // the dialog is a wide one
  SendMessageW(window, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
  g_dialog_folder = Utf8FromWide(folder);
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

  // The dialog was read and answered, and has closed.
  auto answered = [] { return !g_dialog_title.empty() && !FindWindowA("#32770", "Choose A File"); };
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, WatchForFileDialog);
  g_dialog_answer = "Dialog.ROS";  // a bare name: the dialog is in the save folder
  Click(GetDlgItem(form_, kOpenButton));
  ASSERT_TRUE(PumpUntil(answered));
  EXPECT_EQ(g_dialog_title, "Choose A File");
  EXPECT_EQ(g_dialog_filters, "FXG OR ROS FILE|ALL TYPE(*.*)|");
  EXPECT_EQ(lstrcmpiA(g_dialog_folder.c_str(), saves.c_str()), 0) << g_dialog_folder;
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(Caption(), std::string(kBaseCaption) + " - Dialog.ROS");

  g_dialog_title.clear();
  g_dialog_answer.clear();  // cancel: the open file stays open and listed
  Chord('O');
  ASSERT_TRUE(PumpUntil(answered));
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
  PumpUntil([] { return g_boxes.size() >= 1; });  // the box was answered
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
  ClickHeader(0);  // a second click, not a double click
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Tony", "tony", "Tim", "Manu", "Bruce"}));
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
  DoubleClickAt(divider);
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
  PumpUntil([] { return g_boxes.size() >= 1; });  // the box was answered
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
  EXPECT_EQ(Cell(3, 1), "Dunn");  // the fill after a shortened name is not shown
  EXPECT_EQ(GetControlText(FindPage(form_, 0), 146), "Dunn");
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

}  // namespace
}  // namespace rostrel
