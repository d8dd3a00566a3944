// The main window's player list (list view 101, owner data): the listed
// players behind it, in the order of the last sort and as the filter keeps
// them; its columns (FNAME, LNAME, the hidden record position, then any
// fields the user chooses, kept per user); sorting by a column, finding a
// player's row, and its cells as the search reads them. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "player/field_catalog.h"
#include "player/player_cycle.h"
#include "player/player_list.h"

namespace rostrel {

// The list's columns before the chosen fields: first and last names, the hidden record position.
constexpr int kFixedColumns = 3;

// The columns "FNAME", "LNAME", the hidden record position and the fields the
// user chose last time (Position, Number, Height and Weight at first).
void SetUpPlayerList(HWND list);
// Lists rows, read from the open view, in their order; the filter and the
// sort of the columns stay and are applied.
void FillPlayerRows(HWND list, std::vector<PlayerEntry> rows, const RosterView& view);
// Deletes every row.
void ClearPlayerRows(HWND list);
// The rows as read from the file, in file order.
std::vector<PlayerEntry> ListedRows(HWND list);
// Forgets the rows behind the items and keeps the columns' choice, order and widths (the list is going).
void ForgetPlayerRows(HWND list);
// The text of a cell, 0-based item and column.
std::string PlayerCell(HWND list, int item, int column);
// Selects, focuses and shows the row of the player whose record is at
// position, the only one selected; false when no row shows him.
bool SelectPlayerRow(HWND list, std::uint32_t position);
// Puts the saved player's fields into that player's row, wherever it stands.
void ShowSavedNames(HWND list, const SaveResult& saved);
// Reads the players' cells again after they were written, names included.
void ShowSavedPlayers(HWND list, const std::vector<std::uint32_t>& positions);
// The same players read again after another program wrote the file: their
// names and cells, the filter applied again; the selection, the order and the
// scroll position stay. False, changing nothing, when rows are not the
// players listed (the file was replaced).
bool RereadPlayerRows(HWND list, const std::vector<PlayerEntry>& rows);
// The field a column shows: 0 and 1 the names; none for the record position.
const Field* FieldOfColumn(int column);
// The player an item lists (0 for none), and the item listing a player (-1 for none).
std::uint32_t PositionAt(int item);
int ItemOf(std::uint32_t position);
// The listed players' record positions, in list order; every player's, in file order.
std::vector<std::uint32_t> ListedPositions();
std::vector<std::uint32_t> FilePositions();
// The selected items, ascending.
std::vector<int> SelectedItems(HWND list);
// The columns that show a field, in their order on the screen.
std::vector<int> ShownColumns(HWND list);
// The list's custom drawing (app/player_list_drawing.cpp): edited cells bold,
// an edited player's row marked; the bold font goes with the list.
INT_PTR DrawPlayerCell(HWND list, int id, NMHDR* header);
void ForgetBoldFont();
// Sizes the two name columns to their widest text, as LVSCW_AUTOSIZE over all
// rows would, without measuring every row; rows is not empty.
void SizeNameColumns(HWND list, const std::vector<PlayerEntry>& rows);
// A cell with an edit not yet saved (drawn bold); a row of a player with one (marked).
bool CellEdited(int item, int column);
bool RowMarked(int item);
// A click on the header of a column (0-based): sorts by it, ascending first,
// then reversed at each click; keep stays selected.
void SortByListColumn(HWND list, int column, std::uint32_t keep);
// Lists only the players the filter text picks; keep stays selected. The
// empty text when it reads, else why it does not (the rows then stay).
std::string FilterPlayerRows(HWND list, const std::string& text, std::uint32_t keep);
// 1204 as "1,204".
std::string Thousands(std::size_t n);
// "312 of 1,204 players".
std::string ListedCountText();
// The fields shown after the fixed columns, in their order on the screen.
std::vector<const Field*> ShownFields(HWND list);
void ShowFields(HWND list, const std::vector<const Field*>& fields);

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
