// Editing the player list in place: a cell's editor (F2, a double click),
// every listed row selected (Ctrl+A), the selected rows copied (Ctrl+C), a
// block pasted from a spreadsheet (Ctrl+V), Set (Ctrl+E), and Ctrl+Z of
// these edits while they are not saved. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

#include "player/pending_edits.h"

namespace rostrel {

// The list's keys and double clicks.
void BindGridEvents(HWND list);
// The list column a click landed in: F2 and a paste without a header start there.
void FocusGridColumn(int column);
// That column, -1 before any click.
int FocusedGridColumn();
// Keeps edits made in the list, as one step of Ctrl+Z, and shows them; else
// says in one message why none was kept (what: "Nothing was pasted").
bool KeepGridEdits(HWND form, const std::vector<CellEdit>& edits, const std::string& what);
// Names problems in one message: the first ten, then how many more. The
// focus then goes back to the control back.
void ShowProblems(HWND back, const std::string& what, const std::vector<std::string>& problems, std::size_t more = 0);
// Takes back the latest cell edit, set or paste not yet saved; false when there is none.
bool UndoGridEdit(HWND form);
// The selected rows' players, in list order.
std::vector<std::uint32_t> SelectedPlayers(HWND list);

}  // namespace rostrel
