// The editor's main window keeps what the pages show and what the file holds
// together: Save asks before it stores a text that would not read back as
// typed, a player with unsaved edits asks before it is left, and the History
// dialog, Ctrl+Z and Ctrl+Y undo and redo writes.
#include "tests/editor_window.h"

#include <algorithm>
#include <functional>

#include "player/codecs.h"

namespace rostrel {
namespace {

std::string Shown(HWND form, int tab, int id) { return GetControlText(FindPage(form, tab), id); }

TEST_F(Editor, SaveNamesTextsTheFileWouldNotHoldAsTypedAndAsks) {
  Drop({roster_});
  ClickRow(0);
  const Bytes before = ReadFileBytes(roster_);
  ClickTab(1);
  Retype(PageControl(1, 100), "300");
  ClickTab(0);
  Retype(PageControl(0, vitals::kHeight), "9' 2\"");
  Retype(PageControl(0, vitals::kNumber), "00");  // reads back as typed: not named
  g_answers = {IDNO};
  Chord('S');  // in the box, as a click on Save
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0],
            "The file cannot hold these values as typed:\n\nHeight: \"9' 2\"\" would be saved as \"8' 4\"\"\n"
            "Shooting(Close): \"300\" would be saved as \"44\"\n\nSave anyway?");
  EXPECT_EQ(ReadFileBytes(roster_), before);  // No writes nothing, keeps the edits
  EXPECT_EQ(Shown(form_, 1, 100), "300");
  EXPECT_EQ(GetFocus(), PageControl(0, vitals::kHeight));

  g_answers = {IDYES};
  Click(GetDlgItem(form_, kSaveButton));
  ASSERT_EQ(g_boxes.size(), 2u);
  const Bytes after = ReadFileBytes(roster_);
  EXPECT_EQ(after[built_.Offset(0, 436)], 44);
  EXPECT_EQ((test::GetU32(after, built_.Offset(0, 48)) & 0xFFFF) >> 7, 100u);
  // The boxes show what the file holds now.
  EXPECT_EQ(Shown(form_, 1, 100), "44");
  EXPECT_EQ(Shown(form_, 0, vitals::kHeight), "8' 4\"");
  EXPECT_EQ(Shown(form_, 0, vitals::kNumber), "00");
  EXPECT_EQ(GetControlText(form_, kCloseButton), "C&lose");
  Key(VK_MENU, false);  // Alt+L: Close; nothing unsaved, so no question
  Press('L');
  Key(VK_MENU, true);
  ASSERT_TRUE(PumpUntil([this] { return Rows() == 0; }));
  EXPECT_EQ(g_boxes.size(), 2u);
}

TEST_F(Editor, UnsavedEditsOfEveryPlayerAreSavedDroppedOrKeptAsTheUserSays) {
  Drop({roster_});
  ClickRow(0);
  ClickTab(1);
  Retype(PageControl(1, 100), "77");
  const Bytes before = ReadFileBytes(roster_);

  // Another player asks nothing: the edit stays, his row is marked, and the
  // pages show the clicked player with his own edits.
  ClickRow(1);
  EXPECT_EQ(Shown(form_, 0, vitals::kFirstName), "Manu");
  EXPECT_TRUE(RowMarked(0));
  EXPECT_FALSE(RowMarked(1));
  Retype(PageControl(1, 100), "78");
  EXPECT_TRUE(RowMarked(1));
  ClickRow(0);
  EXPECT_EQ(Shown(form_, 1, 100), "77");
  Retype(PageControl(1, 100), std::to_string(before[built_.Offset(0, 436)]));  // typed back: no edit
  EXPECT_FALSE(RowMarked(0));
  Retype(PageControl(1, 100), "77");
  EXPECT_TRUE(g_boxes.empty());

  g_answers = {IDCANCEL};  // Close, then a drop: both stay undone
  Click(GetDlgItem(form_, kCloseButton));
  Drop({roster_});
  const std::string question = "Save the changes to 2 players?";
  ASSERT_EQ(g_boxes, (std::vector<std::string>{question, question}));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(Shown(form_, 1, 100), "77");
  EXPECT_EQ(ReadFileBytes(roster_), before);

  g_answers = {IDNO};  // No drops every edit
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ReadFileBytes(roster_), before);

  // Closing the window as it runs modally: Cancel keeps it open, Yes saves
  // both players in one write and closes.
  Drop({roster_});
  ClickRow(3);
  Retype(PageControl(1, 100), "79");
  g_answers = {IDYES};
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(g_boxes.back(), "Save the changes to \"Tim Duncan\"?");
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(3, 436)], 79);
  Drop({roster_});
  ClickRow(4);
  Retype(PageControl(1, 100), "80");
  ClickRow(2);
  Retype(PageControl(1, 100), "81");
  SetPropA(form_, "VD_MODAL", reinterpret_cast<HANDLE>(1));
  g_answers = {IDCANCEL};
  SendMessageA(form_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(IsWindow(form_));
  g_answers = {IDYES};
  SendMessageA(form_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form_));
  const Bytes after = ReadFileBytes(roster_);
  EXPECT_EQ(after[built_.Offset(4, 436)], 80);
  EXPECT_EQ(after[built_.Offset(2, 436)], 81);
  EXPECT_EQ(g_boxes.size(), 6u);
  EXPECT_EQ(g_boxes.back(), "Save the changes to 2 players?");
}

