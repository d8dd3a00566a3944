// A write is one unit with its history entry. Each step of a save, of a
// 60-player import, of an undo and of a save that prunes the history
// (journal written and synced, folder synced, file written, view flushed, file
// synced, history written and synced, journal removed) is made to fail in one
// run and to stop the program in another, and the power is cut once the
// journal is on the disk: reopened, the roster holds all the old bytes and
// the old history, or all the new bytes and the history with the write's
// entry, with a valid checksum, and every failure was reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "player/player_cycle.h"
#include "player/write_history.h"
#include "roster/history.h"
#include "roster/journal.h"
#include "roster/platform.h"
#include "roster/transaction.h"
#include "roster/write_lock.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;

void Edit(MemoryPages& pages, int k);

// Another program's save of player 3 of the roster at path, arriving while
// the first writer is at a step: in a thread of its own, as another program
// it holds no lock of the first. Its open must leave the first one's journal
// alone, and its write must be refused, changing nothing: what went wrong.
std::string SecondWriter(const std::string& path) {
  std::string wrong;
  std::thread([&] {
    // Windows lets nobody read a journal while its writer has it open.
    const std::string journal = JournalPathFor(path);
    const std::optional<Bytes> kept = PlatformReadWholeFile(journal);
    const Bytes roster = ReadFileBytes(path);
    const Recovery found = RecoverRoster(path, std::chrono::milliseconds(0)).what;
    if (found != Recovery::Busy && found != Recovery::NoJournal) wrong += "the open dealt with a live writer's journal; ";
    RosterView view;
    MemoryPages pages;
    LoadedPlayer player;
    if (OpenRosterView(view, path) != OpenStatus::Ok || !LoadPlayer(view, FillPlayerList(path, 0)[3].position, pages, player)) {
      wrong += "the roster did not open; ";
      return;
    }
    Edit(pages, 3);
    const HistoryKeeping history{"Save", kDefaultHistoryLimit};
    const SaveResult saved = SavePlayer(view, pages, player, &history);
    if (saved.saved || saved.error.find("being written by another program") == std::string::npos) {
      wrong += "the second write was not refused: " + saved.error + "; ";
    }
    if (ReadFileBytes(path) != roster || (kept && PlatformReadWholeFile(journal) != kept)) wrong += "it changed a file; ";
  }).join();
  return wrong;
}

// The hook: counts the steps of this thread; the step numbered fail_at
// fails, the one numbered crash_at stops the program there, and at the one
// numbered intrude_at a second writer arrives.
struct StopHere {};
std::vector<IoStep> g_steps;
std::size_t g_fail_at = 0, g_crash_at = 0, g_intrude_at = 0;
std::string g_path, g_intrusion;
std::thread::id g_writer;
bool CountingHook(IoStep step) {
  if (std::this_thread::get_id() != g_writer) return true;
  g_steps.push_back(step);
  if (g_steps.size() == g_intrude_at) g_intrusion = SecondWriter(g_path);
  if (g_steps.size() == g_crash_at) throw StopHere{};
  return g_steps.size() != g_fail_at;
}

struct Hooked {
  Hooked(std::size_t fail_at, std::size_t crash_at, std::size_t intrude_at = 0) {
    g_steps.clear();
    g_fail_at = fail_at;
    g_crash_at = crash_at;
    g_intrude_at = intrude_at;
    g_intrusion.clear();
    g_writer = std::this_thread::get_id();
    SetIoStepHook(CountingHook);
    SetLockWait(std::chrono::milliseconds(0));
  }
  ~Hooked() {
    SetIoStepHook(nullptr);
    SetLockWait(std::chrono::milliseconds(10000));
  }
};

enum class Action { SaveOne, ImportSixty, UndoSave, SavePruning };
constexpr std::uint64_t kSmallLimit = 600;  // a few entries: the next save prunes

