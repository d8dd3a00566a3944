// The fuzz targets' properties over the seed corpus and over every input kept
// in tests/fuzz (the corpus the fuzzers grew, and crash inputs found and fixed).
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/fuzz/session.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using Check = std::string (*)(const std::uint8_t*, std::size_t);

std::string Apply(Check check, const std::vector<std::uint8_t>& input) { return check(input.data(), input.size()); }

TEST(SeedCorpus, EveryVariantKeepsEveryProperty) {
  const auto seeds = fuzz::SeedCorpus();
  ASSERT_EQ(seeds.size(), 16u);
  for (const auto& [name, bytes] : seeds) {
    EXPECT_EQ(Apply(fuzz::CheckOpenPath, bytes), "") << name;
    EXPECT_EQ(Apply(fuzz::CheckNoEditRound, bytes), "") << name;
    EXPECT_EQ(Apply(fuzz::CheckEditRound, fuzz::EditInput(name, bytes)), "") << name;
    EXPECT_EQ(Apply(fuzz::CheckEditingSession, fuzz::SessionInput(name, bytes)), "") << name;
  }
  for (const auto& history : fuzz::HistorySeeds()) EXPECT_EQ(Apply(fuzz::CheckHistoryFile, history), "");
}

// Seeded sessions of page and grid edits, saves, Ctrl+Z and reopens.
TEST(SeededSessions, KeepEveryProperty) {
  test::TempDir dir;
  const std::string path = dir.File("Seeded.ROS");
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    test::WriteFileBytes(path, fuzz::SessionRoster());
    test::MemoryPages pages;
    fuzz::MemoryInput input(pages);
    fuzz::Session session(path, pages, input);
    ASSERT_TRUE(session.Open());
    const std::vector<fuzz::Action> actions = fuzz::SeededActions(seed, 120);
    for (std::size_t k = 0; k < actions.size(); ++k) {
      ASSERT_EQ(session.Step(actions[k]), "") << "seed " << seed << ", step " << k + 1 << " (" << fuzz::Describe(actions[k]) << ")";
    }
  }
}

// Kept inputs lie in tests/fuzz/<kind>/<target>/, kind being corpus or regressions.
void ReplayKept(const char* target, Check check) {
  int replayed = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const std::filesystem::path dir = std::filesystem::path(ROSTREL_FUZZ_DIR) / kind / target;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      EXPECT_EQ(Apply(check, test::ReadFileBytes(entry.path().string())), "") << entry.path();
      ++replayed;
    }
  }
  ::testing::Test::RecordProperty("replayed", replayed);
}

TEST(KeptInputs, OpenPath) { ReplayKept("open", fuzz::CheckOpenPath); }
TEST(KeptInputs, EditRound) { ReplayKept("edit_round", fuzz::CheckEditRound); }
TEST(KeptInputs, NoEditRound) { ReplayKept("no_edit_round", fuzz::CheckNoEditRound); }
TEST(KeptInputs, EditingSession) { ReplayKept("session", fuzz::CheckEditingSession); }
TEST(KeptInputs, History) { ReplayKept("history", fuzz::CheckHistoryFile); }

}  // namespace
}  // namespace rostrel
