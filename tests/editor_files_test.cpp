// The editor's main window and the files it is given: hostile files, files it
// cannot write, list codes that name no item, a refused second file,
// a save whose flush fails, a long profile folder, and a roster that
// rostrel-cli.exe writes while the window has it open.
#include "tests/editor_window.h"

#include <atomic>
#include <fstream>
#include <thread>

#include "roster/write_lock.h"
#include "tests/program_path.h"

namespace rostrel {
namespace {

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
  PumpUntil([] { return g_boxes.size() >= 1; });  // the box was answered
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
// Codes that name no item select nothing and are kept; from no selection the
// first key picks the first item (Wine keeps the caret where the previous
// player's item was unless it is reset).
TEST_F(Editor, ListsWithoutSelectionKeepTheirCodesAndTheFirstKeyPicksTheFirstItem) {
  RosterBuilder builder;
  builder.Add(U16("Ann"), U16("Normal")).Add(U16("Bea"), U16("Three"));
  auto& ann = builder.Record(0);
  ann[112] = 0x40 | 0x81, ann[32] = 2, ann[109] = 4, ann[410] = 1;  // Thick, Role Player, Center, Right
  auto& bea = builder.Record(1);
  bea[112] = 0x60 | 0x81, bea[32] = 7, bea[109] = 9, bea[410] = 2;  // codes 3, 7 and 9 have no item; hand 2 shows Left
  const test::Built built = builder.Build();
  const std::string path = dir_.File("Shapes.ROS");
  test::WriteFileBytes(path, built.bytes);
  Drop({path});
  HWND shapes = PageControl(0, vitals::kBodyShape), role = PageControl(0, vitals::kRole);
  ClickRow(0);
  EXPECT_EQ(GetControlText(FindPage(form_, 0), vitals::kBodyShape), "Thick");
  EXPECT_EQ(GetControlText(FindPage(form_, 0), vitals::kPlayingPosition), "Center");
  ClickRow(1);
  for (int id : {vitals::kBodyShape, vitals::kRole, vitals::kPlayingPosition}) {
    EXPECT_EQ(SendMessageA(PageControl(0, id), CB_GETCURSEL, 0, 0), CB_ERR) << id;
  }
  EXPECT_EQ(GetControlText(FindPage(form_, 0), vitals::kHand), "Left");

  SetFocus(shapes);  // closed: the keys go to the box itself
  Press(VK_HOME);
  Press(VK_DOWN);
  SetFocus(role);
  Press(VK_DOWN);
  ASSERT_EQ(GetControlText(FindPage(form_, 0), vitals::kBodyShape), "Normal");
  ASSERT_EQ(GetControlText(FindPage(form_, 0), vitals::kRole), "Starter");
  Click(GetDlgItem(form_, kSaveButton));
  EXPECT_TRUE(g_boxes.empty());
  const Bytes after = ReadFileBytes(path);
  Bytes expected = built.bytes;
  expected[built.Offset(1, 112)] = 0x20 | 0x81;  // bits 5-6 now 1, every other bit kept
  expected[built.Offset(1, 32)] = 0;
  for (std::size_t i = 4; i < after.size(); ++i) ASSERT_EQ(after[i], expected[i]) << "byte " << i;
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
  PumpUntil([] { return g_boxes.size() >= 1; });  // the box was answered
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
  PumpUntil([] { return g_boxes.size() >= 1; });  // the box was answered
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].rfind("Roster.ROS was not saved. The changes could not be put on the disk.", 0), 0u) << g_boxes[0];
  EXPECT_EQ(GetControlText(FindPage(form_, 1), 100), "91");  // the edit is still there
  EXPECT_TRUE(std::filesystem::exists(JournalPathFor(roster_)));

  // The journal holds the edit: the Read completes the save from it.
  ReadRosterFile(form_, kReadButton);
  EXPECT_FALSE(std::filesystem::exists(JournalPathFor(roster_)));
  const Bytes after = ReadFileBytes(roster_);
  EXPECT_EQ(after[built_.Offset(2, 436)], 91);
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(g_boxes.size(), 1u);  // and asks nothing: the file holds what the pages show

