#include "player/player_cycle.h"

#include "player/memory_pages.h"
#include "player/names.h"
#include "player/vitals_table.h"
#include "player/write_history.h"
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

SaveResult SavePlayer(RosterView& view, EditorPages& pages, LoadedPlayer& player, const HistoryKeeping* history) {
  SaveResult result;
  if (!player.loaded || !RecordInView(view, player.position)) return result;
  RosterTransaction transaction(view);
  WritePlayer(view, pages, player);
  if (history) transaction.KeepHistory(NoteForWrite(view, history->what, {player.position}, history->limit));
  const CommitResult committed = transaction.Commit();
  if (!committed.ok) {
    result.error = committed.reason;
    return result;
  }
  result.history_note = committed.history_note;

  // The record as the file now holds it is shown and becomes the baseline.
  LoadPlayer(view, player.position, pages, player);
  result.saved = true;
  result.position = player.position;
  result.first_name = ShownNameAt(view, player.position + 4);
  result.last_name = ShownNameAt(view, player.position);
  return result;
}

std::vector<NotAsTyped> CheckPlayer(RosterView& view, const EditorPages& pages, const LoadedPlayer& player) {
  std::vector<NotAsTyped> found;
  if (!player.loaded || !RecordInView(view, player.position)) return found;
  RosterTransaction trial(view, TransactionKind::Trial);  // the file stays as it is
  WritePlayer(view, pages, player);
  MemoryPages after;
  LoadedPlayer again;
  LoadPlayer(view, player.position, after, again);  // reads the pending writes
  for (const auto& [control, shown] : player.state.texts) {
    const auto [tab, id] = control;
    if (player.state.Untouched(pages, tab, id)) continue;
    const std::string typed = pages.GetFieldText(tab, id), held = after.GetFieldText(tab, id);
    if (!ShowsAsTyped(tab, id, typed, held)) found.push_back({tab, id, typed, held});
  }
  return found;
}

bool HasUnsavedEdits(const EditorPages& pages, const LoadedPlayer& player) {
  if (!player.loaded) return false;
  const LoadedState& state = player.state;
  for (const auto& [control, shown] : state.texts) {
    if (!state.Untouched(pages, control.first, control.second)) return true;
  }
  for (const auto& [id, item] : state.items) {
    if (pages.GetComboIndex(kVitalsTab, id) != item) return true;
  }
  return pages.GetCheck(kVitalsTab, vitals::kIff) != state.iff_check;
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
