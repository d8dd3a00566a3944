#include "player/pending_edits.h"

#include "player/memory_pages.h"
#include "player/records.h"
#include "player/write_history.h"

namespace rostrel {

std::string PendingEdits::Text(const RosterView& view, std::uint32_t position, const Field& field) const {
  const std::string* edited = Find(position, field);
  return edited ? *edited : ReadFieldText(view, position, field);
}

const std::string* PendingEdits::Find(std::uint32_t position, const Field& field) const {
  const auto player = players_.find(position);
  if (player == players_.end()) return nullptr;
  const auto cell = player->second.find(&field);
  return cell == player->second.end() ? nullptr : &cell->second;
}

std::size_t PendingEdits::CellCount() const {
  std::size_t n = 0;
  for (const auto& [position, cells] : players_) n += cells.size();
  return n;
}

std::vector<std::uint32_t> PendingEdits::Players() const {
  std::vector<std::uint32_t> positions;
  for (const auto& [position, cells] : players_) positions.push_back(position);
  return positions;
}

std::vector<std::pair<const Field*, std::string>> PendingEdits::EditsOf(std::uint32_t position) const {
  std::vector<std::pair<const Field*, std::string>> edits;
  const auto player = players_.find(position);
  if (player != players_.end()) edits.assign(player->second.begin(), player->second.end());
  return edits;
}

void PendingEdits::Put(const RosterView& view, std::uint32_t position, const Field& field,
                       std::optional<std::string> held) {
  if (held) {
    std::string file_text = ReadFieldText(view, position, field);
    if (*held != file_text) {
      if (!Find(position, field)) base_[{position, &field}] = std::move(file_text);
      players_[position][&field] = std::move(*held);
      return;
    }
  }
  const auto player = players_.find(position);
  if (player == players_.end()) return;
  player->second.erase(&field);
  if (player->second.empty()) players_.erase(player);
}

std::vector<PendingEdits::Problem> PendingEdits::Apply(const RosterView& view, const std::vector<CellEdit>& edits) {
  std::vector<Problem> problems;
  std::vector<std::optional<std::string>> held(edits.size());
  for (std::size_t k = 0; k < edits.size(); ++k) {
    const CellEdit& e = edits[k];
    std::string why;
    if (!RecordInView(view, e.position)) {
      problems.push_back({k, "no player's record is at " + std::to_string(e.position)});
    } else if (!(held[k] = TypedFieldText(view, e.position, *e.field, e.text, why))) {
      problems.push_back({k, why});
    }
  }
  if (!problems.empty()) return problems;
  std::vector<Change> step;
  for (std::size_t k = 0; k < edits.size(); ++k) {
    const CellEdit& e = edits[k];
    const std::string* now = Find(e.position, *e.field);
    const std::string shown = now ? *now : ReadFieldText(view, e.position, *e.field);
    if (ShowsAsTyped(*e.field, *held[k], shown)) continue;
    step.push_back({e.position, e.field, now ? std::optional<std::string>(*now) : std::nullopt});
    // A text the file shows as typed is no edit.
    Put(view, e.position, *e.field,
        ShowsAsTyped(*e.field, *held[k], ReadFieldText(view, e.position, *e.field)) ? std::nullopt : std::move(held[k]));
  }
  if (!step.empty()) steps_.push_back(std::move(step));
  return problems;
}

std::optional<std::vector<std::uint32_t>> PendingEdits::Undo() {
  if (steps_.empty()) return std::nullopt;
  std::vector<std::uint32_t> touched;
  const std::vector<Change>& step = steps_.back();
  for (auto change = step.rbegin(); change != step.rend(); ++change) {
    std::map<const Field*, std::string>& cells = players_[change->position];
    if (change->before) cells[change->field] = *change->before;
    else cells.erase(change->field);
    if (cells.empty()) players_.erase(change->position);
    if (touched.empty() || touched.back() != change->position) touched.push_back(change->position);
  }
  steps_.pop_back();
  return touched;
}

void PendingEdits::Note(const RosterView& view, std::uint32_t position, const Field& field, const std::string& held) {
  Put(view, position, field, held);
}

void PendingEdits::NotePages(const RosterView& view, const EditorPages& pages, const LoadedPlayer& player) {
  const LoadedState& loaded = player.state;
  for (const Field& field : Fields()) {
    if (!field.editable()) continue;
    bool untouched = false;
    if (field.kind == FieldKind::Check) {
      untouched = pages.GetCheck(field.tab, field.id) == loaded.iff_check;
    } else if (field.kind == FieldKind::Combo) {
      const auto item = loaded.items.find(field.id);
      untouched = item != loaded.items.end() && pages.GetComboIndex(field.tab, field.id) == item->second;
    } else {
      untouched = loaded.Untouched(pages, field.tab, field.id);
    }
    if (untouched) {
      Put(view, player.position, field, std::nullopt);
    } else {
      Note(view, player.position, field, FieldText(pages, field));
    }
  }
}

void PendingEdits::ShowIn(EditorPages& pages, std::uint32_t position) const {
  for (const auto& [field, text] : EditsOf(position)) ShowFieldText(pages, *field, text);
}

void PendingEdits::Clear() {
  players_.clear();
  steps_.clear();
  base_.clear();
}

const std::string* PendingEdits::Base(std::uint32_t position, const Field& field) const {
  const auto base = base_.find({position, &field});
  return base == base_.end() || !Find(position, field) ? nullptr : &base->second;
}

std::vector<CellEdit> SetEdits(const RosterView& view, const PendingEdits& edits,
                               const std::vector<std::uint32_t>& players, const Field& field, const std::string& text,
                               std::vector<std::string>& problems) {
  std::vector<CellEdit> set;
  const std::optional<double> step = TypedStep(field, text);
  for (std::uint32_t position : players) {
    if (!step) {
      set.push_back({position, &field, text});
      continue;
    }
    std::string why;
    if (std::optional<std::string> moved = SteppedFieldText(field, edits.Text(view, position, field), *step, why)) {
      set.push_back({position, &field, std::move(*moved)});
    } else {
      problems.push_back(ShownNameAt(view, position + 4) + " " + ShownNameAt(view, position) + ": " + why);
    }
  }
  return set;
}

PendingSave::PendingSave(RosterView& view, const PendingEdits& edits) : view_(view), transaction_(view) {
  positions_ = edits.Players();
  if (!transaction_.Ready()) return;
  for (std::uint32_t position : positions_) {
    for (const auto& [field, mine] : edits.EditsOf(position)) {
      const std::string* base = edits.Base(position, *field);
      std::string theirs = ReadFieldText(view, position, *field);
      if (base && theirs != *base && theirs != mine) collisions_.push_back({position, field, std::move(theirs), mine});
    }
  }
  for (std::uint32_t position : positions_) {
    MemoryPages pages;
    LoadedPlayer player;
    if (!LoadPlayer(view, position, pages, player)) continue;
    edits.ShowIn(pages, position);
    WritePlayer(view, pages, player);
  }
  // Loads read the transaction's writes: each cell as the file will show it.
  for (std::uint32_t position : positions_) {
    for (const auto& [field, typed] : edits.EditsOf(position)) {
      ++cells_;
      std::string held = ReadFieldText(view, position, *field);
      if (!ShowsAsTyped(*field, typed, held)) not_as_typed_.push_back({position, field, typed, std::move(held)});
    }
  }
}

CommitResult PendingSave::Commit(const HistoryKeeping* history) {
  if (history) transaction_.KeepHistory(NoteForWrite(view_, history->what, positions_, history->limit, cells_));
  return transaction_.Commit();
}

}  // namespace rostrel