// The History dialog runs modally inside the click on History: a timer works
// it with real clicks, one step at a time, each once the dialog shows what
// the step needs.
struct DialogStep {
  std::function<bool(HWND dialog, HWND list)> ready;
  int control;    // clicked once ready: a button, or the list (100) at item
  int item = -1;
  WORD key = 0;   // pressed after the click
  const char* text = "";  // typed after the click, before the key
};
std::deque<DialogStep> g_steps;
const char* g_dialog = "History - Roster.ROS";
std::vector<std::string> g_seen;  // the newest row's What and Undone when each step was ready

// A click sent from inside the dialog's own loop, which handles it (or any
// other button's).
void SendClickAt(HWND window, RECT rect, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
  POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(window, &at);
  SetCursorPos(at.x, at.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = down;
  clicks[1].mi.dwFlags = up;
  SendInput(2, clicks, sizeof(INPUT));
}

void CALLBACK WorkDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", g_dialog);
  if (!dialog || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog) || g_steps.empty()) return;
  HWND list = GetDlgItem(dialog, 100);
  if (!g_steps.front().ready(dialog, list)) return;
  g_seen.push_back(PlayerCell(list, 0, 1) + "|" + PlayerCell(list, 0, 4));
  const DialogStep step = g_steps.front();
  g_steps.pop_front();
  HWND control = GetDlgItem(dialog, step.control);
  RECT rect{LVIR_LABEL, 0, 0, 0};
  if (step.item >= 0) {
    SendMessageA(control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(step.item), FALSE);
    SendMessageA(control, LVM_GETITEMRECT, static_cast<WPARAM>(step.item), reinterpret_cast<LPARAM>(&rect));
  } else {
    GetClientRect(control, &rect);
  }
  SendClickAt(control, rect);
  for (const char* c = step.text; *c; ++c) {
    const SHORT vk = VkKeyScanA(*c);
    if ((vk >> 8) & 1) Key(VK_SHIFT, false);
    Key(static_cast<WORD>(vk & 0xFF), false);
    Key(static_cast<WORD>(vk & 0xFF), true);
    if ((vk >> 8) & 1) Key(VK_SHIFT, true);
  }
  if (step.key) {
    Key(step.key, false);
    Key(step.key, true);
  }
}

