#include "player/write_history.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "player/memory_pages.h"
#include "player/names.h"
#include "player/player_cycle.h"
#include "player/vitals_table.h"
#include "roster/checksum.h"
#include "roster/field.h"

namespace rostrel {

namespace {

// What a load of the player shows with overlay's bytes over the file (read
// only: the pointer is the view's for the load's length).
LoadedState StateOver(RosterView& view, std::uint32_t position, const PendingWrites* overlay) {
  PendingWrites* held = view.pending;
  view.pending = const_cast<PendingWrites*>(overlay);
  MemoryPages pages;
  LoadedPlayer player;
  LoadPlayer(view, position, pages, player);
  view.pending = held;
  return player.state;
}

std::string ItemText(int id, int item) {
  const VitalsField* f = FindVitalsField(id);
  if (!f || !f->list || item < 1 || item > f->list->Count()) return "";
  return f->list->items()[static_cast<std::size_t>(item - 1)];
}

HistoryPlayer PlayerOver(RosterView& view, std::uint32_t position, const PendingWrites* overlay) {
  PendingWrites* held = view.pending;
  view.pending = const_cast<PendingWrites*>(overlay);
  HistoryPlayer p{position, ShownNameAt(view, position + 4), ShownNameAt(view, position)};
  view.pending = held;
  return p;
}

// The row whose record holds the file offset, or none.
const PlayerEntry* RowHolding(const std::vector<PlayerEntry>& rows, std::uint64_t offset) {
  for (const PlayerEntry& row : rows) {
    if (offset + 1 >= row.position && offset + 1 < row.position + std::uint64_t{kRecordSize}) return &row;
  }
  return nullptr;
}

std::string Hex(std::uint8_t b) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// Why an entry cannot be undone or redone: the first player and field whose
// shown value is not what the history says the file holds, with both values.
std::string Mismatch(RosterView& view, const std::vector<PlayerEntry>& rows, const HistoryEntry& entry,
                     bool expect_new, std::uint64_t offset, std::uint8_t found, std::uint8_t expected,
                     const FieldLabel& label) {
  PendingWrites expected_state = *view.pending;
  for (const JournalRange& r : entry.ranges) {
    const std::vector<std::uint8_t>& bytes = expect_new ? r.new_bytes : r.old_bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) expected_state.bytes[r.offset + i] = bytes[i];
  }
  std::vector<std::uint32_t> positions;
  if (const PlayerEntry* row = RowHolding(rows, offset)) positions.push_back(row->position);
  for (const HistoryPlayer& p : entry.players) positions.push_back(p.position);
  const PendingWrites now = *view.pending;
  for (std::uint32_t position : positions) {
    const std::vector<FieldChange> changes = ChangedFields(view, position, &now, &expected_state);
    if (changes.empty()) continue;
    const FieldChange& c = changes.front();
    return "@" + std::to_string(position) + " " + PlayerName(PlayerOver(view, position, &now)) + ": " +
           label(c.tab, c.id) + " is \"" + c.before + "\" in the file, where the history has \"" + c.after + "\"";
  }
  return "file offset " + std::to_string(offset) + " holds " + Hex(found) + ", where the history has " + Hex(expected);
}

std::vector<std::uint32_t> Positions(const std::vector<const HistoryEntry*>& entries) {
  std::vector<std::uint32_t> positions;
  for (const HistoryEntry* e : entries) {
    for (const HistoryPlayer& p : e->players) {
      if (std::find(positions.begin(), positions.end(), p.position) == positions.end()) positions.push_back(p.position);
    }
  }
  return positions;
}

// Chooses the writes, checks every byte they rewrite and puts the bytes into
// the view's open transaction.
UndoOutcome Prepare(RosterView& view, const std::vector<PlayerEntry>& rows, const UndoRequest& request,
                    const FieldLabel& label) {
  UndoOutcome out;
  const bool undo = request.kind == UndoKind::Undo;
  const HistoryFile history = ReadHistory(view.path, view.size);
  out.history_problem = history.problem;
  const std::string path = HistoryPathFor(view.path);
  if (history.status == HistoryStatus::NotAHistory || history.status == HistoryStatus::Foreign) {
    out.refusal = path + ": " + history.problem + ", so nothing can be undone or redone";
    return out;
  }
  const HistoryState state = ReplayHistory(history);
  if (undo && request.down_to) {
    const auto at = std::find(state.done.begin(), state.done.end(), *request.down_to);
    if (at == state.done.end()) {
      out.refusal = state.IsUndone(*request.down_to)
                        ? "write " + std::to_string(*request.down_to) + " is undone already"
                        : "the history holds no write " + std::to_string(*request.down_to) + " that can be undone";
      return out;
    }
    out.targets.assign(state.done.rbegin(), std::make_reverse_iterator(at));
  } else {
    const std::vector<std::uint32_t>& stack = undo ? state.done : state.redoable;
    if (stack.empty()) {
      out.refusal = undo ? "nothing to undo: no write in the history is in effect"
                         : "nothing to redo: no undone write can be applied again";
      return out;
    }
    out.targets = {stack.back()};
  }
  std::vector<const HistoryEntry*> entries;
  for (std::uint32_t t : out.targets) entries.push_back(FindEntry(history, t));
  if (!history.entries.empty() && history.entries.back().checksum_after != StoredChecksum({view.base, static_cast<std::size_t>(view.size)}).value_or(0)) {
    out.history_problem += (out.history_problem.empty() ? "" : "; ") +
                           std::string("the file was changed outside the program since the history's last entry");
  }
  for (const HistoryEntry* e : entries) {
    for (const JournalRange& r : e->ranges) {
      const std::vector<std::uint8_t>& expect = undo ? r.new_bytes : r.old_bytes;
      const std::vector<std::uint8_t>& put = undo ? r.old_bytes : r.new_bytes;
      for (std::size_t i = 0; i < expect.size(); ++i) {
        std::uint8_t found = 0;
        const std::uint64_t offset = r.offset + i;
        if (!ReadBytesAt(view, offset, &found, 1)) {
          out.refusal = "write " + std::to_string(e->number) + " changed file offset " + std::to_string(offset) +
                        ", which this file does not have";
          return out;
        }
        if (found != expect[i]) {
          out.refusal = "the file no longer holds what write " + std::to_string(e->number) + " left there: " +
                        Mismatch(view, rows, *e, undo, offset, found, expect[i], label) + ". Nothing was written.";
          return out;
        }
        WriteByteAt(view, offset, put[i]);
      }
    }
  }
  std::string what = (undo ? "undo " : "redo ") + std::to_string(out.targets.front());
  if (out.targets.size() > 1) what += " to " + std::to_string(out.targets.back());
  // Each player's changed fields once: their lines, and how many there are.
  const std::vector<std::uint32_t> positions = Positions(entries);
  std::vector<HistoryPlayer> players;
  for (std::uint32_t position : positions) players.push_back(PlayerOver(view, position, view.pending));
  out.changes = DescribeChanges(view, players, nullptr, view.pending, label);
  out.note = NoteForWrite(view, what, positions, request.limit, static_cast<std::uint32_t>(out.changes.size()));
  out.note.kind = undo ? HistoryKind::Undo : HistoryKind::Redo;
  out.note.targets = out.targets;
  out.done = true;
  return out;
}

}  // namespace

