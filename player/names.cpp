#include "player/names.h"

#include <array>

#include "roster/field.h"

namespace rostrel {

namespace {

// Reads from the mapped view, with any pending writes.
struct ViewSource {
  const RosterView& view;
  std::uint64_t Size() const { return IsOpen(view) ? view.size : 0; }
  bool Read(std::uint64_t offset, void* destination, std::size_t n) const {
    return ReadBytesAt(view, offset, destination, n);
  }
};

using CaseTable = std::array<unsigned char, 256>;

CaseTable MakeCaseTable(unsigned char (*convert)(unsigned char)) {
  CaseTable table{};
  for (int c = 0; c < 256; ++c) table[c] = convert(static_cast<unsigned char>(c));
  return table;
}

const CaseTable& UpperTable() {
  static const CaseTable table = MakeCaseTable(PlatformUpperChar);
  return table;
}

const CaseTable& LowerTable() {
  static const CaseTable table = MakeCaseTable(PlatformLowerChar);
  return table;
}

std::string Convert(std::string_view text, const CaseTable& table) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

}  // namespace

std::uint32_t ResolveRelative(const RosterView& view, std::uint32_t p) {
  return RelativeTarget(p, ReadDwordAt(view, FieldAddress(p, 0)));
}

std::string ReadNameAt(const RosterView& view, std::uint32_t q) {
  ViewSource source{view};
  return DecodeName(source, FieldAddress(q, 0)).text;
}

std::string CellText(std::string_view name) { return std::string(name.substr(0, name.find('\0'))); }

std::string_view Unfilled(std::string_view name) {
  while (!name.empty() && name.back() == kNameFill) name.remove_suffix(1);
  return name;
}

std::string ShownName(std::string_view name) { return std::string(Unfilled(CellText(name))); }

std::string UpperText(std::string_view text) { return Convert(text, UpperTable()); }
std::string LowerText(std::string_view text) { return Convert(text, LowerTable()); }

int CompareSortText(std::string_view a, std::string_view b) {
  constexpr std::size_t kCompared = 255;
  a = a.substr(0, kCompared);
  b = b.substr(0, kCompared);
  const CaseTable& upper = UpperTable();
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const int ca = upper[static_cast<unsigned char>(a[i])];
    const int cb = upper[static_cast<unsigned char>(b[i])];
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace rostrel
