// Player names in a roster file: 16-bit little-endian code units closed by a
// unit 0, found through self-relative references; shown by each unit's low byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "roster/roster_file.h"

namespace rostrel {

// The most characters a name is read with. Longer stored names show (and are
// edited in) their first kMaxNameLength characters; the rest stays as stored.
constexpr std::size_t kMaxNameLength = 255;

// What reading one name found, besides its text.
enum class NameRead {
  Closed,        // ended by a unit 0
  Unterminated,  // the file ended first
  Outside,       // the name does not start inside the file
  Cut,           // longer than kMaxNameLength
};

struct DecodedName {
  std::string text;   // one character per code unit: the unit's low byte
  NameRead how = NameRead::Closed;
  bool wide = false;  // some unit had a non-zero high byte
};

// Decodes the name whose first unit is at 0-based offset start. Source is any
// type with Size() and a bool Read(offset, destination, n) that fails outside
// the file.
template <class Source>
DecodedName DecodeName(Source& source, std::uint64_t start) {
  DecodedName name;
  if (start >= source.Size()) {
    name.how = NameRead::Outside;
    return name;
  }
  for (std::uint64_t at = start;; at += 2) {
    unsigned char unit[2];
    if (!source.Read(at, unit, 2)) {
      name.how = NameRead::Unterminated;
      return name;
    }
    if (unit[0] == 0 && unit[1] == 0) return name;
    if (name.text.size() == kMaxNameLength) {
      name.how = NameRead::Cut;
      return name;
    }
    name.text += static_cast<char>(unit[0]);
    name.wide = name.wide || unit[1] != 0;
  }
}

// The target of the self-relative reference whose 32-bit value v lies at 0-based
// offset x: x + v - 1, in 32-bit arithmetic, so that a reference can also point
// backwards. Files are below 4 GiB, so every target is representable.
constexpr std::uint32_t RelativeTarget(std::uint32_t x, std::uint32_t v) { return x + v - 1; }

// The same rule in 1-based positions over the mapped view: p + v - 1, v being
// the 32-bit value at position p (0 when it does not lie in the view).
std::uint32_t ResolveRelative(const RosterView& view, std::uint32_t p);
// The name text whose first unit is at 1-based position q of the mapped view.
std::string ReadNameAt(const RosterView& view, std::uint32_t q);

// A name as a list cell shows it: up to its first character code 0 (a unit
// such as 0x0100 whose low byte is 0).
std::string CellText(std::string_view name);

// What pads a name saved shorter than its stored length: neither NUL nor blank.
constexpr char kNameFill = 0x14;
// A name without the fill a shortened save left after it.
std::string_view Unfilled(std::string_view name);
// A name as the list, the name boxes, the search and the filter see it: its
// cell text without the fill.
std::string ShownName(std::string_view name);

// Upper and lower case of a text in the system's single-byte code page.
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

// Orders two list cells: at most their first 255 characters, upper case,
// unsigned codes, the shorter text first. Negative, 0 or positive.
int CompareSortText(std::string_view a, std::string_view b);

}  // namespace rostrel