  // A journal that does not match the file refuses the Read and names both files.
  Journal other;
  other.file_size = after.size() + 1;
  test::WriteFileBytes(JournalPathFor(roster_), EncodeJournal(other));
  CloseRosterFile(form_, kCloseButton);
  Drop({roster_});
  PumpUntil([] { return g_boxes.size() >= 2; });  // the box was answered
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_NE(g_boxes[1].find("Roster.ROS.journal does not match"), std::string::npos) << g_boxes[1];
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(OpenViewCount(), 0);
  EXPECT_EQ(ReadFileBytes(roster_), after);
  std::filesystem::remove(JournalPathFor(roster_));
}

// A roster whose folder and name hold Cyrillic and CJK characters, as under
// such a user name, opens, lists, saves and is named in the caption.
TEST_F(Editor, RosterUnderAWideCharacterPathOpensListsAndSaves) {
  const std::filesystem::path folder = dir_.path() / L"\u0421\u0435\u0439\u0432\u044b \u540d\u7c3f";
  const std::filesystem::path roster = folder / L"\u0420\u043e\u0441\u0442\u0435\u0440\u540d.ROS";
  std::filesystem::create_directory(folder);
  std::ofstream(roster, std::ios::binary).write(reinterpret_cast<const char*>(built_.bytes.data()),
                                                 static_cast<std::streamsize>(built_.bytes.size()));
  Drop<wchar_t>({roster.wstring()});
  ASSERT_EQ(Rows(), 5);
  wchar_t caption[256] = {};
  InternalGetWindowText(form_, caption, 256);  // the text the title bar shows
  EXPECT_TRUE(std::wstring(caption).ends_with(L" - " + roster.filename().wstring())) << Caption();
  ClickRow(2);
  ClickTab(1);
  Retype(PageControl(1, 100), "93");
  Click(GetDlgItem(form_, kSaveButton));
  std::ifstream in(roster, std::ios::binary);
  const Bytes after((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(after.size(), built_.bytes.size());
  EXPECT_EQ(after[built_.Offset(2, 436)], 93);
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_FALSE(std::filesystem::exists(roster.wstring() + L".journal"));
  EXPECT_TRUE(g_boxes.empty());
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

// While the History dialog is open: rostrel-cli writes once, then the dialog
// is closed when its list has one row more.
std::string g_history_set;
std::vector<LRESULT> g_history_rows;
void CALLBACK WriteUnderHistory(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", "History - Roster.ROS");
  if (!dialog || !IsWindowVisible(dialog) || g_history_rows.size() == 2) return;
  const LRESULT rows = SendMessageA(GetDlgItem(dialog, 100), LVM_GETITEMCOUNT, 0, 0);
  if (g_history_rows.empty()) {
    g_history_rows.push_back(rows);
    if (std::system(g_history_set.c_str()) != 0) g_history_rows.push_back(-1);
  } else if (rows > g_history_rows[0]) {
    g_history_rows.push_back(rows);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
  if (g_history_rows.size() == 2 && g_history_rows[1] < 0) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// rostrel-cli.exe writes the open roster: the list's cells and the loaded
// player's boxes follow, but for the box the user edited, and the selection
// stays. A Save over the field the other program changed asks: No writes
// nothing, Yes writes the user's value beside the other program's. While
// another program holds the write lock, Save writes nothing and keeps the
// edits. An open History dialog lists its next write. A roster replaced by a
// file of another size is closed, unwritten.
TEST_F(Editor, AnotherProgramsWritesShowAndASaveAsksBeforeWritingOverThem) {
  Drop({roster_});
  ClickRow(0);
  ClickTab(1);
  Retype(GetDlgItem(FindPage(form_, 1), 100), "61");  // Shooting(Close), 40 in the file
  const std::string cli = "\"\"" + test::BuiltProgram("rostrel-cli.exe") + "\" set \"" + roster_ + "\" ";
  ASSERT_EQ(std::system((cli + "1 \"Shooting(Close)=95\" Weight=250 >NUL 2>&1\"").c_str()), 0);
  ASSERT_EQ(std::system((cli + "2 Weight=199 >NUL 2>&1\"").c_str()), 0);
  constexpr int kWeightColumn = kFixedColumns + 3;
  auto shown = [this](int tab, int id) { return GetControlText(FindPage(form_, tab), id); };
  ASSERT_TRUE(PumpUntil([&] { return Cell(1, kWeightColumn) == "199 Lbs" && shown(0, vitals::kWeight) == "250 Lbs"; }));
  EXPECT_EQ(Cell(0, kWeightColumn), "250 Lbs");
  EXPECT_EQ(shown(1, 100), "61");
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Rows(), 5);
  EXPECT_TRUE(g_boxes.empty());

  const Bytes theirs = ReadFileBytes(roster_);
  ASSERT_EQ(theirs[built_.Offset(0, 436)], 95);
  g_answers = {IDNO};
  Click(GetDlgItem(form_, kSaveButton));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], "Shooting(Close) of Tony Parker was changed by another program to 95 since you edited it to 61. "
                        "Save your values?");
  EXPECT_EQ(ReadFileBytes(roster_), theirs);
  EXPECT_EQ(shown(1, 100), "61");

  {
    // Another program's write: a thread of its own holds the lock (this
    // thread's own would be the window's).
    std::atomic<int> stage = 0;
    std::thread other([&] {
      const RosterLock lock = LockRoster(roster_, LockKind::Exclusive, std::chrono::milliseconds(0));
      stage = lock.held() ? 1 : -1;
      while (stage == 1) Sleep(1);
    });
    while (stage == 0) Sleep(1);
    EXPECT_EQ(stage, 1);
    SetLockWait(std::chrono::milliseconds(0));
    g_answers = {IDCANCEL};
    Click(GetDlgItem(form_, kSaveButton));
    SetLockWait(std::chrono::milliseconds(10000));
    stage = 2;
    other.join();
  }
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[1], "Roster.ROS is being written by another program, so nothing was written. Your edits are kept.");
  EXPECT_EQ(ReadFileBytes(roster_), theirs);

  g_answers = {IDYES};
  Click(GetDlgItem(form_, kSaveButton));
  ASSERT_EQ(g_boxes.size(), 3u);
  EXPECT_EQ(g_boxes[2], g_boxes[0]);
  const Bytes saved = ReadFileBytes(roster_);
  EXPECT_EQ(saved[built_.Offset(0, 436)], 61);
  EXPECT_TRUE(test::ChecksumIsValid(saved));
  EXPECT_EQ(shown(1, 100), "61");
  EXPECT_EQ(shown(0, vitals::kWeight), "250 Lbs");  // the other program's write to a field not edited stays

  // An open History dialog lists the other program's next write.
  g_history_set = cli + "3 Speed=7 >NUL 2>&1\"";
  const UINT_PTR timer = SetTimer(nullptr, 0, 60, WriteUnderHistory);
  Click(GetDlgItem(form_, kHistoryButton));
  ASSERT_TRUE(PumpUntil([] { return g_history_rows.size() == 2 && !FindWindowA("#32770", "History - Roster.ROS"); }));
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_history_rows[1], g_history_rows[0] + 1);

  // Replaced by a file of another size: closed, and the edit is never written.
  Retype(GetDlgItem(FindPage(form_, 1), 100), "70");
  Bytes replaced = ReadFileBytes(roster_);
  replaced.push_back(0);
  std::ofstream(roster_, std::ios::binary | std::ios::app).put('\0');
  ASSERT_TRUE(PumpUntil([&] { return g_boxes.size() == 4 && Rows() == 0; }));
  EXPECT_EQ(g_boxes[3], "Roster.ROS was replaced by a file of another size, so it was closed. Edits that were not "
                        "saved are lost.");
  EXPECT_EQ(Caption(), kBaseCaption);
  EXPECT_EQ(ReadFileBytes(roster_), replaced);
}

}  // namespace
}  // namespace rostrel
