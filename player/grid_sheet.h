// The list's cells as spreadsheets take them from the clipboard and give them
// back: a copy is tab-separated text with a header of page labels, the
// record position's first; a block pasted back becomes cell edits, checked
// whole before any is kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/pending_edits.h"

namespace rostrel {

// The players' cells, one line each after the header "Record", then the
// columns' labels; a cell with a tab, a quote or a line break is quoted.
// Texts in the names' code page, lines ended by CRLF.
std::string CopiedCells(const RosterView& view, const PendingEdits& edits, const std::vector<std::uint32_t>& players,
                        const std::vector<const Field*>& columns);

// Where a pasted block lands.
struct PasteTarget {
  std::vector<std::uint32_t> listed;   // the listed players' record positions, in list order
  std::vector<std::size_t> selected;   // indexes into listed, ascending
  std::size_t focus_row = 0;           // index into listed
  std::vector<const Field*> columns;   // the shown columns, in screen order
  std::size_t focus_column = 0;        // index into columns
  std::vector<std::uint32_t> players;  // every player a record position may name
};

struct PastePlan {
  std::vector<CellEdit> edits;
  std::vector<std::string> problems;  // the first ten, for the user
  std::size_t more = 0;               // problems past those
  bool ok() const { return problems.empty(); }
};

// Reads tab-separated text in the names' code page, as spreadsheets put it on
// the clipboard, into edits:
// - a header line with "Record" sends each row to the player at that position;
// - a header without it sends the rows to the selected players in list order;
// - with no header the block goes into the shown columns from the focused cell.
// A cell the player already shows is left alone, so a copy pasted back changes
// nothing. Any problem of shape, label or value refuses the whole block.
PastePlan PlanPaste(const RosterView& view, const PendingEdits& edits, std::string_view text, const PasteTarget& target);

}  // namespace rostrel
