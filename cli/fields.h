// Every field of a player as the three pages show it, by its page label, for
// the command-line tool: where the text lives on the pages and whether the
// user can change it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "player/memory_pages.h"
#include "player/vitals_table.h"

namespace rostrel::cli {

enum class FieldKind {
  Text,   // an edit box
  Combo,  // a drop-down list: one of its items, or empty
  Check,  // "IFF Enabled": "1" or "0"
  Shown,  // a value the pages only display
};

struct Field {
  std::string label;
  int tab;
  int id;
  FieldKind kind;
  const ListCodec* list = nullptr;  // Combo: its items
  bool editable() const { return kind != FieldKind::Shown; }
};

// In page order: VITALS, ATTRIBUTES, TENDENCIES.
const std::vector<Field>& Fields();
// By label, ignoring case; none when no field has it.
const Field* FindField(std::string_view label);

// Would the field show typed, as typed, when it shows shown?
bool ShowsAsTyped(const Field& field, std::string_view typed, std::string_view shown);

// The field's text on the pages, as the user sees it.
std::string FieldText(const MemoryPages& pages, const Field& field);
// Puts text into the field as typing it into the box (or picking the item,
// or setting the check mark) would; false, with a reason, when the box could
// not take it.
bool PutFieldText(MemoryPages& pages, const Field& field, std::string_view text, std::string& why);

}  // namespace rostrel::cli
