// Writes the seed corpus of each fuzz target into DIR/open, DIR/edit_round,
// DIR/no_edit_round, DIR/session and DIR/history.
#include <cstdio>
#include <filesystem>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/fuzz/session.h"
#include "tests/roster_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  for (const char* target : {"open", "edit_round", "no_edit_round", "session", "history"}) {
    std::filesystem::create_directories(dir / target);
  }
  for (const auto& [name, bytes] : rostrel::fuzz::SeedCorpus()) {
    rostrel::test::WriteFileBytes((dir / "open" / name).string(), bytes);
    rostrel::test::WriteFileBytes((dir / "no_edit_round" / name).string(), bytes);
    rostrel::test::WriteFileBytes((dir / "edit_round" / name).string(), rostrel::fuzz::EditInput(name, bytes));
    rostrel::test::WriteFileBytes((dir / "session" / name).string(), rostrel::fuzz::SessionInput(name, bytes));
  }
  int n = 0;
  for (const auto& history : rostrel::fuzz::HistorySeeds()) {
    rostrel::test::WriteFileBytes((dir / "history" / ("seed" + std::to_string(n++))).string(), history);
  }
  return 0;
}