// Edits on the pages of a loaded player: a rating, the first name, a salary.
void Edit(MemoryPages& pages, int k) {
  pages.Type(kAttributesTab, 100, std::to_string(10 + k % 80));
  pages.Type(kVitalsTab, vitals::kFirstName, "Z");
  pages.Type(kVitalsTab, vitals::kFirstSalary, "1.5");
}

struct Outcome {
  bool ok = false;
  std::string history_note;
};

// Runs the action on path, keeping history; whether it reported success.
Outcome Act(Action action, const std::string& path) {
  RosterView view;
  if (OpenRosterView(view, path) != OpenStatus::Ok) return {};
  const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
  if (action == Action::UndoSave) {
    const UndoOutcome undone = RunUndo(view, rows, {}, [](int, int) { return std::string(); });
    return {undone.done, undone.committed.history_note};
  }
  if (action != Action::ImportSixty) {
    MemoryPages pages;
    LoadedPlayer player;
    LoadPlayer(view, rows[7].position, pages, player);
    Edit(pages, 7);
    const HistoryKeeping history{"Save", action == Action::SavePruning ? kSmallLimit : kDefaultHistoryLimit};
    const SaveResult saved = SavePlayer(view, pages, player, &history);
    EXPECT_EQ(saved.saved, saved.error.empty());
    return {saved.saved, saved.history_note};
  }
  RosterTransaction transaction(view);
  std::vector<std::uint32_t> positions;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    MemoryPages pages;
    LoadedPlayer player;
    LoadPlayer(view, rows[k].position, pages, player);
    Edit(pages, static_cast<int>(k));
    WritePlayer(view, pages, player);
    positions.push_back(rows[k].position);
  }
  transaction.KeepHistory(NoteForWrite(view, "import sixty.csv", positions));
  const CommitResult committed = transaction.Commit();
  EXPECT_EQ(committed.ok, committed.reason.empty());
  return {committed.ok, committed.history_note};
}

class Transaction : public ::testing::TestWithParam<Action> {
 protected:
  void SetUp() override {
    old_ = test::RosterBuilder().AddMany(60).Build().bytes;
    path_ = dir_.File("Roster.ROS");
    history_ = HistoryPathFor(path_);
    test::WriteFileBytes(path_, old_);
    // The history the action finds: none, one save to undo, or one over the small limit.
    if (GetParam() == Action::UndoSave) {
      ASSERT_TRUE(Act(Action::SaveOne, path_).ok);
      old_ = ReadFileBytes(path_);
    }
    if (GetParam() == Action::SavePruning) {
      for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(Act(Action::SaveOne, path_).ok);
        ASSERT_TRUE(Act(Action::UndoSave, path_).ok);
      }
      ASSERT_EQ(ReadFileBytes(path_), old_);
      ASSERT_GT(ReadFileBytes(history_).size(), kSmallLimit - kSmallLimit / 4);
    }
    if (std::filesystem::exists(history_)) old_history_ = ReadFileBytes(history_);
    ASSERT_TRUE(Act(GetParam(), path_).ok);  // no hook: the new bytes
    new_ = ReadFileBytes(path_);
    new_history_ = ReadFileBytes(history_);
    ASSERT_NE(new_, old_);
    ASSERT_TRUE(test::ChecksumIsValid(new_));
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path_)));
    if (GetParam() == Action::SavePruning) {
      EXPECT_LE(new_history_.size(), kSmallLimit);
    }
  }
  // The roster and its history as the action found them.
  void Reset() {
    test::WriteFileBytes(path_, old_);
    std::filesystem::remove(history_);
    if (!old_history_.empty()) test::WriteFileBytes(history_, old_history_);
  }
  // Reopened as the next open does it: whole, old or new, and no journal left;
  // the old roster with the old history, the new one with the new history
  // (or, where a history step failed and the save said so, either history).
  void ExpectOldOrNew(const std::string& what, bool may_be_old = true, bool history_may_lack = false) {
    const RecoveryReport report = RecoverRoster(path_);
    EXPECT_TRUE(report.what != Recovery::Mismatch && report.what != Recovery::Failed) << what << report.message;
    const Bytes now = ReadFileBytes(path_);
    EXPECT_TRUE(now == new_ || (may_be_old && now == old_)) << what << ": neither all old nor all new";
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path_))) << what;
    const Bytes history = std::filesystem::exists(history_) ? ReadFileBytes(history_) : Bytes();
    if (now == new_ && !history_may_lack) {
      // A write completed from its journal appends its entry without pruning.
      const std::vector<std::string> entries = Entries(history), expected = Entries(new_history_);
      EXPECT_TRUE(!entries.empty() && entries.back() == expected.back() && entries.size() >= expected.size())
          << what << ": the new roster without its history entry";
    } else if (now == old_) {
      EXPECT_TRUE(history == old_history_) << what << ": the old roster with a changed history";
    }
  }
  // A history's entries as text, but for their times: a write completed
  // later is the same write.
  std::vector<std::string> Entries(const Bytes& history) {
    const std::string roster = dir_.File("Read.ROS");
    test::WriteFileBytes(HistoryPathFor(roster), history);
    std::vector<std::string> texts;
    for (HistoryEntry e : ReadHistory(roster, old_.size()).entries) {
      e.time = 0;
      const Bytes bytes = EncodeHistoryEntry(e);
      texts.emplace_back(bytes.begin(), bytes.end());
    }
    return texts;
  }
  test::TempDir dir_;
  std::string path_, history_;
  Bytes old_, new_, old_history_, new_history_;
};