std::vector<FieldChange> ChangedFields(RosterView& view, std::uint32_t position, const PendingWrites* before,
                                       const PendingWrites* after) {
  const LoadedState a = StateOver(view, position, before), b = StateOver(view, position, after);
  std::vector<FieldChange> changes;
  for (const auto& [control, text] : a.texts) {
    const auto other = b.texts.find(control);
    if (other != b.texts.end() && other->second != text) {
      changes.push_back({control.first, control.second, ShownName(text), ShownName(other->second)});
    }
  }
  for (const auto& [id, item] : a.items) {
    const auto other = b.items.find(id);
    if (other != b.items.end() && other->second != item) {
      changes.push_back({kVitalsTab, id, ItemText(id, item), ItemText(id, other->second)});
    }
  }
  if (a.iff_check != b.iff_check) changes.push_back({kVitalsTab, vitals::kIff, a.iff_check ? "1" : "0", b.iff_check ? "1" : "0"});
  return changes;
}

HistoryNote NoteForWrite(RosterView& view, std::string what, const std::vector<std::uint32_t>& positions,
                         std::uint64_t limit, std::optional<std::uint32_t> field_count) {
  HistoryNote note;
  note.what = std::move(what);
  note.limit = limit;
  for (std::uint32_t position : positions) {
    note.players.push_back(PlayerOver(view, position, view.pending));
    if (!field_count) note.field_count += static_cast<std::uint32_t>(ChangedFields(view, position, nullptr, view.pending).size());
  }
  if (field_count) note.field_count = *field_count;
  return note;
}

std::vector<std::string> DescribeChanges(RosterView& view, const std::vector<HistoryPlayer>& players,
                                         const PendingWrites* before, const PendingWrites* after,
                                         const FieldLabel& label) {
  std::vector<std::string> lines;
  for (const HistoryPlayer& p : players) {
    for (const FieldChange& c : ChangedFields(view, p.position, before, after)) {
      lines.push_back("@" + std::to_string(p.position) + " " + PlayerName(p) + ": " + label(c.tab, c.id) + " " +
                      c.before + " -> " + c.after);
    }
  }
  return lines;
}

PendingWrites Overlay(const std::vector<JournalRange>& ranges, bool new_bytes) {
  PendingWrites overlay;
  for (const JournalRange& r : ranges) {
    const std::vector<std::uint8_t>& bytes = new_bytes ? r.new_bytes : r.old_bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) overlay.bytes[r.offset + i] = bytes[i];
  }
  return overlay;
}

std::string PlayerName(const HistoryPlayer& player) { return player.first_name + " " + player.last_name; }

std::string PlayersText(const std::vector<HistoryPlayer>& players) {
  std::string text;
  const std::size_t shown = std::min<std::size_t>(players.size(), 3);
  for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + PlayerName(players[i]);
  if (players.size() > shown) text += " and " + std::to_string(players.size() - shown) + " more";
  return text;
}

std::string WriteTime(std::int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds at{std::chrono::seconds{seconds}};
  const sys_days day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss<std::chrono::seconds> clock{at - day};
  char text[40] = {};
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld UTC", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<long long>(clock.hours().count()), static_cast<long long>(clock.minutes().count()),
                static_cast<long long>(clock.seconds().count()));
  return text;
}

UndoOutcome PlanUndo(RosterView& view, const std::vector<PlayerEntry>& rows, const UndoRequest& request,
                     const FieldLabel& label) {
  RosterTransaction trial(view, TransactionKind::Trial);
  return Prepare(view, rows, request, label);
}

UndoOutcome RunUndo(RosterView& view, const std::vector<PlayerEntry>& rows, const UndoRequest& request,
                    const FieldLabel& label) {
  RosterTransaction transaction(view);
  UndoOutcome out = Prepare(view, rows, request, label);
  if (!out.done || request.dry_run) return out;
  transaction.KeepHistory(out.note);
  out.committed = transaction.Commit();
  out.done = out.committed.ok;
  if (!out.done) out.refusal = out.committed.reason;
  return out;
}

}  // namespace rostrel
