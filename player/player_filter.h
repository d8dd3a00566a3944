// Many players at once: the listed players' fields read a column at a time,
// the filter language that picks players by them, and the stable sort by any
// field. The window's list and rostrel-cli list and export share it.
//
// A filter is terms separated by blanks; every term must hold. A label or a
// value with blanks is quoted with double quotes.
//   word            the first or the last name contains it, ignoring case and accents
//   Label=v         the field shows v, as the pages show it (a drop-down's item by a
//   Label!=v        prefix of its text, ignoring case); != holds when it does not
//   Label<v  <=  >  >=   numbers by value (a height in inches or as 6-10), a
//                   drop-down by its items' order
//   Label=v|w|"x y" any of the values
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "player/field_catalog.h"
#include "player/player_list.h"
#include "roster/roster_file.h"

namespace rostrel {

// The listed players' field texts, as a load would show them, one column at a
// time: a column is read from the view on its first use and kept.
class ListedFields {
 public:
  ListedFields(const RosterView& view, const std::vector<PlayerEntry>& rows) : view_(&view), rows_(&rows) {}
  std::size_t Count() const { return rows_->size(); }
  // One text per listed player, in the rows' order.
  const std::vector<std::string>& Column(const Field& field);
  const std::string& Text(std::size_t row, const Field& field) { return Column(field)[row]; }
  // The player of row was written: his kept texts are read again.
  void Refresh(std::size_t row);
  // Every column is read again on its next use.
  void Forget() { columns_.clear(); }

 private:
  const RosterView* view_;
  const std::vector<PlayerEntry>* rows_;
  std::map<const Field*, std::vector<std::string>> columns_;
};

// A text in the names' code page, lower case and without accents, as the
// filter's words match names.
std::string FoldedText(std::string_view text);

struct FilterTerm {
  enum class Op { Name, Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
  Op op = Op::Name;
  const Field* field = nullptr;  // none for a name word
  std::vector<std::string> texts;  // the values (a word folded)
  std::vector<double> numbers;     // comparisons: the values' numbers; drop-downs: their items
};

struct Filter {
  std::vector<FilterTerm> terms;
};

// The filter a text says, or the error that names the first term that cannot
// be read and why. Texts are in the names' code page.
struct FilterParse {
  Filter filter;
  std::string error;
  bool ok() const { return error.empty(); }
};
FilterParse ParseFilter(std::string_view text);

bool Matches(const Filter& filter, ListedFields& fields, std::size_t row);
// The rows of order that match, in that order.
std::vector<std::size_t> FilterRows(const Filter& filter, ListedFields& fields, const std::vector<std::size_t>& order);

// Orders rows by the field, stably: names as the name columns sort, numbers
// and heights by value, drop-downs by item order; a text without a number
// first. Descending reverses the order of unequal rows only.
void SortRows(std::vector<std::size_t>& order, ListedFields& fields, const Field& field, bool descending);

// 0, 1, ..., n - 1.
std::vector<std::size_t> FileOrder(std::size_t n);

}  // namespace rostrel
