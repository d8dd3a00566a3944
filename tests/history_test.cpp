// Undo and redo against a model that is only the list of the file's states:
// random sequences of saves, sets, imports, undos, redos and undos down to a
// write leave the roster byte for byte as the model says, and undoing every
// write gives back the first bytes. A change made elsewhere is refused where
// an undo would write over it and allowed where it would not; a history that
// is cut, damaged or another roster's never stops a save; pruning keeps the
// newest writes within the limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "player/player_cycle.h"
#include "player/write_history.h"
#include "roster/transaction.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;

std::string Label(int tab, int id) { return std::to_string(tab) + "/" + std::to_string(id); }

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    first_ = test::RosterBuilder().AddMany(12).Build().bytes;
    path_ = dir_.File("Roster.ROS");
    test::WriteFileBytes(path_, first_);
    rows_ = FillPlayerList(path_, 0);
  }
  // Types texts into one player's boxes and saves it, as the window or set does.
  bool Save(std::size_t player, const std::vector<std::pair<int, std::string>>& ratings, const char* what = "Save",
            std::uint64_t limit = kDefaultHistoryLimit) {
    RosterView view;
    EXPECT_EQ(OpenRosterView(view, path_), OpenStatus::Ok);
    MemoryPages pages;
    LoadedPlayer loaded;
    LoadPlayer(view, rows_[player].position, pages, loaded);
    for (const auto& [id, text] : ratings) pages.Type(id < 100 ? kVitalsTab : kAttributesTab, id < 100 ? vitals::kWeight : id, text);
    const HistoryKeeping history{what, limit};
    return SavePlayer(view, pages, loaded, &history).saved;
  }
  // One transaction over several players, as an import.
  bool Import(const std::vector<std::size_t>& players, int value) {
    RosterView view;
    EXPECT_EQ(OpenRosterView(view, path_), OpenStatus::Ok);
    RosterTransaction transaction(view);
    std::vector<std::uint32_t> positions;
    for (std::size_t p : players) {
      MemoryPages pages;
      LoadedPlayer loaded;
      LoadPlayer(view, rows_[p].position, pages, loaded);
      pages.Type(kAttributesTab, 119, std::to_string(value));
      pages.Type(kAttributesTab, 100 + static_cast<int>(p), std::to_string(value + 1));
      WritePlayer(view, pages, loaded);
      positions.push_back(rows_[p].position);
    }
    transaction.KeepHistory(NoteForWrite(view, "import sheet.csv", positions));
    return transaction.Commit().ok;
  }
  UndoOutcome Undo(UndoKind kind, std::optional<std::uint32_t> down_to = std::nullopt) {
    RosterView view;
    EXPECT_EQ(OpenRosterView(view, path_), OpenStatus::Ok);
    UndoRequest request;
    request.kind = kind;
    request.down_to = down_to;
    return RunUndo(view, rows_, request, Label);
  }
  test::TempDir dir_;
  std::string path_;
  Bytes first_;
  std::vector<PlayerEntry> rows_;
};

// The model: each write in effect with the file before and after it, and the
// undone writes a redo may apply again.
struct Write {
  std::uint32_t number;
  Bytes before, after;
};

