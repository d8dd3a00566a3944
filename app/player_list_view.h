// The main window's player list (list view 101): the rows as read from the
// file behind its items, its columns and their lock, sorting by a column,
// finding a player's row, and its cells as the search reads them. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "player/player_cycle.h"
#include "player/player_list.h"

namespace rostrel {

// The columns "FNAME", "LNAME" and the hidden record position, locked.
void SetUpPlayerList(HWND list);
// Lists rows, in their order, after any rows before them were deleted.
void FillPlayerRows(HWND list, std::vector<PlayerEntry> rows);
// Deletes every row.
void ClearPlayerRows(HWND list);
// The rows as read from the file, in file order.
std::vector<PlayerEntry> ListedRows(HWND list);
// Forgets the rows behind the items (the list is going).
void ForgetPlayerRows();
void SortPlayerRows(HWND list, int column, SortOrder order);
// The text of a cell, 0-based item and column.
std::string PlayerCell(HWND list, int item, int column);
// Selects and focuses the row of the player whose record is at position.
void SelectPlayerRow(HWND list, std::uint32_t position);
// Puts the saved player's names into that player's row, wherever it stands.
void ShowSavedNames(HWND list, const SaveResult& saved);

// The list's cells as the search reads them.
class ListViewCells : public ListCells {
 public:
  explicit ListViewCells(HWND list) : list_(list) {}
  int RowCount() const override { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string CellText(int row, int column) const override { return PlayerCell(list_, row - 1, column - 1); }

 private:
  HWND list_;
};

}  // namespace rostrel
