// Edits of many players that are not saved yet: what the user typed into the
// list's cells, set for a selection or pasted, and typed on the pages of the
// loaded player. One text per player and field; a text the file already shows
// is no edit. Cell edits, sets and pastes are steps that can be taken back,
// latest first. A save writes every edited player in one transaction.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "player/field_catalog.h"
#include "player/player_cycle.h"
#include "roster/transaction.h"

namespace rostrel {

// One field of one player given a text, as the user typed it.
struct CellEdit {
  std::uint32_t position;
  const Field* field;
  std::string text;
};

class PendingEdits {
 public:
  // The field's text for the player: the edit's, else the file's.
  std::string Text(const RosterView& view, std::uint32_t position, const Field& field) const;
  const std::string* Find(std::uint32_t position, const Field& field) const;
  bool Edited(std::uint32_t position) const { return players_.contains(position); }
  std::size_t PlayerCount() const { return players_.size(); }
  std::size_t CellCount() const;
  bool empty() const { return players_.empty(); }
  // The edited players' record positions, ascending.
  std::vector<std::uint32_t> Players() const;
  // A player's edits, in the catalog's order.
  std::vector<std::pair<const Field*, std::string>> EditsOf(std::uint32_t position) const;

  // A refused edit: its index among the edits given, and why.
  struct Problem {
    std::size_t index;
    std::string why;
  };
  // Each edit is checked as that player's box would take it. When every one
  // is taken they are kept, as one step, and no problem is returned; else
  // nothing changes. A text the player shows already (as the pages compare
  // texts) changes nothing.
  std::vector<Problem> Apply(const RosterView& view, const std::vector<CellEdit>& edits);
  // Takes back the latest step: the players it touched, or none without one.
  std::optional<std::vector<std::uint32_t>> Undo();
  // A text the loaded player's box holds, kept as it is, with no step.
  void Note(const RosterView& view, std::uint32_t position, const Field& field, const std::string& held);
  // Every box of the player loaded into pages that the user changed since the
  // load, kept (Note); a box he left as the load showed it is no edit, even
  // where another program has written the file since.
  void NotePages(const RosterView& view, const EditorPages& pages, const LoadedPlayer& player);
  // Shows the player's edits in pages that hold a fresh load of him.
  void ShowIn(EditorPages& pages, std::uint32_t position) const;
  void Clear();
  // The file's text of an edited field when it was first edited: what the
  // user saw before typing (nothing for a field not edited).
  const std::string* Base(std::uint32_t position, const Field& field) const;
  // The user has seen the file's text now and kept his edit over it.
  void Rebase(std::uint32_t position, const Field& field, std::string text) { base_[{position, &field}] = std::move(text); }

 private:
  void Put(const RosterView& view, std::uint32_t position, const Field& field, std::optional<std::string> held);
  std::map<std::uint32_t, std::map<const Field*, std::string>> players_;
  struct Change {
    std::uint32_t position;
    const Field* field;
    std::optional<std::string> before;
  };
  std::vector<std::vector<Change>> steps_;
  std::map<std::pair<std::uint32_t, const Field*>, std::string> base_;
};

// The edits a Set of text makes in field for the players: the text itself,
// or for a step ("+5", "-5") each player's number moved by it (TypedStep). A
// player whose number cannot move is named in problems.
std::vector<CellEdit> SetEdits(const RosterView& view, const PendingEdits& edits,
                               const std::vector<std::uint32_t>& players, const Field& field, const std::string& text,
                               std::vector<std::string>& problems);

// A cell whose text the file would not show as typed after the save.
struct CellNotAsTyped {
  std::uint32_t position;
  const Field* field;
  std::string typed, held;
};

// An edited field that another program changed since it was edited.
struct CellCollision {
  std::uint32_t position;
  const Field* field;
  std::string theirs, mine;
};

// Every edited player written into one transaction, which only Commit puts
// into the file: until then loads read the written players, and the file
// stays as it was. The transaction holds the roster's write lock while the
// save lives: keep it short, and ask the user nothing while it does.
class PendingSave {
 public:
  PendingSave(RosterView& view, const PendingEdits& edits);
  // Another program holds the write lock: nothing can be written now.
  bool busy() const { return transaction_.Busy(); }
  // Edited fields the file no longer shows as they were when edited.
  const std::vector<CellCollision>& collisions() const { return collisions_; }
  // Every edited cell the file would not show as typed, by position and catalog order.
  const std::vector<CellNotAsTyped>& not_as_typed() const { return not_as_typed_; }
  const std::vector<std::uint32_t>& positions() const { return positions_; }
  // With history, the save is one entry of the roster's history.
  CommitResult Commit(const HistoryKeeping* history);

 private:
  RosterView& view_;
  RosterTransaction transaction_;
  std::vector<std::uint32_t> positions_;
  std::uint32_t cells_ = 0;
  std::vector<CellNotAsTyped> not_as_typed_;
  std::vector<CellCollision> collisions_;
};

}  // namespace rostrel
