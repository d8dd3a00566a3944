#include "player/field_catalog.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "player/codecs.h"
#include "player/names.h"
#include "player/records.h"
#include "roster/field.h"

namespace rostrel {

namespace {

// The labels beside the byte pages' boxes, box 100 first.
constexpr const char* kRatingLabels[] = {
    "Shooting(Close)", "Shooting(Med.)", "Shooting(3Pt.)", "Free Throws", "Layups", "Dunking", "Standing Dunk",
    "Shoot In Traffic", "Shoot Off Dribble", "Hustle", "Ballhandling", "Passing", "Offensive Clutch?",
    "Defensive Clutch?", "Low Post Off.", "Low Post Def.", "Blocking", "Hands", "Stealing", "Speed", "Stamina",
    "???", "Vertical", "Off. Rebounding", "Def. Rebounding", "Durability", "Def. Awareness", "Off. Awareness",
    "Consistency?", "Fast Break?", "On Ball Defense", "Quickness", "Potential", "Strength"};
constexpr const char* kTendencyLabels[] = {
    "Shot Tendency", "Close Shots", "Mid-Range Shots", "3Pt Shots", "Drive The Lane", "Attempts Dunks",
    "Back to Baskets", "Triple Threat", "Shoots Fadeaways", "Shoots Hookshots", "Attempts Putback",
    "Flashy Passes", "Commits Fouls", "Passing Lanes", "On Ball Steals", "Contests Shots"};
static_assert(std::size(kRatingLabels) == kRatings.length && std::size(kTendencyLabels) == kTendencies.length);

std::vector<Field> MakeFields() {
  // VITALS as its table gives it, then the byte pages box by box.
  std::vector<Field> all;
  for (const VitalsField& f : VitalsFields()) {
    const FieldKind kind = f.kind == VitalsKind::Shown  ? FieldKind::Shown
                           : f.kind == VitalsKind::List ? FieldKind::Combo
                           : f.kind == VitalsKind::Iff  ? FieldKind::Check
                                                        : FieldKind::Text;
    const SortKey sort = f.kind == VitalsKind::FirstName || f.kind == VitalsKind::LastName ? SortKey::Name
                         : f.kind == VitalsKind::List                                        ? SortKey::Item
                         : f.control == vitals::kHeight                                      ? SortKey::Height
                                                                                             : SortKey::Number;
    all.push_back({f.label, kVitalsTab, f.control, kind, f.list, sort});
  }
  for (const ByteBlock& block : {kRatings, kTendencies}) {
    for (std::uint32_t i = 0; i < block.length; ++i) {
      const int id = kFirstBlockBox + static_cast<int>(i);
      all.push_back({BlockBoxLabel(block.tab, id), block.tab, id, FieldKind::Text});
    }
  }
  return all;
}

std::string ItemText(const Field& field, int item) {
  return item >= 1 && item <= field.list->Count() ? field.list->items()[static_cast<std::size_t>(item - 1)] : "";
}

}  // namespace

bool SameLabel(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

const std::vector<Field>& Fields() {
  static const std::vector<Field> all = MakeFields();
  return all;
}

const Field* FindField(std::string_view label) {
  for (const Field& f : Fields()) {
    if (SameLabel(f.label, label)) return &f;
  }
  return nullptr;
}

const Field* FieldAt(int tab, int id) {
  for (const Field& f : Fields()) {
    if (f.tab == tab && f.id == id) return &f;
  }
  return nullptr;
}

const char* BlockBoxLabel(int tab, int id) {
  const auto i = static_cast<std::size_t>(id - kFirstBlockBox);
  if (id < kFirstBlockBox) return "";
  if (tab == kAttributesTab) return i < std::size(kRatingLabels) ? kRatingLabels[i] : "";
  if (tab == kTendenciesTab) return i < std::size(kTendencyLabels) ? kTendencyLabels[i] : "";
  return "";
}

std::string PageLabel(int tab, int id) {
  if (tab != kVitalsTab) return BlockBoxLabel(tab, id);
  const VitalsField* f = FindVitalsField(id);
  return f ? f->label : "";
}

const char* PageName(int tab) {
  return tab == kVitalsTab ? "Vitals" : tab == kAttributesTab ? "Attributes" : tab == kTendenciesTab ? "Tendencies" : "";
}

bool ShowsAsTyped(const Field& field, std::string_view typed, std::string_view shown) {
  if (field.kind == FieldKind::Check) return typed == shown;
  return rostrel::ShowsAsTyped(field.tab, field.id, typed, shown);
}

std::string FieldText(const EditorPages& pages, const Field& field) {
  switch (field.kind) {
    case FieldKind::Combo: return ItemText(field, pages.GetComboIndex(field.tab, field.id));
    case FieldKind::Check: return pages.GetCheck(field.tab, field.id) ? "1" : "0";
    default: return pages.GetFieldText(field.tab, field.id);
  }
}

std::string ReadFieldText(const RosterView& view, std::uint32_t position, const Field& field) {
  if (field.tab != kVitalsTab) {
    const std::uint32_t first = field.tab == kAttributesTab ? kRatings.first : kTendencies.first;
    return FormatFieldNumber(ReadByteAt(view, FieldAddress(position, first + static_cast<std::uint32_t>(field.id - kFirstBlockBox))));
  }
  const VitalsField& f = *FindVitalsField(field.id);
  if (f.kind == VitalsKind::FirstName || f.kind == VitalsKind::LastName) return ShownNameAt(view, position + f.offset);
  const std::uint32_t v = ReadField(view, FieldAddress(position, f.offset), f.bits);
  switch (f.kind) {
    case VitalsKind::Number: return FormatFieldNumber(v);
    case VitalsKind::List: return ItemText(field, f.list->ItemOf(v));
    case VitalsKind::Iff: return v != 4 ? "1" : "0";
    default: return CellText(f.text(v));
  }
}

std::optional<double> SortValue(const Field& field, std::string_view text) {
  switch (field.sort) {
    case SortKey::Height: return TypedInches(text);
    case SortKey::Item: return ItemNamed(field, text);
    default: return LeadingNumber(text);
  }
}

int ItemNamed(const Field& field, std::string_view text) {
  for (int item = 1; field.list && item <= field.list->Count(); ++item) {
    if (SameLabel(text, field.list->items()[static_cast<std::size_t>(item - 1)])) return item;
  }
  return 0;
}

namespace {

// What the box takes of text: the reason it refuses, else none.
std::optional<std::string> Refusal(const Field& field, std::string_view text, std::uint32_t name_limit) {
  switch (field.kind) {
    case FieldKind::Shown: return "the pages only show this field";
    case FieldKind::Combo: {
      if (ItemNamed(field, text)) return std::nullopt;
      std::string names;
      for (int item = 1; item <= field.list->Count(); ++item) {
        names += std::string(names.empty() ? "" : item == field.list->Count() ? " and " : ", ") + ItemText(field, item);
      }
      return "the list holds only " + names;
    }
    case FieldKind::Check:
      if (text != "0" && text != "1") return "the check box takes 1 or 0";
      return std::nullopt;
    case FieldKind::Text: break;
  }
  // The byte pages' boxes take digits only.
  if (field.tab != kVitalsTab && text.find_first_not_of("0123456789") != std::string_view::npos) {
    return "the box takes digits only";
  }
  if (field.is_name() && text.size() > name_limit) {
    return "a name can be at most " + std::to_string(name_limit) + " characters long here (its stored length)";
  }
  return std::nullopt;
}

}  // namespace

bool PutFieldText(MemoryPages& pages, const Field& field, std::string_view text, std::string& why) {
  const std::optional<std::string> refused = Refusal(field, text, pages.GetFieldLimit(field.tab, field.id));
  if (refused) {
    why = *refused;
    return false;
  }
  if (field.kind == FieldKind::Text) pages.Type(field.tab, field.id, text);
  else ShowFieldText(pages, field, text);
  return true;
}

std::optional<std::string> TypedFieldText(const RosterView& view, std::uint32_t position, const Field& field,
                                          std::string_view text, std::string& why) {
  std::uint32_t limit = 0;
  if (field.is_name()) {
    limit = static_cast<std::uint32_t>(ReadNameAt(view, ResolveRelative(view, position + FindVitalsField(field.id)->offset)).size());
  }
  if (const std::optional<std::string> refused = Refusal(field, text, limit)) {
    why = *refused;
    return std::nullopt;
  }
  switch (field.kind) {
    case FieldKind::Combo: return ItemText(field, ItemNamed(field, text));
    case FieldKind::Check: return std::string(text);
    default: break;
  }
  std::string held;  // no box holds a NUL
  for (char c : text) {
    if (c != '\0') held += c;
  }
  return held;
}

void ShowFieldText(EditorPages& pages, const Field& field, std::string_view held) {
  switch (field.kind) {
    case FieldKind::Combo: pages.SetComboIndex(field.tab, field.id, ItemNamed(field, held)); break;
    case FieldKind::Check: pages.SetCheck(field.tab, field.id, held == "1" ? 1 : 4); break;
    default: pages.SetFieldText(field.tab, field.id, held); break;
  }
}

namespace {

// The numbers a field holds, where a step can move it.
struct Range {
  double low, high;
};

std::optional<Range> NumberRange(const Field& field) {
  if (field.kind != FieldKind::Text || field.is_name()) return std::nullopt;
  if (field.tab != kVitalsTab) return Range{0, 255};
  const VitalsField& f = *FindVitalsField(field.id);
  if (f.kind == VitalsKind::Number) return Range{0, static_cast<double>((std::uint64_t{1} << f.bits) - 1)};
  switch (field.id) {
    case vitals::kHeight: return Range{kShortestInches, kTallestInches};
    case vitals::kWeight: return Range{0, 32767};
    case vitals::kNumber: return Range{0, 99};
    case vitals::kYearsPro: return Range{0, 31.75};
    case vitals::kDraftYear: return Range{1947, 2046};
    case vitals::kRound: return Range{0, 15};
    default: break;
  }
  if (field.id >= vitals::kFirstSalary && field.id < vitals::kFirstSalary + vitals::kSalaryYears) {
    return Range{0, 4294.967};
  }
  return std::nullopt;  // the birth date
}

}  // namespace

std::optional<double> TypedStep(const Field& field, std::string_view text) {
  if (text.size() < 2 || (text[0] != '+' && text[0] != '-') || !NumberRange(field)) return std::nullopt;
  std::string_view rest = text.substr(1);
  const std::optional<double> step = LeadingNumber(rest);
  if (!step || rest.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
  return text[0] == '-' ? -*step : *step;
}

std::optional<std::string> SteppedFieldText(const Field& field, std::string_view shown, double step, std::string& why) {
  const std::optional<Range> range = NumberRange(field);
  const std::optional<double> now = range ? SortValue(field, shown) : std::nullopt;
  if (!now) {
    why = range ? "\"" + std::string(shown) + "\" shows no number to add to" : field.label + " holds no number";
    return std::nullopt;
  }
  const double value = std::clamp(*now + step, range->low, range->high);
  if (field.sort == SortKey::Height) return HeightAsShown(std::to_string(static_cast<int>(std::lround(value))));
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

}  // namespace rostrel