bool IsHistoryStep(const std::vector<IoStep>& steps, std::size_t k) {
  return std::find(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(k), IoStep::FileSync) !=
             steps.begin() + static_cast<std::ptrdiff_t>(k) &&
         steps[k] != IoStep::JournalRemove;
}

TEST_P(Transaction, EveryStepFailingOrStoppingLeavesAllOldOrAllNew) {
  Reset();
  std::vector<IoStep> steps;
  {
    Hooked count(0, 0);
    ASSERT_TRUE(Act(GetParam(), path_).ok);
    steps = g_steps;
  }
  // Journal written and synced, folder synced, file written, view flushed,
  // file synced; the history's entry written and synced (a new history's
  // folder synced, a pruned history's file renamed); journal removed.
  std::vector<IoStep> expected{IoStep::JournalWrite, IoStep::JournalSync, IoStep::FolderSync, IoStep::FileWrite,
                               IoStep::ViewFlush,    IoStep::FileSync,    IoStep::HistoryWrite, IoStep::HistorySync};
  if (old_history_.empty()) expected.push_back(IoStep::FolderSync);
  if (GetParam() == Action::SavePruning) expected.insert(expected.end(), {IoStep::HistoryRename, IoStep::FolderSync});
  expected.push_back(IoStep::JournalRemove);
  ASSERT_EQ(steps, expected);
  for (std::size_t k = 1; k <= steps.size(); ++k) {
    const std::string what = "step " + std::to_string(k);
    const bool history_step = IsHistoryStep(steps, k - 1);
    Reset();
    Outcome reported;
    {
      Hooked fail(k, 0);
      reported = Act(GetParam(), path_);
    }
    // A journal left behind is harmless, and a write without its history
    // entry says so; every other failure is reported.
    EXPECT_EQ(reported.ok, steps[k - 1] == IoStep::JournalRemove || history_step) << what << " failing";
    EXPECT_EQ(!reported.history_note.empty(), history_step) << what << " failing";
    ExpectOldOrNew(what + " failing", true, history_step);

    Reset();
    {
      Hooked crash(0, k);
      EXPECT_THROW(Act(GetParam(), path_), StopHere);
    }
    // A stopped program's writes to the view are in the file: the system keeps them.
    ExpectOldOrNew(what + " stopping the program");

    Reset();
    g_path = path_;
    {
      Hooked intrude(0, 0, k);
      EXPECT_TRUE(Act(GetParam(), path_).ok) << what;
    }
    EXPECT_EQ(g_intrusion, "") << what << " with a second writer arriving";
    ExpectOldOrNew(what + " with a second writer arriving", false);
  }
}