TEST_F(History, RandomWritesUndosAndRedosFollowTheModel) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SetUp();
    std::filesystem::remove(HistoryPathFor(path_));
    std::mt19937 random(seed);
    std::vector<Write> done, redoable;
    std::uint32_t entries = 0;
    Bytes now = first_;
    for (int step = 0; step < 40; ++step) {
      const std::string where = "seed " + std::to_string(seed) + ", step " + std::to_string(step);
      const int action = static_cast<int>(random() % 7);
      const Bytes before = ReadFileBytes(path_);
      if (action <= 2) {
        // A save, a set or an import: a new write ends the redo.
        const std::size_t player = random() % rows_.size();
        const int value = static_cast<int>(random() % 99);
        const bool ok = action == 0   ? Save(player, {{100 + static_cast<int>(random() % 34), std::to_string(value)}})
                        : action == 1 ? Save(player, {{1, std::to_string(150 + value)}, {119, "7"}}, "set")
                                      : Import({player, (player + 3) % rows_.size(), (player + 7) % rows_.size()}, value);
        ASSERT_TRUE(ok) << where;
        now = ReadFileBytes(path_);
        if (now != before) {
          done.push_back({++entries, before, now});
          redoable.clear();
        }
      } else if (action <= 4) {
        const UndoOutcome out = Undo(action == 3 ? UndoKind::Undo : UndoKind::Redo);
        std::vector<Write>& from = action == 3 ? done : redoable;
        std::vector<Write>& to = action == 3 ? redoable : done;
        ASSERT_EQ(out.done, !from.empty()) << where << out.refusal;
        if (out.done) {
          EXPECT_EQ(out.targets, std::vector<std::uint32_t>{from.back().number}) << where;
          now = action == 3 ? from.back().before : from.back().after;
          to.push_back(from.back());
          from.pop_back();
          ++entries;
        }
      } else if (!done.empty()) {
        // Undo down to a write in effect, in one write.
        const std::size_t down = random() % done.size();
        const UndoOutcome out = Undo(UndoKind::Undo, done[down].number);
        ASSERT_TRUE(out.done) << where << out.refusal;
        EXPECT_EQ(out.targets.size(), done.size() - down) << where;
        now = done[down].before;
        while (done.size() > down) redoable.push_back(done.back()), done.pop_back();
        ++entries;
      }
      ASSERT_TRUE(ReadFileBytes(path_) == now) << where << ": the roster is not the model's state";
      const HistoryFile history = ReadHistory(path_, first_.size());
      ASSERT_EQ(history.entries.size(), entries) << where;
      std::vector<std::uint32_t> in_effect;
      for (const Write& w : done) in_effect.push_back(w.number);
      EXPECT_EQ(ReplayHistory(history).done, in_effect) << where;
    }
    if (!done.empty()) {
      ASSERT_TRUE(Undo(UndoKind::Undo, done.front().number).done);
    }
    EXPECT_TRUE(ReadFileBytes(path_) == first_) << "seed " << seed << ": undoing every write";
  }
}

TEST_F(History, ChangesElsewhereAreRefusedWhereTheUndoWritesAndAllowedWhereItDoesNot) {
  ASSERT_TRUE(Save(2, {{119, "95"}}));
  ASSERT_TRUE(Save(4, {{120, "33"}}));
  const HistoryEntry newest = ReadHistory(path_, first_.size()).entries.back();
  // Another program changes the byte the newest write changed: nothing is written.
  Bytes changed = ReadFileBytes(path_);
  const std::uint64_t offset = newest.ranges.front().offset;
  changed[offset] = static_cast<std::uint8_t>(changed[offset] + 1);
  test::StoreChecksum(changed);
  test::WriteFileBytes(path_, changed);
  UndoOutcome out = Undo(UndoKind::Undo);
  EXPECT_FALSE(out.done);
  EXPECT_NE(out.refusal.find("@" + std::to_string(rows_[4].position) + " F4 L4: 1/120 is \"34\" in the file, where the "
                             "history has \"33\""),
            std::string::npos)
      << out.refusal;
  EXPECT_TRUE(ReadFileBytes(path_) == changed);
  // A change elsewhere: the undo goes ahead, and says the file was changed.
  changed[offset] = newest.ranges.front().new_bytes[0];
  changed[rows_[9].position + 440] ^= 0x11;
  test::StoreChecksum(changed);
  test::WriteFileBytes(path_, changed);
  out = Undo(UndoKind::Undo);
  ASSERT_TRUE(out.done) << out.refusal;
  EXPECT_NE(out.history_problem.find("changed outside the program"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path_)[offset], newest.ranges.front().old_bytes[0]);
  EXPECT_EQ(ReadFileBytes(path_)[rows_[9].position + 440], changed[rows_[9].position + 440]);
}

