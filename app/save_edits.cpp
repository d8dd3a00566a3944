// The main window's Save: every edited player written as one save. The save
// holds the roster's write lock only while it checks and writes; every
// question is asked with the lock released, and the check runs again after it.
#include <algorithm>
#include <optional>

#include "app/history_dialog.h"
#include "app/main_window.h"
#include "app/player_list_view.h"
#include "app/roster_watch.h"
#include "forms/form_engine.h"
#include "pages/form_table.h"

namespace rostrel {

namespace {

constexpr std::size_t kNamed = 10;  // cells named in one question; then "and N more"

template <typename Cell>
bool OnePlayer(const std::vector<Cell>& cells) {
  return std::all_of(cells.begin(), cells.end(), [&](const Cell& c) { return c.position == cells.front().position; });
}

std::string AndMore(std::size_t n) { return n > kNamed ? "\nand " + std::to_string(n - kNamed) + " more" : ""; }

// Edited cells that hold texts the file would not show as typed: named, and
// the question whether to save anyway.
std::string NotAsTypedQuestion(const std::vector<CellNotAsTyped>& found) {
  const bool one_player = OnePlayer(found);
  std::string text = "The file cannot hold these values as typed:\n";
  for (std::size_t k = 0; k < found.size() && k < kNamed; ++k) {
    text += "\n" + (one_player ? std::string() : PlayerName(found[k].position) + ", ") + found[k].field->label + ": \"" +
            found[k].typed + "\" would be saved as \"" + found[k].held + "\"";
  }
  return text + AndMore(found.size()) + "\n\nSave anyway?";
}

// Fields another program changed since the user edited them.
std::string CollisionQuestion(const std::vector<CellCollision>& found) {
  std::string text;
  for (std::size_t k = 0; k < found.size() && k < kNamed; ++k) {
    const CellCollision& c = found[k];
    text += (k ? "\n" : "") + c.field->label + " of " + PlayerName(c.position) + " was changed by another program to " +
            c.theirs + " since you edited it to " + c.mine + ".";
  }
  return text + AndMore(found.size()) + (found.size() > 1 ? "\n\n" : " ") + "Save your values?";
}

// Shows the player of a cell, with the focus in its box.
void ShowCell(HWND form, std::uint32_t position, const Field& field) {
  EditorState& editor = Editor();
  if (!editor.player.loaded || editor.player.position != position) {
    SelectPlayerRow(GetDlgItem(form, kPlayerList), position);
    ShowPlayer(form, position);
  }
  FocusBox(form, field.tab, field.id);
}

}  // namespace

bool SaveEdits(HWND form) {
  EditorState& editor = Editor();
  if (!IsOpen(editor.view)) return false;
  NoteLoadedPlayer(form);
  if (editor.pending.empty()) return true;
  bool typed_accepted = false;
  for (;;) {
    if (!IsOpen(editor.view)) return false;  // closed while a question was asked: the file was replaced
    CommitResult committed;
    std::vector<std::uint32_t> written;
    bool busy = false;
    std::vector<CellCollision> collisions;
    std::vector<CellNotAsTyped> not_as_typed;
    {
      // Until the commit the file stays as it was; loads read what the save would write.
      PendingSave save(editor.view, editor.pending);
      busy = save.busy();
      collisions = save.collisions();
      if (!typed_accepted) not_as_typed = save.not_as_typed();
      if (!busy && collisions.empty() && not_as_typed.empty()) {
        const HistoryKeeping history{"Save", HistoryLimit()};
        committed = save.Commit(&history);
        written = save.positions();
      }
    }  // the lock is released here, before any question
    HWND focused = GetFocus();
    if (busy) {
      const int answer = Ask(FileNameOf(editor.view.path) + " is being written by another program, so nothing was "
                             "written. Your edits are kept.", MB_RETRYCANCEL | MB_ICONWARNING);
      SetFocus(focused);
      if (answer == IDRETRY) continue;
      return false;
    }
    if (!collisions.empty()) {
      if (Ask(CollisionQuestion(collisions), MB_YESNO) != IDYES) {
        ShowCell(form, collisions.front().position, *collisions.front().field);  // No writes nothing
        return false;
      }
      for (const CellCollision& c : collisions) editor.pending.Rebase(c.position, *c.field, c.theirs);
      SetFocus(focused);
      continue;  // checked again: what the other program wrote meanwhile is asked about too
    }
    if (!not_as_typed.empty()) {
      if (Ask(NotAsTypedQuestion(not_as_typed), MB_YESNO) != IDYES) {
        ShowCell(form, not_as_typed.front().position, *not_as_typed.front().field);  // No writes nothing
        return false;
      }
      typed_accepted = true;
      SetFocus(focused);
      continue;
    }
    if (!committed.ok) {
      // The edits stay; a later save or Read puts them in the file.
      ShowMessage((FileNameOf(editor.view.path) + " was not saved. " + committed.reason).c_str());
      return false;
    }
    editor.pending.Clear();
    ShowSavedPlayers(GetDlgItem(form, kPlayerList), written);
    ShowLoadedPlayer(form);
    RememberRosterState();  // the window's own write is no other program's
    if (!committed.history_note.empty()) ShowMessage(committed.history_note.c_str());
    return true;
  }
}

}  // namespace rostrel