// The power fails once the journal is on the disk: any of the changed pages
// may have reached the file, or none. The next open completes the write.
TEST_P(Transaction, PowerLossAfterTheJournalIsCompletedFromIt) {
  std::mt19937 random(7);
  constexpr std::size_t kPage = 4096;
  for (int trial = 0; trial < 8; ++trial) {
    Reset();
    {
      Hooked crash(0, 5);  // stopped after the file was written, before the view is flushed
      EXPECT_THROW(Act(GetParam(), path_), StopHere);
    }
    Bytes disk = old_;
    for (std::size_t page = 0; page < disk.size(); page += kPage) {
      if (random() % 2) {
        const std::size_t end = std::min(disk.size(), page + kPage);
        std::copy(new_.begin() + static_cast<std::ptrdiff_t>(page), new_.begin() + static_cast<std::ptrdiff_t>(end),
                  disk.begin() + static_cast<std::ptrdiff_t>(page));
      }
    }
    test::WriteFileBytes(path_, disk);
    ExpectOldOrNew("power loss, trial " + std::to_string(trial), false);
  }
  // The power fails before the journal is synced: part of it may be lost. The
  // file was not touched yet, and a journal cut short is never acted on.
  Reset();
  {
    Hooked crash(0, 2);
    EXPECT_THROW(Act(GetParam(), path_), StopHere);
  }
  const Bytes whole = ReadFileBytes(JournalPathFor(path_));
  ASSERT_GT(whole.size(), 40u);
  test::WriteFileBytes(JournalPathFor(path_), Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
  EXPECT_EQ(ReadFileBytes(path_), old_);
  EXPECT_EQ(RecoverRoster(path_).what, Recovery::Discarded);
  EXPECT_EQ(ReadFileBytes(path_), old_);
  EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path_)));
}

// A journal that does not belong to the file as it is now is left alone.
TEST_P(Transaction, JournalThatDoesNotMatchIsLeftAlone) {
  Reset();
  {
    Hooked crash(0, 4);
    EXPECT_THROW(Act(GetParam(), path_), StopHere);
  }
  const std::string journal = JournalPathFor(path_);
  const Bytes kept = ReadFileBytes(journal);
  Bytes other = old_;
  const std::optional<Journal> decoded = DecodeJournal(kept);
  ASSERT_TRUE(decoded);
  const JournalRange& first = decoded->ranges.front();
  other[first.offset] = static_cast<std::uint8_t>(~(first.old_bytes[0] | first.new_bytes[0]) & 0xFF);
  if (other[first.offset] == first.old_bytes[0] || other[first.offset] == first.new_bytes[0]) other[first.offset] ^= 0x81;
  test::WriteFileBytes(path_, other);
  const RecoveryReport report = RecoverRoster(path_);
  EXPECT_EQ(report.what, Recovery::Mismatch);
  EXPECT_NE(report.message.find(journal), std::string::npos);
  EXPECT_NE(report.message.find(path_), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path_), other);
  EXPECT_EQ(ReadFileBytes(journal), kept);
  other.push_back(0);  // another size
  test::WriteFileBytes(path_, other);
  EXPECT_EQ(RecoverRoster(path_).what, Recovery::Mismatch);
}

std::string ActionName(const ::testing::TestParamInfo<Action>& info) {
  static const char* const names[] = {"SaveOne", "ImportSixty", "UndoSave", "SavePruning"};
  return names[static_cast<int>(info.param)];
}
INSTANTIATE_TEST_SUITE_P(Writes, Transaction,
                         ::testing::Values(Action::SaveOne, Action::ImportSixty, Action::UndoSave, Action::SavePruning),
                         ActionName);

}  // namespace
}  // namespace rostrel