TEST_F(History, CutDamagedAndForeignHistoriesNeverStopASave) {
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(Save(1, {{119, std::to_string(50 + k)}}));
  const std::string history = HistoryPathFor(path_);
  const Bytes whole = ReadFileBytes(history);
  const std::size_t entry = (whole.size() - 8) / 3;
  Bytes middle = whole;
  middle[8 + entry + entry / 2] ^= 0xFF;
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"cut short", Bytes(whole.begin(), whole.end() - 7)},
      {"damaged in the middle", middle},
      {"not a history", Bytes(100, 'x')},
  };
  for (const auto& [what, bytes] : cases) {
    test::WriteFileBytes(history, bytes);
    std::filesystem::remove(history + ".damaged");
    const HistoryFile read = ReadHistory(path_, first_.size());
    EXPECT_FALSE(read.problem.empty()) << what;
    ASSERT_TRUE(Save(1, {{119, what[0] == 'c' ? "71" : what[0] == 'd' ? "72" : "73"}})) << what;
    const HistoryFile after = ReadHistory(path_, first_.size());
    ASSERT_FALSE(after.entries.empty()) << what;
    EXPECT_EQ(after.entries.back().what, "Save") << what;
    // An entry after the damage is used; the writes before it are not.
    const HistoryState state = ReplayHistory(after);
    EXPECT_EQ(state.done.back(), after.entries.back().number) << what;
    EXPECT_EQ(std::filesystem::exists(history + ".damaged"), what[0] == 'n') << what;
  }
  EXPECT_EQ(ReadFileBytes(history + ".damaged"), Bytes(100, 'x'));
  // The history of a roster of another size: moved aside as well.
  Bytes longer = ReadFileBytes(path_);
  longer.push_back(0);
  test::StoreChecksum(longer);
  test::WriteFileBytes(path_, longer);
  EXPECT_EQ(ReadHistory(path_, longer.size()).status, HistoryStatus::Foreign);
  EXPECT_FALSE(Undo(UndoKind::Undo).done);
  ASSERT_TRUE(Save(1, {{119, "74"}}));
  EXPECT_TRUE(std::filesystem::exists(history + ".damaged2"));
  EXPECT_EQ(ReadHistory(path_, longer.size()).entries.size(), 1u);
}

TEST_F(History, PruningKeepsTheNewestWritesWithinTheLimitAndEachSaveIsSmall) {
  constexpr std::uint64_t kLimit = 4096;
  std::uint32_t writes = 0;
  for (int k = 0; k < 120; ++k) {
    const Bytes before = ReadFileBytes(path_);
    ASSERT_TRUE(Save(static_cast<std::size_t>(k) % rows_.size(), {{100 + k % 34, std::to_string(k % 90)}}, "Save", kLimit));
    writes += ReadFileBytes(path_) != before;
    const std::uint64_t size = std::filesystem::file_size(HistoryPathFor(path_));
    ASSERT_LE(size, kLimit) << k;
  }
  const HistoryFile history = ReadHistory(path_, first_.size());
  EXPECT_EQ(history.status, HistoryStatus::Sound);
  for (std::size_t i = 1; i < history.entries.size(); ++i) {
    EXPECT_EQ(history.entries[i].number, history.entries[i - 1].number + 1);
    // A one-player save takes far less than the kilobyte a thousand saves may take each.
    EXPECT_LT(EncodeHistoryEntry(history.entries[i]).size(), 300u);
  }
  EXPECT_EQ(history.entries.back().number, writes);
  EXPECT_LT(history.entries.size(), writes);  // the oldest were dropped
  EXPECT_TRUE(Undo(UndoKind::Undo).done);
}

}  // namespace
}  // namespace rostrel
