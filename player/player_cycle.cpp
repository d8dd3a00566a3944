#include "player/player_cycle.h"

#include "player/memory_pages.h"
#include "player/names.h"
#include "roster/field.h"
#include "roster/transaction.h"

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

bool WritePlayer(RosterView& view, const EditorPages& pages, const LoadedPlayer& player) {
  if (!player.loaded || !RecordInView(view, player.position)) return false;
  SaveVitals(view, player.position, pages, player.state);
  SaveByteBlock(view, player.position, kRatings, pages, player.state);
  SaveByteBlock(view, player.position, kTendencies, pages, player.state);
  return true;
}

SaveResult SavePlayer(RosterView& view, EditorPages& pages, LoadedPlayer& player) {
  SaveResult result;
  if (!player.loaded || !RecordInView(view, player.position)) return result;
  RosterTransaction transaction(view);
  WritePlayer(view, pages, player);
  const CommitResult committed = transaction.Commit();
  if (!committed.ok) {
    result.error = committed.reason;
    return result;
  }

  // The record as the file now holds it becomes the baseline: loaded into
  // pages of its own, so that the user's boxes keep their texts. Only a
  // crafted file, whose name overlaps its own reference, sees a name move
  // or change its length here.
  MemoryPages fresh_pages;
  LoadedPlayer fresh;
  LoadPlayer(view, player.position, fresh_pages, fresh);
  for (const auto& [control, value] : fresh.state.remembered) pages.SetRemembered(control.first, control.second, value);
  pages.SetFieldLimit(kVitalsTab, vitals::kFirstName, fresh.state.first_name_length);
  pages.SetFieldLimit(kVitalsTab, vitals::kLastName, fresh.state.last_name_length);
  player.state = std::move(fresh.state);
  result.saved = true;
  result.position = player.position;
  result.first_name = CellText(fresh_pages.GetFieldText(kVitalsTab, vitals::kFirstName));
  result.last_name = CellText(fresh_pages.GetFieldText(kVitalsTab, vitals::kLastName));
  return result;
}

void RefreshPlayerRow(std::vector<PlayerEntry>& rows, const SaveResult& saved) {
  if (!saved.saved) return;
  for (PlayerEntry& row : rows) {
    if (row.position == saved.position) {
      row.first_name = saved.first_name;
      row.last_name = saved.last_name;
      return;
    }
  }
}

}  // namespace rostrel
