// The player list: where the players lie in a roster file, the one forward pass
// that lists them, the sort order of the name columns and the name search.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rostrel {

constexpr std::uint32_t kRecordSize = 500;
constexpr std::uint32_t kPlayerCountOffset = 0x1C;  // from the header offset
constexpr std::uint32_t kTableReferenceOffset = 0x20;
constexpr int kMaxPlayers = 32767;  // list rows are counted in a signed 16-bit number

// One row of the player list.
struct PlayerEntry {
  std::string first_name;
  std::string last_name;
  std::uint32_t position = 0;  // the record position, 1-based in the file
};

// The text of a row's hidden third column: a blank and the position's decimal digits.
std::string PositionCell(std::uint32_t position);
// The record position a third-column text holds, or 0.
std::uint32_t PositionOfCell(std::string_view cell);

// What the list fill found wrong with a file; all zero for a sound file.
struct ListReport {
  bool unreadable = false;       // the file could not be opened or read
  bool no_header = false;        // too short for the roster header
  std::uint32_t stored_count = 0;  // the header's player count
  std::uint32_t dropped_players = 0;  // listed by the header but beyond 32767 or outside the file
  std::uint32_t names_outside = 0;
  std::uint32_t names_unterminated = 0;
  std::uint32_t names_cut = 0;  // longer than the longest name shown
  std::uint32_t names_wide = 0;  // with units above 0xFF
};

// Reads the file at path sequentially and returns one row per listed player, in
// file order. Never reads outside the file: the count is capped at 32767 and at
// the records that lie wholly inside the file.
std::vector<PlayerEntry> FillPlayerList(const std::string& path, std::uint32_t header_offset,
                                        ListReport* report = nullptr);

// The rows whose "First Last" is name, ignoring case by the system code
// page's rules (as the search does), in list order.
std::vector<std::size_t> RowsNamed(const std::vector<PlayerEntry>& rows, std::string_view name);

// Per-column sort state: none before the first sort, then 'A' or 'D'.
struct SortState {
  std::map<int, char> column;
};
enum class SortOrder { Ascending, Descending };

// The order a click on a column sorts in, with its state toggled: ascending
// first, then reversed at each click; each column keeps its own state.
SortOrder NextSortOrder(SortState& state, int column);
// Orders rows by column 1 (first names) or 2 (last names); equal texts keep their order.
void SortPlayerRows(std::vector<PlayerEntry>& rows, int column, SortOrder order);
// Row comparison of the sort: negative, 0 or positive.
int CompareRows(const PlayerEntry& a, const PlayerEntry& b, int column);

// Where the next search starts: (row, column), both 1-based.
struct SearchStart {
  int row = 1;
  int column = 1;
};

// The text of the list's cells, as the search reads them.
class ListCells {
 public:
  virtual ~ListCells() = default;
  virtual int RowCount() const = 0;
  // Column 1 is the first name, 2 the last name.
  virtual std::string CellText(int row, int column) const = 0;
};

// Rows held in memory; column 3 is the hidden position cell.
class PlayerRows : public ListCells {
 public:
  explicit PlayerRows(const std::vector<PlayerEntry>& rows) : rows_(rows) {}
  int RowCount() const override;
  std::string CellText(int row, int column) const override;

 private:
  const std::vector<PlayerEntry>& rows_;
};

// The first row from the search start on whose whole cell equals text,
// ignoring case: first names from the start row down, then every last name.
// Moves the start behind a match; returns the row, or 0.
int FindPlayer(const ListCells& cells, SearchStart& start, std::string_view text);
// One press of Enter in the search box: FindPlayer, and back to (1, 1) when it
// finds nothing (the caller then says "Not Find!").
int SearchNext(const ListCells& cells, SearchStart& start, std::string_view text);

}  // namespace rostrel
