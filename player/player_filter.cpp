#include "player/player_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>

#include "player/codecs.h"
#include "player/names.h"
#include "roster/write_lock.h"

namespace rostrel {

namespace {

using Op = FilterTerm::Op;

// Latin-1 and Windows-1252 letters to their plain lower-case letter.
std::array<char, 256> MakeFolding() {
  std::array<char, 256> fold{};
  for (int c = 0; c < 256; ++c) fold[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  auto map = [&fold](int from, int to, char letter) {
    for (int c = from; c <= to; ++c) fold[c] = letter;
  };
  map(0xC0, 0xC5, 'a'), map(0xE0, 0xE5, 'a'), map(0xC7, 0xC7, 'c'), map(0xE7, 0xE7, 'c');
  map(0xC8, 0xCB, 'e'), map(0xE8, 0xEB, 'e'), map(0xCC, 0xCF, 'i'), map(0xEC, 0xEF, 'i');
  map(0xD0, 0xD0, 'd'), map(0xF0, 0xF0, 'd'), map(0xD1, 0xD1, 'n'), map(0xF1, 0xF1, 'n');
  map(0xD2, 0xD6, 'o'), map(0xF2, 0xF6, 'o'), map(0xD8, 0xD8, 'o'), map(0xF8, 0xF8, 'o');
  map(0xD9, 0xDC, 'u'), map(0xF9, 0xFC, 'u'), map(0xDD, 0xDD, 'y'), map(0xFD, 0xFD, 'y'), map(0xFF, 0xFF, 'y');
  map(0x8A, 0x8A, 's'), map(0x9A, 0x9A, 's'), map(0x8E, 0x8E, 'z'), map(0x9E, 0x9E, 'z'), map(0x9F, 0x9F, 'y');
  map(0xC6, 0xC6, static_cast<char>(0xE6)), map(0xDE, 0xDE, static_cast<char>(0xFE));
  return fold;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) { return UpperText(a) == UpperText(b); }

// A term cut into its label, operator and values, quotes removed.
struct TermParts {
  std::string label, op;
  std::vector<std::string> values;
};

std::optional<std::string> TakeTerm(std::string_view& text, std::string& error) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  bool quoted = false;
  std::size_t k = 0;
  for (; k < text.size() && (quoted || text[k] != ' '); ++k) quoted = text[k] == '"' ? !quoted : quoted;
  std::string term(text.substr(0, k));
  text.remove_prefix(k);
  if (quoted) error = "\"" + term + "\": a quote is not closed";
  return term;
}

// Splits a term at its first operator and its values at "|", outside quotes.
TermParts Split(const std::string& term) {
  TermParts parts;
  std::string current;
  bool quoted = false, in_values = false;
  for (std::size_t k = 0; k < term.size(); ++k) {
    const char c = term[k];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      current += c;
    } else if (!in_values && (c == '=' || c == '!' || c == '<' || c == '>')) {
      parts.label = current;
      current.clear();
      parts.op = c;
      if (k + 1 < term.size() && term[k + 1] == '=' && c != '=') parts.op += term[++k];
      in_values = true;
    } else if (in_values && c == '|') {
      parts.values.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (in_values) parts.values.push_back(current);
  else parts.label = current;
  return parts;
}

// A drop-down's item by a prefix of its text, ignoring case; an item named in
// full wins. 0 with an error for none or two.
int ItemByPrefix(const Field& field, const std::string& value, std::string& error) {
  if (value.empty()) return 0;
  if (const int item = ItemNamed(field, value)) return item;
  int found = 0;
  for (int item = 1; item <= field.list->Count(); ++item) {
    const std::string_view name = field.list->items()[static_cast<std::size_t>(item - 1)];
    if (name.size() < value.size() || !SameIgnoringCase(name.substr(0, value.size()), value)) continue;
    if (found) {
      error = "\"" + value + "\" fits both " + field.list->items()[static_cast<std::size_t>(found - 1)] + " and " +
              std::string(name);
      return -1;
    }
    found = item;
  }
  if (!found) error = "no item of " + field.label + " starts with \"" + value + "\"";
  return found ? found : -1;
}

// A number a comparison takes: the whole value must be one.
std::optional<double> WholeNumber(const Field& field, std::string_view value) {
  std::string_view text = value;
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (field.sort == SortKey::Height) {
    for (char c : text) {
      if (!(c >= '0' && c <= '9') && c != '\'' && c != '-' && c != '"' && c != ' ' && c != '.') return std::nullopt;
    }
    return TypedInches(text);
  }
  const std::optional<double> n = LeadingNumber(text);
  const std::string_view digits = "+-.0123456789 ";
  if (!n || text.find_first_not_of(digits) != std::string_view::npos) return std::nullopt;
  return n;
}

bool ReadTerm(const std::string& term, FilterTerm& out, std::string& why) {
  const TermParts parts = Split(term);
  if (parts.op.empty()) {
    out.op = Op::Name;
    out.texts = {FoldedText(parts.label)};
    return true;
  }
  static const std::map<std::string, Op> kOps{{"=", Op::Equal},     {"!=", Op::NotEqual},      {"<", Op::Less},
                                               {"<=", Op::LessEqual}, {">", Op::Greater}, {">=", Op::GreaterEqual}};
  const auto op = kOps.find(parts.op);
  if (op == kOps.end()) {
    why = "\"" + parts.op + "\" is no operator: use =, !=, <, <=, > or >=";
    return false;
  }
  out.op = op->second;
  out.field = FindField(parts.label);
  if (!out.field) {
    why = parts.label.empty() ? "a label comes before " + parts.op : "no field is labelled \"" + parts.label + "\"";
    return false;
  }
  const bool compares = out.op != Op::Equal && out.op != Op::NotEqual;
  if (compares && out.field->sort == SortKey::Name) {
    why = out.field->label + " is a name: it takes = and != only";
    return false;
  }
  for (const std::string& value : parts.values) {
    if (out.field->sort == SortKey::Item) {
      const int item = ItemByPrefix(*out.field, value, why);
      if (item < 0) return false;
      out.numbers.push_back(item);
    } else if (compares) {
      const std::optional<double> n = WholeNumber(*out.field, value);
      if (!n) {
        why = "\"" + value + "\" is not " +
              (out.field->sort == SortKey::Height ? "a height (82 or 6-10)" : std::string("a number"));
        return false;
      }
      out.numbers.push_back(*n);
    }
    out.texts.push_back(value);
  }
  return true;
}

bool Holds(const FilterTerm& term, ListedFields& fields, std::size_t row) {
  if (term.op == Op::Name) {
    const std::string& word = term.texts.front();
    static const Field* const names[] = {FieldAt(kVitalsTab, vitals::kFirstName), FieldAt(kVitalsTab, vitals::kLastName)};
    for (const Field* name : names) {
      if (FoldedText(fields.Text(row, *name)).find(word) != std::string::npos) return true;
    }
    return false;
  }
  const Field& field = *term.field;
  const std::string& text = fields.Text(row, field);
  if (term.op == Op::Equal || term.op == Op::NotEqual) {
    bool any = false;
    for (std::size_t k = 0; k < term.texts.size() && !any; ++k) {
      any = field.sort == SortKey::Item ? ItemNamed(field, text) == term.numbers[k]
            : field.is_name()           ? SameIgnoringCase(text, term.texts[k])
                                        : ShowsAsTyped(field, term.texts[k], text) || SameIgnoringCase(text, term.texts[k]);
    }
    return any == (term.op == Op::Equal);
  }
  // A drop-down that shows no item is in no order.
  const std::optional<double> value = SortValue(field, text);
  if (!value || (field.sort == SortKey::Item && *value == 0)) return false;
  for (double n : term.numbers) {
    const bool holds = term.op == Op::Less        ? *value < n
                       : term.op == Op::LessEqual ? *value <= n
                       : term.op == Op::Greater   ? *value > n
                                                  : *value >= n;
    if (holds) return true;
  }
  return false;
}

}  // namespace

const std::vector<std::string>& ListedFields::Column(const Field& field) {
  auto [it, added] = columns_.try_emplace(&field);
  if (added) {
    // Read whole: never half a write of another program.
    const RosterLock lock = LockRoster(view_->path, LockKind::Shared, LockWait());
    it->second.reserve(rows_->size());
    for (const PlayerEntry& row : *rows_) it->second.push_back(ReadFieldText(*view_, row.position, field));
  }
  return it->second;
}

void ListedFields::Refresh(std::size_t row) {
  for (auto& [field, texts] : columns_) texts[row] = ReadFieldText(*view_, (*rows_)[row].position, *field);
}

std::string FoldedText(std::string_view text) {
  static const std::array<char, 256> fold = MakeFolding();
  std::string out(text);
  for (char& c : out) c = fold[static_cast<unsigned char>(c)];
  return out;
}

FilterParse ParseFilter(std::string_view text) {
  FilterParse parse;
  std::string error;
  while (const std::optional<std::string> term = TakeTerm(text, error)) {
    if (!error.empty()) {
      parse.error = error;
      return parse;
    }
    FilterTerm read;
    std::string why;
    if (!ReadTerm(*term, read, why)) {
      parse.error = "\"" + *term + "\": " + why;
      parse.filter.terms.clear();
      return parse;
    }
    parse.filter.terms.push_back(std::move(read));
  }
  return parse;
}

bool Matches(const Filter& filter, ListedFields& fields, std::size_t row) {
  return std::all_of(filter.terms.begin(), filter.terms.end(),
                     [&](const FilterTerm& term) { return Holds(term, fields, row); });
}

std::vector<std::size_t> FilterRows(const Filter& filter, ListedFields& fields, const std::vector<std::size_t>& order) {
  if (filter.terms.empty()) return order;
  std::vector<std::size_t> kept;
  for (std::size_t row : order) {
    if (Matches(filter, fields, row)) kept.push_back(row);
  }
  return kept;
}

void SortRows(std::vector<std::size_t>& order, ListedFields& fields, const Field& field, bool descending) {
  const std::vector<std::string>& texts = fields.Column(field);
  if (field.sort == SortKey::Name) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const int result = CompareSortText(texts[a], texts[b]);
      return descending ? result > 0 : result < 0;
    });
    return;
  }
  // A text without a number sorts below every number.
  std::vector<double> values(texts.size());
  for (std::size_t row : order) values[row] = SortValue(field, texts[row]).value_or(-HUGE_VAL);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return descending ? values[a] > values[b] : values[a] < values[b];
  });
}

std::vector<std::size_t> FileOrder(std::size_t n) {
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  return order;
}

}  // namespace rostrel
