// One player from the file into the three pages, and back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "player/player_list.h"
#include "player/records.h"
#include "roster/history.h"
#include "roster/roster_file.h"

namespace rostrel {

// The player the pages show: the record it came from and what a load of it
// would put into the pages now. A save writes this record, wherever its row
// stands now.
struct LoadedPlayer {
  bool loaded = false;
  std::uint32_t position = 0;
  LoadedState state;
};

// True when a whole record lies in the open view at this position.
bool RecordInView(const RosterView& view, std::uint32_t position);

// Fills VITALS, ATTRIBUTES and TENDENCIES from the record at position. Refused
// (false, pages and player unchanged) without an open view or a whole record there.
bool LoadPlayer(const RosterView& view, std::uint32_t position, EditorPages& pages, LoadedPlayer& player);

struct SaveResult {
  bool saved = false;
  std::string history_note;  // beside a save: why it has no history entry, if it has none
  std::uint32_t position = 0;  // the record written
  std::string first_name, last_name;  // for that player's row
  std::string error;  // why a loaded player was not saved: a sentence for the user
};

// Writes what the user changed on the pages into the loaded player's record
// and names through the view, that is into the open transaction's pending
// writes. False, writing nothing, without a loaded player and a view that
// holds its record.
bool WritePlayer(RosterView& view, const EditorPages& pages, const LoadedPlayer& player);

// Writes what the user changed on the pages into the loaded player's record,
// with the checksum, as one transaction. Nothing is written without a loaded
// player and an open view that holds its record. Afterwards the pages show
// what the file holds: the player is loaded again, every box showing what a
// fresh load shows. The names returned are the record's names as the list
// shows them. A failed write is reported in error; the pages and the player's
// state are then as they were, with the user's edits.
// With history, the save is an entry of the roster's history (what: "Save" or "set").
struct HistoryKeeping {
  std::string what;
  std::uint64_t limit = kDefaultHistoryLimit;
};
SaveResult SavePlayer(RosterView& view, EditorPages& pages, LoadedPlayer& player,
                      const HistoryKeeping* history = nullptr);

// An edited box whose text the file would not show as typed after a save.
struct NotAsTyped {
  int tab, id;
  std::string typed, held;  // what the box holds, what a load would show after the save
};
// Every edited box of the loaded player whose text would not read back as
// typed (ShowsAsTyped) if the pages were saved now, in page order. Writes
// nothing: the save is tried in a transaction that is never committed.
std::vector<NotAsTyped> CheckPlayer(RosterView& view, const EditorPages& pages, const LoadedPlayer& player);

// True when the pages show anything other than what the load or the last save
// put there, that is than the file holds for the loaded player.
bool HasUnsavedEdits(const EditorPages& pages, const LoadedPlayer& player);

// Puts the saved names into the row of that player, wherever it stands.
void RefreshPlayerRow(std::vector<PlayerEntry>& rows, const SaveResult& saved);

}  // namespace rostrel
