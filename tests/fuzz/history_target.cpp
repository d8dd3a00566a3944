// The history beside a roster, whatever its bytes: read, replayed, asked for an
// undo and a redo, and appended to by a save.
#include <filesystem>

#include "player/player_cycle.h"
#include "player/write_history.h"
#include "tests/fuzz/fuzz_targets.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel::fuzz {

using test::Bytes;

namespace {

const Bytes& Roster() {
  static const Bytes bytes = test::RosterBuilder().AddMany(6).Build().bytes;
  return bytes;
}

std::string NoLabel(int, int id) { return std::to_string(id); }

// Saves player 3 with a new rating; false when the save failed.
bool SaveThird(const std::string& path, bool keep) {
  RosterView view;
  if (OpenRosterView(view, path) != OpenStatus::Ok) return false;
  const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
  MemoryPages pages;
  LoadedPlayer player;
  if (rows.size() < 3 || !LoadPlayer(view, rows[2].position, pages, player)) return false;
  pages.Type(kAttributesTab, 100, "93");
  const HistoryKeeping history{"Save", 1 << 20};
  return SavePlayer(view, pages, player, keep ? &history : nullptr).saved;
}

}  // namespace

std::string CheckHistoryFile(const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchPath(".ROS"), history = HistoryPathFor(path);
  std::filesystem::remove(history + ".damaged");
  test::WriteFileBytes(path, Roster());
  test::WriteFileBytes(history, Bytes(data, data + size));
  {
    // Undo and redo may refuse, but a plan writes nothing.
    RosterView view;
    if (OpenRosterView(view, path) != OpenStatus::Ok) return "the roster does not open";
    const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
    ReplayHistory(ReadHistory(path, view.size));
    for (UndoKind kind : {UndoKind::Undo, UndoKind::Redo}) {
      UndoRequest request;
      request.kind = kind;
      PlanUndo(view, rows, request, NoLabel);
    }
  }
  if (test::ReadFileBytes(path) != Roster()) return "a plan to undo or redo changed the roster";
  if (!SaveThird(path, true)) return "the roster did not save beside the history";
  const Bytes saved = test::ReadFileBytes(path);
  test::WriteFileBytes(path, Roster());
  if (!SaveThird(path, false) || test::ReadFileBytes(path) != saved) return "the history changed what the save wrote";
  const HistoryFile after = ReadHistory(path, Roster().size());
  if (after.entries.empty() || after.entries.back().what != "Save" || after.status == HistoryStatus::NotAHistory ||
      after.status == HistoryStatus::Foreign) {
    return "the save's entry is not the history's newest";
  }
  if (std::filesystem::exists(history + ".damaged") && test::ReadFileBytes(history + ".damaged") != Bytes(data, data + size)) {
    return "the history moved aside is not the one that was there";
  }
  return {};
}

std::vector<Bytes> HistorySeeds() {
  const std::string path = ScratchPath(".ROS"), history = HistoryPathFor(path);
  std::filesystem::remove(history);
  test::WriteFileBytes(path, Roster());
  SaveThird(path, true);
  SaveThird(path, true);
  const Bytes whole = test::ReadFileBytes(history);
  Bytes torn(whole.begin(), whole.end() - 5), flipped = whole;
  flipped[whole.size() / 2] ^= 0x40;
  return {whole, torn, flipped, Bytes{'R', 'S', 'T', 'H'}, Bytes(40, 0x55)};
}

}  // namespace rostrel::fuzz
