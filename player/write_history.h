// The history of writes as players and fields: what a write changed, as the
// pages show it, and undo and redo of whole writes, each checked against the
// file before it writes and committed as a transaction of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/player_list.h"
#include "roster/history.h"
#include "roster/roster_file.h"
#include "roster/transaction.h"

namespace rostrel {

// A field whose shown text differs between two states of the file.
struct FieldChange {
  int tab = 0, id = 0;
  std::string before, after;
};

// The fields of the player at position that the pages would show differently
// with before's bytes over the file than with after's (none: the file as it
// is), in page order.
std::vector<FieldChange> ChangedFields(RosterView& view, std::uint32_t position, const PendingWrites* before,
                                       const PendingWrites* after);

// The history note of the write collected in the view's open transaction: the
// players at positions, with their names as they will be, and how many of
// their fields change (counted, unless the writer knows).
HistoryNote NoteForWrite(RosterView& view, std::string what, const std::vector<std::uint32_t>& positions,
                         std::uint64_t limit = kDefaultHistoryLimit,
                         std::optional<std::uint32_t> field_count = std::nullopt);

// A field's label by page and control, as the front end names it.
using FieldLabel = std::function<std::string(int tab, int id)>;

// One player's changed fields, for the user: "@12345 Marcus Brooks: Speed 80 -> 95".
std::vector<std::string> DescribeChanges(RosterView& view, const std::vector<HistoryPlayer>& players,
                                         const PendingWrites* before, const PendingWrites* after,
                                         const FieldLabel& label);

// The ranges' old bytes, or their new ones, as writes over the file.
PendingWrites Overlay(const std::vector<JournalRange>& ranges, bool new_bytes);

// "First Last", as the file holds the names (single bytes).
std::string PlayerName(const HistoryPlayer& player);
// "Marcus Brooks, John Doe, Ann Lee and 57 more", in the names' single bytes.
std::string PlayersText(const std::vector<HistoryPlayer>& players);
// An entry's time: "2026-12-10 12:00:31 UTC".
std::string WriteTime(std::int64_t seconds);

enum class UndoKind { Undo, Redo };

struct UndoRequest {
  UndoKind kind = UndoKind::Undo;
  std::optional<std::uint32_t> down_to;  // undo every write in effect from the newest down to this one
  bool dry_run = false;                  // check and describe, write nothing
  std::uint64_t limit = kDefaultHistoryLimit;
};

struct UndoOutcome {
  bool done = false;        // undone or redone (with dry_run: would be)
  std::string refusal;      // when not done: why, for the user
  std::vector<std::uint32_t> targets;  // the writes undone (newest first) or redone
  HistoryNote note;         // its players and field count
  std::vector<std::string> changes;  // what it changes, by page labels
  CommitResult committed;   // without dry_run, when done
  std::string history_problem;  // what is wrong with the history, where anything is
};

// What an undo or redo would do now: its writes, players and fields, or why
// it cannot be done. Writes nothing.
UndoOutcome PlanUndo(RosterView& view, const std::vector<PlayerEntry>& rows, const UndoRequest& request,
                     const FieldLabel& label);
// Undoes or redoes as planned, unless the request is a dry run.
UndoOutcome RunUndo(RosterView& view, const std::vector<PlayerEntry>& rows, const UndoRequest& request,
                    const FieldLabel& label);

}  // namespace rostrel
