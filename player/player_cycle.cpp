#include "player/player_cycle.h"

#include "roster/checksum.h"
#include "roster/field.h"

namespace rostrel {

bool RecordInView(const RosterView& view, std::uint32_t position) {
  return position >= 1 && InView(view, FieldAddress(position, 0), kRecordSize);
}

bool LoadPlayer(const RosterView& view, std::uint32_t position, EditorPages& pages, LoadedPlayer& player) {
  if (!RecordInView(view, position)) return false;
  player = LoadedPlayer{};
  LoadVitals(view, position, pages, player.state);
  LoadByteBlock(view, position, kRatings, pages, player.state);
  LoadByteBlock(view, position, kTendencies, pages, player.state);
  player.loaded = true;
  player.position = position;
  return true;
}

SaveResult SavePlayer(RosterView& view, const EditorPages& pages, const LoadedPlayer& player) {
  SaveResult result;
  if (!player.loaded || !RecordInView(view, player.position)) return result;
  const SavedNames names = SaveVitals(view, player.position, pages, player.state);
  SaveByteBlock(view, player.position, kRatings, pages, player.state);
  SaveByteBlock(view, player.position, kTendencies, pages, player.state);
  UpdateFileChecksum(view);
  FlushRosterView(view);
  result.saved = true;
  result.position = player.position;
  result.first_name = names.first_name;
  result.last_name = names.last_name;
  return result;
}

void RefreshPlayerRow(std::vector<PlayerEntry>& rows, const SaveResult& saved) {
  if (!saved.saved) return;
  for (PlayerEntry& row : rows) {
    if (RecordPositionOf(row) == saved.position) {
      row.first_name = saved.first_name;
      row.last_name = saved.last_name;
      return;
    }
  }
}

}  // namespace rostrel
