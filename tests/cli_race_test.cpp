// Writers racing on one roster: several rostrel-cli programs run random sets,
// imports, undos and redos on it at once. Every write that said it wrote has
// its history entry, the entries form one chain from the first bytes to the
// file as it is (each entry's old bytes are what the one before left), and
// undoing every write gives the first bytes back exactly. While the roster is
// locked, commands give up with exit code 3.
#include <random>
#include <thread>

#include "roster/checksum.h"
#include "roster/history.h"
#include "roster/write_lock.h"
#include "tests/cli_run.h"

namespace rostrel {
namespace {

TEST_F(Cli, RacingWritersKeepOneChainOfWholeWrites) {
  constexpr int kWriters = 3, kActs = 10;
  const Bytes first = ReadFileBytes(path_);
  std::vector<int> wrote(kWriters, 0);
  std::vector<std::string> failures(kWriters);
  auto writer = [&](int w) {
    std::mt19937 random(static_cast<unsigned>(w) * 7919u + 1);
    for (int act = 0; act < kActs; ++act) {
      const std::string out = dir_.File("out" + std::to_string(w) + "-" + std::to_string(act));
      const int value = static_cast<int>(random() % 99), player = static_cast<int>(random() % 4);
      const unsigned kind = random() % 6;  // set, set, import, undo, undo, redo
      std::string arguments = kind < 2 ? "set " + Q(path_) + " " + std::to_string(player + 1) + " Speed=" + std::to_string(value)
                              : kind < 3 ? "import " + Q(path_) + " --csv " + Q(out + ".csv")
                              : kind < 5 ? "undo " + Q(path_) : "redo " + Q(path_);
      std::ofstream(out + ".csv") << "Record,Speed,Weight\n" << built_.Position(static_cast<std::size_t>(player)) << ","
                                  << value << "," << 150 + value << "\n";
      const int status = std::system((std::string(ROSTREL_CLI) + " " + arguments + " --wait 60 >" + out + " 2>" + out + ".err").c_str());
      const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      const std::string said = Slurp(out), err = Slurp(out + ".err");
      // An undo or redo with nothing to do exits 1; nothing else may fail, or complete a live writer's journal.
      if ((code != 0 && !(kind >= 3 && code == 1 && err.find("nothing to") != std::string::npos)) ||
          err.find("interrupted write") != std::string::npos) {
        failures[static_cast<std::size_t>(w)] += arguments + ": " + err;
      }
      // A set of the value there already, and an import changing nobody, write nothing.
      const std::size_t arrow = said.find("\" -> \"");
      const bool changed = kind >= 3 || (kind == 2 && said.rfind("0 players", 0) != 0) ||
                           (arrow != std::string::npos && said.substr(said.find('"') + 1, arrow - said.find('"') - 1) !=
                                                              said.substr(arrow + 6, said.find('"', arrow + 6) - arrow - 6));
      if (code == 0 && changed) ++wrote[static_cast<std::size_t>(w)];
    }
  };
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) writers.emplace_back(writer, w);
  for (std::thread& t : writers) t.join();
  for (const std::string& f : failures) EXPECT_EQ(f, "");

  const Bytes last = ReadFileBytes(path_);
  EXPECT_TRUE(test::ChecksumIsValid(last));
  const HistoryFile history = ReadHistory(path_, last.size());
  EXPECT_EQ(history.status, HistoryStatus::Sound) << history.problem;
  EXPECT_EQ(static_cast<int>(history.entries.size()), wrote[0] + wrote[1] + wrote[2]);
  Bytes model = first;
  for (std::size_t k = 0; k < history.entries.size(); ++k) {
    const HistoryEntry& e = history.entries[k];
    EXPECT_EQ(e.number, k + 1);
    EXPECT_EQ(StoredChecksum(model).value_or(0), e.checksum_before) << "write " << e.number;
    for (const JournalRange& r : e.ranges) {
      EXPECT_TRUE(std::equal(r.old_bytes.begin(), r.old_bytes.end(), model.begin() + static_cast<std::ptrdiff_t>(r.offset)))
          << "write " << e.number << " found other bytes than the write before it left";
      std::copy(r.new_bytes.begin(), r.new_bytes.end(), model.begin() + static_cast<std::ptrdiff_t>(r.offset));
    }
    for (int i = 0; i < 4; ++i) model[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(e.checksum_after >> (8 * i));
  }
  EXPECT_EQ(model, last);
  int undone = 0;
  while (Run("undo " + Q(path_)).code == 0) ++undone;
  EXPECT_GT(undone, 0);
  EXPECT_EQ(ReadFileBytes(path_), first);
}

// While another program holds the lock, a write and a read give up after
// --wait with exit code 3, saying which file is being written, and change nothing.
TEST_F(Cli, BusyRosterRefusesWithItsOwnExitCode) {
  const RosterLock other = LockRoster(path_, LockKind::Exclusive, std::chrono::milliseconds(0));
  ASSERT_TRUE(other.held());
  const Outcome set = Run("set " + Q(path_) + " 1 Speed=1 --wait 0.2"), listed = Run("list " + Q(path_) + " --wait 0");
  EXPECT_EQ(set.code, 3);
  EXPECT_EQ(set.err, "rostrel-cli: " + BeingWrittenText(path_) + " (try again, or --wait longer)\n");
  EXPECT_EQ(listed.code, 3);
  EXPECT_NE(listed.err.find("nothing was read"), std::string::npos) << listed.err;
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);
}

}  // namespace
}  // namespace rostrel