TEST_F(Editor, HistoryDialogAndKeysUndoAndRedoWrites) {
  Drop({roster_});
  ClickRow(0);
  ClickTab(1);
  Retype(PageControl(1, 100), "61");
  Click(GetDlgItem(form_, kSaveButton));  // write 1
  ClickRow(1);
  Retype(PageControl(1, 100), "62");
  Click(GetDlgItem(form_, kSaveButton));  // write 2
  ASSERT_EQ(ReadFileBytes(roster_)[built_.Offset(1, 436)], 62);
  auto items = [](int n) { return [n](HWND, HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == n; }; };
  g_steps = {
      {items(2), 101},  // Undo: write 2
      {[](HWND, HWND list) { return PlayerCell(list, 1, 4) == "undone"; }, 102},  // Redo
      {items(4), 100, 3},  // write 1's row, the oldest
  };
  // Restore with write 1's row selected, then Close.
  g_steps.push_back({[](HWND, HWND list) { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; }, 103});
  g_steps.push_back({items(5), 104});
  g_answers = {IDYES, IDYES, IDYES};
  const UINT_PTR timer = SetTimer(nullptr, 0, 60, WorkDialog);
  Click(GetDlgItem(form_, kHistoryButton));
  ASSERT_TRUE(PumpUntil([] { return g_steps.empty() && !FindWindowA("#32770", "History - Roster.ROS"); }));
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_seen, (std::vector<std::string>{"2  Save|", "3  undo 2|", "4  redo 2|", "4  redo 2|", "5  undo 2 to 1|"}));
  ASSERT_EQ(g_boxes.size(), 3u);
  EXPECT_EQ(g_boxes[0], "Undo write 2? It changes 1 player and 1 field of Roster.ROS.");
  EXPECT_EQ(g_boxes[2], "Undo writes 2 to 1? It changes 2 players and 2 fields of Roster.ROS.");
  // Both writes undone: the file's first bytes, and the pages show them.
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
  EXPECT_EQ(GetControlText(FindPage(form_, 1), 100), "41");

  // Ctrl+Y on the list redoes write 1; Ctrl+Z undoes it again.
  Click(list_);
  g_answers = {IDYES};
  Key(VK_CONTROL, false);
  Press('Y');
  Key(VK_CONTROL, true);
  ASSERT_TRUE(PumpUntil([] { return g_boxes.size() == 4; }));
  EXPECT_EQ(g_boxes[3], "Redo write 1? It changes 1 player and 1 field of Roster.ROS.");
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(0, 436)], 61);
  g_answers = {IDYES};
  Key(VK_CONTROL, false);
  Press('Z');
  Key(VK_CONTROL, true);
  ASSERT_TRUE(PumpUntil([] { return g_boxes.size() == 5; }));
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
  // In an edit box Ctrl+Z is the box's own.
  Retype(PageControl(1, 100), "55");
  Key(VK_CONTROL, false);
  Press('Z');
  Key(VK_CONTROL, true);
  Pump(200);
  EXPECT_EQ(g_boxes.size(), 5u);
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
}

}  // namespace
}  // namespace rostrel

