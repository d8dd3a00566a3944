// Every field of a player as the three pages show it, by its page label: where
// the text lives on the pages, whether the user can change it, how its texts
// sort and compare, and its text read straight from the file for every player
// at once. The command-line tool, its CSV and the window's list all use it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/memory_pages.h"
#include "player/vitals_table.h"
#include "roster/roster_file.h"

namespace rostrel {

enum class FieldKind {
  Text,   // an edit box
  Combo,  // a drop-down list: one of its items, or empty
  Check,  // "IFF Enabled": "1" or "0"
  Shown,  // a value the pages only display
};

// How a field's texts order and compare.
enum class SortKey {
  Name,    // as the list sorts names
  Number,  // by the number the text starts with
  Height,  // by inches
  Item,    // by the drop-down's item order, an empty one first
};

struct Field {
  std::string label;
  int tab;
  int id;
  FieldKind kind;
  const ListCodec* list = nullptr;  // Combo: its items
  SortKey sort = SortKey::Number;
  bool editable() const { return kind != FieldKind::Shown; }
  bool is_name() const { return sort == SortKey::Name; }
};

// In page order: VITALS, ATTRIBUTES, TENDENCIES.
const std::vector<Field>& Fields();
// Two labels the same, ignoring case.
bool SameLabel(std::string_view a, std::string_view b);
// By label, ignoring case; none when no field has it.
const Field* FindField(std::string_view label);
// The field of a page's value control, or none.
const Field* FieldAt(int tab, int id);
// The caption of the label of any value control of the three pages, by tab
// item and ID ("Speed", "Height"); empty for any other control.
std::string PageLabel(int tab, int id);
// The caption of the label beside box 100 + i of ATTRIBUTES or TENDENCIES.
const char* BlockBoxLabel(int tab, int id);
// The three pages' captions, by tab item.
const char* PageName(int tab);

// Would the field show typed, as typed, when it shows shown?
bool ShowsAsTyped(const Field& field, std::string_view typed, std::string_view shown);

// The field's text on the pages, as the user sees it.
std::string FieldText(const EditorPages& pages, const Field& field);
// Puts text into the field as typing it into the box (or picking the item,
// or setting the check mark) would; false, with a reason, when the box could
// not take it.
bool PutFieldText(MemoryPages& pages, const Field& field, std::string_view text, std::string& why);
// What the field's box would hold once the user typed text into it for the
// player at position: the text, the item's own text, "1" or "0"; none, with
// a reason, when the box would not take it.
std::optional<std::string> TypedFieldText(const RosterView& view, std::uint32_t position, const Field& field,
                                          std::string_view text, std::string& why);
// Shows a text the box took (TypedFieldText) in the field on the pages.
void ShowFieldText(EditorPages& pages, const Field& field, std::string_view held);

// A number field's text moved by step ("+5", "-5"): the number shown plus the
// step, kept within what the field holds. None, with a reason, when the field
// holds no number to move or the text shows none.
std::optional<std::string> SteppedFieldText(const Field& field, std::string_view shown, double step, std::string& why);
// A step typed for a number field: "+5", "-2.5"; none for any other text.
std::optional<double> TypedStep(const Field& field, std::string_view text);

// The label of the record position's column in sheets and copies.
constexpr const char* kRecordLabel = "Record";

// The field's text for the player whose record is at position, as a load
// would show it, read from the view without the pages.
std::string ReadFieldText(const RosterView& view, std::uint32_t position, const Field& field);

// The value a text of the field sorts and compares by: a number for Number
// and Height, the item (0 for none) for Item; none when the text holds no number.
std::optional<double> SortValue(const Field& field, std::string_view text);
// The drop-down's item (1-based) whose text is text, ignoring case; 0 for none.
int ItemNamed(const Field& field, std::string_view text);

}  // namespace rostrel
