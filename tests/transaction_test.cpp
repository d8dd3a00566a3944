// A write is one unit. Each step of a save and of a 60-player import (journal
// written and synced, folder synced, file written, view flushed, file synced,
// journal removed) is made to fail in one run and to stop the program in another, and
// the power is cut once the journal is on the disk: reopened, the roster
// holds all the old bytes or all the new ones, with a valid checksum, and
// every failure was reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "player/player_cycle.h"
#include "roster/journal.h"
#include "roster/platform.h"
#include "roster/transaction.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;

// The hook: counts the steps; the step numbered fail_at fails, the one
// numbered crash_at stops the program there.
struct StopHere {};
std::vector<IoStep> g_steps;
std::size_t g_fail_at = 0, g_crash_at = 0;
bool CountingHook(IoStep step) {
  g_steps.push_back(step);
  if (g_steps.size() == g_crash_at) throw StopHere{};
  return g_steps.size() != g_fail_at;
}

struct Hooked {
  Hooked(std::size_t fail_at, std::size_t crash_at) {
    g_steps.clear();
    g_fail_at = fail_at;
    g_crash_at = crash_at;
    SetIoStepHook(CountingHook);
  }
  ~Hooked() { SetIoStepHook(nullptr); }
};

enum class Action { SaveOne, ImportSixty };

// Edits on the pages of a loaded player: a rating, the first name, a salary.
void Edit(MemoryPages& pages, int k) {
  pages.Type(kAttributesTab, 100, std::to_string(10 + k % 80));
  pages.Type(kVitalsTab, vitals::kFirstName, "Z");
  pages.Type(kVitalsTab, vitals::kFirstSalary, "1.5");
}

// Runs the action on path; false when it reported a failure.
bool Act(Action action, const std::string& path) {
  RosterView view;
  if (OpenRosterView(view, path) != OpenStatus::Ok) return false;
  const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
  if (action == Action::SaveOne) {
    MemoryPages pages;
    LoadedPlayer player;
    LoadPlayer(view, rows[7].position, pages, player);
    Edit(pages, 7);
    const SaveResult saved = SavePlayer(view, pages, player);
    EXPECT_EQ(saved.saved, saved.error.empty());
    return saved.saved;
  }
  RosterTransaction transaction(view);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    MemoryPages pages;
    LoadedPlayer player;
    LoadPlayer(view, rows[k].position, pages, player);
    Edit(pages, static_cast<int>(k));
    WritePlayer(view, pages, player);
  }
  const CommitResult committed = transaction.Commit();
  EXPECT_EQ(committed.ok, committed.reason.empty());
  return committed.ok;
}

class Transaction : public ::testing::TestWithParam<Action> {
 protected:
  void SetUp() override {
    old_ = test::RosterBuilder().AddMany(60).Build().bytes;
    path_ = dir_.File("Roster.ROS");
    test::WriteFileBytes(path_, old_);
    ASSERT_TRUE(Act(GetParam(), path_));  // no hook: the new bytes
    new_ = ReadFileBytes(path_);
    ASSERT_NE(new_, old_);
    ASSERT_TRUE(test::ChecksumIsValid(new_));
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path_)));
  }
  // Reopened as the next open does it: whole, old or new, and no journal left.
  void ExpectOldOrNew(const std::string& what, bool may_be_old = true) {
    const RecoveryReport report = RecoverRoster(path_);
    EXPECT_TRUE(report.what != Recovery::Mismatch && report.what != Recovery::Failed) << what << report.message;
    const Bytes now = ReadFileBytes(path_);
    EXPECT_TRUE(now == new_ || (may_be_old && now == old_)) << what << ": neither all old nor all new";
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path_))) << what;
  }
  test::TempDir dir_;
  std::string path_;
  Bytes old_, new_;
};

TEST_P(Transaction, EveryStepFailingOrStoppingLeavesAllOldOrAllNew) {
  test::WriteFileBytes(path_, old_);
  std::vector<IoStep> steps;
  {
    Hooked count(0, 0);
    ASSERT_TRUE(Act(GetParam(), path_));
    steps = g_steps;
  }
  // Journal written and synced, folder synced, file written, view flushed, file synced, journal removed.
  ASSERT_EQ(steps, (std::vector<IoStep>{IoStep::JournalWrite, IoStep::JournalSync, IoStep::FolderSync,
                                         IoStep::FileWrite, IoStep::ViewFlush, IoStep::FileSync,
                                         IoStep::JournalRemove}));
  for (std::size_t k = 1; k <= steps.size(); ++k) {
    const std::string what = "step " + std::to_string(k);
    test::WriteFileBytes(path_, old_);
    bool reported_ok = false;
    {
      Hooked fail(k, 0);
      reported_ok = Act(GetParam(), path_);
    }
    // A journal left behind is harmless; every other failure is reported.
    EXPECT_EQ(reported_ok, steps[k - 1] == IoStep::JournalRemove) << what << " failing";
    ExpectOldOrNew(what + " failing");

    test::WriteFileBytes(path_, old_);
    {
      Hooked crash(0, k);
      EXPECT_THROW(Act(GetParam(), path_), StopHere);
    }
    // A stopped program's writes to the view are in the file: the system keeps them.
    ExpectOldOrNew(what + " stopping the program");
  }
}

// The power fails once the journal is on the disk: any of the changed pages
// may have reached the file, or none. The next open completes the write.
TEST_P(Transaction, PowerLossAfterTheJournalIsCompletedFromIt) {
  std::mt19937 random(7);
  constexpr std::size_t kPage = 4096;
  for (int trial = 0; trial < 8; ++trial) {
    test::WriteFileBytes(path_, old_);
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
  test::WriteFileBytes(path_, old_);
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
  test::WriteFileBytes(path_, old_);
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

INSTANTIATE_TEST_SUITE_P(SaveAndImport, Transaction, ::testing::Values(Action::SaveOne, Action::ImportSixty),
                         [](const auto& info) { return info.param == Action::SaveOne ? "SaveOne" : "ImportSixty"; });

}  // namespace
}  // namespace rostrel