namespace rostrel {
namespace {

struct FoundTip {
  HWND form, box;
  std::string text;
};

BOOL CALLBACK ReadFilterTip(HWND window, LPARAM data) {
  auto* f = reinterpret_cast<FoundTip*>(data);
  char kind[32] = {};
  GetClassNameA(window, kind, sizeof kind);
  if (lstrcmpiA(kind, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != f->form) return TRUE;
  char text[512] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = f->form;
  tool.uId = reinterpret_cast<UINT_PTR>(f->box);
  tool.lpszText = text;
  SendMessageA(window, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  f->text = text;
  return FALSE;
}

// The reason the filter box's tooltip gives.
std::string FilterTip(HWND form) {
  FoundTip found{form, GetDlgItem(form, kFilterBox), {}};
  EnumThreadWindows(GetCurrentThreadId(), ReadFilterTip, reinterpret_cast<LPARAM>(&found));
  return found.text;
}

// Enter on a popup menu's first item, for each menu level shown; a menu
// still open after 10 s is closed.
int g_menu_keys = 0;
DWORD g_menu_since = 0;
void CALLBACK PickFirstItems(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - g_menu_since > 10000) EndMenu();
  int menus = 0;
  for (HWND m = FindWindowA("#32768", nullptr); m; m = FindWindowExA(nullptr, m, "#32768", nullptr)) {
    menus += IsWindowVisible(m) ? 1 : 0;
  }
  if (menus != g_menu_keys + 1) return;
  // The menu opened by the mouse has no item lit: Down lights the first.
  std::vector<INPUT> keys;
  for (WORD vk : {g_menu_keys == 0 ? WORD{VK_DOWN} : WORD{0}, WORD{VK_RETURN}}) {
    if (!vk) continue;
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = vk;
    keys.push_back(key);
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    keys.push_back(key);
  }
  ++g_menu_keys;
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// A filter typed, Esc, a column chosen in the Columns dialog, header clicks
// sorting it by number, the loaded player kept selected throughout, and the
// columns and the window's size back after a restart.
TEST_F(Editor, FilterColumnsAndSortsWithRealInputAndKeepsTheChoice) {
  const int speeds[] = {9, 100, 45, 7, 100};  // by text 100 would come first
  for (std::size_t i = 0; i < 5; ++i) built_.bytes[built_.Offset(i, 455)] = static_cast<std::uint8_t>(speeds[i]);
  test::StoreChecksum(built_.bytes);
  test::WriteFileBytes(roster_, built_.bytes);
  Drop({roster_});
  auto count = [this] { return GetControlText(form_, kListedCount); };
  EXPECT_EQ(count(), "5 of 5 players");
  ClickRow(3);  // Tim Duncan, loaded
  ASSERT_EQ(GetControlText(FindPage(form_, 0), 146), "Duncan");
  auto selected_last = [this] { return SelectedRow() ? Cell(SelectedRow() - 1, 1) : std::string("none"); };

  Click(GetDlgItem(form_, kFilterBox));
  Type("speed>=45 o");
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Tony", "Allen", "Bowen"}));
  EXPECT_EQ(count(), "3 of 5 players");
  EXPECT_EQ(selected_last(), "none");  // the loaded player is not listed
  Type(" <80");  // the box is marked, the rows stay
  EXPECT_EQ(FilterTip(form_), "\"<80\": a label comes before <");
  EXPECT_EQ(Rows(), 3);
  ClickTab(0);
  Chord('F');  // back in Filter:, its text selected
  HWND filter = GetDlgItem(form_, kFilterBox);
  ASSERT_TRUE(PumpUntil([filter] { return GetFocus() == filter; }));
  EXPECT_EQ(SendMessageA(filter, EM_GETSEL, 0, 0), MAKELRESULT(0, GetWindowTextLengthA(filter)));
  Press(VK_ESCAPE);
  EXPECT_EQ(GetControlText(form_, kFilterBox), "");
  EXPECT_EQ(count(), "5 of 5 players");
  EXPECT_EQ(FilterTip(form_), "");
  EXPECT_EQ(selected_last(), "Duncan");  // back, and selected

  // Speed chosen in the Columns dialog: its row clicked, Space checks it, OK.
  int speed_item = 0;
  for (const Field& f : Fields()) {
    if (f.label == "Speed") break;
    speed_item += f.is_name() ? 0 : 1;
  }
  g_dialog = "Columns";
  g_steps = {{[](HWND, HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0; }, 100, speed_item, VK_SPACE},
             {[speed_item](HWND, HWND list) {
                return SendMessageA(list, LVM_GETITEMSTATE, speed_item, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
              },
              101}};
  const UINT_PTR timer = SetTimer(nullptr, 0, 60, WorkDialog);
  Click(GetDlgItem(form_, kColumnsButton));
  ASSERT_TRUE(PumpUntil([] { return g_steps.empty() && !FindWindowA("#32770", "Columns"); }));
  KillTimer(nullptr, timer);
  const int speed = kFixedColumns + 4;
  ASSERT_EQ(ShownFields(list_).size(), 5u);
  EXPECT_EQ(ShownFields(list_).back()->label, "Speed");

  SendMessageA(list_, LVM_SCROLL, 1000, 0);  // the new column is past the list's right edge
  ClickHeader(speed);
  EXPECT_EQ(Column(speed), (std::vector<std::string>{"7", "9", "45", "100", "100"}));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Tim", "Tony", "tony", "Manu", "Bruce"}));  // stable
  ClickHeader(speed);
  EXPECT_EQ(Column(speed), (std::vector<std::string>{"100", "100", "45", "9", "7"}));
  EXPECT_EQ(selected_last(), "Duncan");
  EXPECT_EQ(Cell(SelectedRow() - 1, 2), " " + std::to_string(built_.Position(3)));

  // The header's right button: the menu's first page (Vitals), its first field (Type) added.
  g_menu_since = GetTickCount();
  const UINT_PTR menu_timer = SetTimer(nullptr, 0, 60, PickFirstItems);
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  RECT item{};
  SendMessageA(header, HDM_GETITEMRECT, speed, reinterpret_cast<LPARAM>(&item));
  SendClickAt(header, item, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(PumpUntil([this] { return ShownFields(list_).size() == 6; }));
  KillTimer(nullptr, menu_timer);
  EXPECT_EQ(ShownFields(list_).back()->label, "Type");

  // A wider and taller window gives the list the room; the pages keep their size.
  RECT list_before{}, tab_before{}, window{};
  GetWindowRect(list_, &list_before);
  GetWindowRect(GetDlgItem(form_, kTabControlId), &tab_before);
  GetWindowRect(form_, &window);
  SetWindowPos(form_, nullptr, 0, 0, window.right - window.left + 200, window.bottom - window.top + 100,
               SWP_NOMOVE | SWP_NOZORDER);
  RECT list_after{}, tab_after{};
  GetWindowRect(list_, &list_after);
  GetWindowRect(GetDlgItem(form_, kTabControlId), &tab_after);
  EXPECT_EQ(list_after.right - list_after.left, list_before.right - list_before.left + 200);
  EXPECT_EQ(list_after.bottom - list_after.top, list_before.bottom - list_before.top + 100);
  EXPECT_EQ(tab_after.left - window.left, tab_before.left - window.left + 200);
  EXPECT_EQ(tab_after.right - tab_after.left, tab_before.right - tab_before.left);
  const auto width = SendMessageA(list_, LVM_GETCOLUMNWIDTH, speed, 0);

  // Closed and started again: the same columns, widths and size.
  DestroyWindow(form_);
  Pump();
  OpenWindow();
  ASSERT_EQ(ShownFields(list_).size(), 6u);
  EXPECT_EQ(ShownFields(list_)[4]->label, "Speed");
  EXPECT_EQ(SendMessageA(list_, LVM_GETCOLUMNWIDTH, speed, 0), width);
  RECT again{};
  GetWindowRect(form_, &again);
  EXPECT_EQ(again.right - again.left, window.right - window.left + 200);
}

// The list's cells as a user edits them: a cell's middle on the screen, keys
// with Ctrl, and the clipboard's text.
POINT CellPoint(HWND list, int item, int column) {
  RECT cell{LVIR_BOUNDS, column, 0, 0};
  SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  ClientToScreen(list, &at);
  return at;
}

std::wstring Clipboard() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void PutOnClipboard(const std::wstring& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

HWND CellBox(HWND list, const char* kind) { return FindWindowExA(list, nullptr, kind, nullptr); }

TEST_F(Editor, GridCellsSetsCopiesAndPastesAreKeptUntilOneSave) {
  Drop({roster_});
  constexpr int kNumber = 4, kHeight = 5;  // after FNAME, LNAME, the record position and Position
  const std::vector<std::string> heights = Column(kHeight), numbers = Column(kNumber);
  auto plus5 = [&numbers](std::size_t i) { return i == 0 ? 38 : std::min(std::stoi(numbers[i]) + 5, 99); };  // within 0 ... 99
  // A double click opens the cell's box; Enter keeps the text, bold, the row
  // marked, the pages showing it, and nothing written.
  DoubleClickAt(CellPoint(list_, 0, kNumber));
  ASSERT_TRUE(PumpUntil([this] { return CellBox(list_, "Edit") != nullptr; }));
  Type("33");
  Press(VK_RETURN);
  EXPECT_EQ(CellBox(list_, "Edit"), nullptr);
  EXPECT_EQ(Cell(0, kNumber), "33");
  EXPECT_TRUE(CellEdited(0, kNumber) && RowMarked(0) && !CellEdited(0, kHeight) && !RowMarked(1));
  EXPECT_EQ(Shown(form_, 0, vitals::kNumber), "33");
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);

  // F2, Tab to the next column, Esc there: the first text kept, the second not; Ctrl+Z takes back the first.
  ClickAt(CellPoint(list_, 2, kNumber));
  Press(VK_F2);
  Type("7");
  Press(VK_TAB);
  ASSERT_TRUE(PumpUntil([this] { return CellBox(list_, "Edit") != nullptr; }));
  Type("7-0");
  Press(VK_ESCAPE);
  EXPECT_EQ(Cell(2, kNumber), "7");
  EXPECT_EQ(Cell(2, kHeight), heights[2]);
  Chord('Z');
  EXPECT_EQ(Cell(2, kNumber), numbers[2]);
  EXPECT_FALSE(RowMarked(2));
  EXPECT_EQ(Cell(0, kNumber), "33");

  // Set for every row with +5, from Ctrl+A and Ctrl+E; the dialog counts the players.
  ClickAt(CellPoint(list_, 1, kNumber));
  Chord('A');
  EXPECT_EQ(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0), 5);
  g_dialog = "Set";
  g_steps = {{[](HWND dialog, HWND) { return GetControlText(dialog, 104) == "This changes 5 players."; }, 103, -1,
              VK_RETURN, "+5"}};
  const UINT_PTR timer = SetTimer(nullptr, 0, 60, WorkDialog);
  Chord('E');
  ASSERT_TRUE(PumpUntil([] { return g_steps.empty() && !FindWindowA("#32770", "Set"); }));
  KillTimer(nullptr, timer);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(Cell(static_cast<int>(i), kNumber), std::to_string(plus5(i))) << i;

  // Copy, then paste back: nothing changes. A block by record position lands
  // on its player, quotes and CRLF read as Excel writes them.
  Chord('C');
  const std::wstring copied = Clipboard();
  EXPECT_EQ(copied.substr(0, copied.find(L"\r\n")), L"Record\tFirstName\tLastName\tPosition\tNumber\tHeight\tWeight");
  EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 6);
  const std::size_t cells = rostrel::Editor().pending.CellCount();
  Chord('V');
  EXPECT_EQ(rostrel::Editor().pending.CellCount(), cells);
  const std::wstring tim = L"\r\n" + std::to_wstring(PositionAt(3)) + L"\t";
  PutOnClipboard(L"Record\tHeight" + tim + L"\"6' 11\"\"\"\r\n");
  Chord('V');
  EXPECT_EQ(Cell(3, kHeight), "6' 11\"");

  // A block that does not fit: one message naming every problem, nothing kept.
  PutOnClipboard(L"Record\tPosition" + tim + L"Goalie\r\n12\tCenter\r\n");
  Chord('V');
  ASSERT_FALSE(g_boxes.empty());
  EXPECT_EQ(g_boxes.back().rfind("Nothing was pasted:\n\nline 2, Position: \"Goalie\" refused: the list holds only ", 0), 0u);
  EXPECT_NE(g_boxes.back().find("\nline 3: no listed player has record position 12"), std::string::npos);
  EXPECT_EQ(rostrel::Editor().pending.CellCount(), cells + 1);
  EXPECT_EQ(GetFocus(), list_);  // back in the list after the message

  // Rows picked with a click and Shift+Down take a block with labels in list order.
  ClickRow(0);
  Key(VK_SHIFT, false);
  Press(VK_DOWN);
  Key(VK_SHIFT, true);
  EXPECT_EQ(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0), 2);
  PutOnClipboard(L"Height\r\n9-2\r\n9-2\r\n");
  Chord('V');
  EXPECT_EQ(Cell(1, kHeight), "9-2");

  // Save asks about texts the file cannot hold, naming player and field;
  // No writes nothing, Yes writes every edited player at once.
  g_answers = {IDNO};
  Click(GetDlgItem(form_, kSaveButton));
  EXPECT_EQ(g_boxes.back(), "The file cannot hold these values as typed:\n\nTony Parker, Height: \"9-2\" would be saved as "
                            "\"8' 4\"\"\nManu Tony, Height: \"9-2\" would be saved as \"8' 4\"\"\n\nSave anyway?");
  EXPECT_EQ(ReadFileBytes(roster_), built_.bytes);
  g_answers = {IDYES};
  Click(GetDlgItem(form_, kSaveButton));
  const Bytes after = ReadFileBytes(roster_);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ((test::GetU32(after, built_.Offset(i, 48)) & 0xFFFF) >> 7, static_cast<std::uint32_t>(plus5(i))) << i;
    const std::uint32_t height = test::GetU32(after, built_.Offset(i, 40));
    if (i == 0 || i == 1 || i == 3) {
      EXPECT_EQ(HeightText(height), i == 3 ? "6' 11\"" : "8' 4\"") << i;
    }
  }
  for (std::size_t i = 4; i < after.size(); ++i) {
    bool in_record = false;
    for (std::size_t p = 0; p < 5; ++p) in_record = in_record || (i >= built_.Offset(p, 0) && i < built_.Offset(p, 0) + kRecordSize);
    if (!in_record) {
      ASSERT_EQ(after[i], built_.bytes[i]) << "byte " << i;
    }
  }
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_FALSE(RowMarked(0) || CellEdited(3, kHeight));
  EXPECT_EQ(Cell(1, kHeight), "8' 4\"");
  Click(GetDlgItem(form_, kCloseButton));  // nothing is left to ask about
  EXPECT_EQ(g_boxes.back(), "The file cannot hold these values as typed:\n\nTony Parker, Height: \"9-2\" would be saved as "
                            "\"8' 4\"\"\nManu Tony, Height: \"9-2\" would be saved as \"8' 4\"\"\n\nSave anyway?");
}

}  // namespace
}  // namespace rostrel
