// The page VITALS as one table: each value control, its label, where its field
// lies in the player record, how wide it is read, how it is shown and whether
// the save reads it back. Load, save and the command-line tool's field list
// all walk it, in the order the load fills the page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rostrel {

enum class VitalsKind {
  FirstName,   // the name behind the self-relative reference at the offset
  LastName,
  Number,      // an edit box with the field's plain number
  Shown,       // a static text, never read back
  Text,        // an edit box with text(value), read back through value(text)
  BirthDate,   // the dword at 54: bits 11-31
  DraftRound,  // the word at 54: bits 7-10
  BodyShape,   // the combo box: bits 5-6 of the dword
  Iff,         // the check box
};

struct VitalsField {
  int control;           // the value control on VITALS
  const char* label;     // the caption of its label on the page
  std::uint32_t offset;  // record offset
  int bits;              // 8, 16 or 32: the width read there
  VitalsKind kind;
  std::string (*text)(std::uint32_t) = nullptr;        // Shown, Text, BirthDate, DraftRound
  std::uint32_t (*value)(std::string_view) = nullptr;  // Text: the way back
  bool edited() const { return kind != VitalsKind::Shown; }
};

std::span<const VitalsField> VitalsFields();

}  // namespace rostrel
