// The page VITALS as one table: each value control, its label, where its field
// lies in the player record, how wide it is read, how it is shown and how the
// save reads it back. Load, save and the command-line tool's field list all
// walk it, in the order the load fills the page.
#pragma once

#include <cstdint>
#include <optional>
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
  Coded,       // an edit box with text(value), read back through update(text, stored)
  BirthDate,   // the dword at 54: bits 11-31
  DraftRound,  // the word at 54: bits 7-10
  List,        // a drop-down list: the code in the field's list.mask bits
  Iff,         // the check box
};

// A drop-down list: its items, and the code each stands for in the field.
struct ListCodec {
  std::span<const char* const> (*items)();
  std::uint32_t mask;  // the field's bits that hold the code
  int shift;
  // The item (1-based) a code shows, 0 for none; and the code an item writes.
  // Without them item k stands for code k - 1.
  int (*item_of)(std::uint32_t code) = nullptr;
  std::uint32_t (*code_of)(int item) = nullptr;

  int ItemOf(std::uint32_t stored) const;
  std::uint32_t CodeOf(int item) const;
  int Count() const { return static_cast<int>(items().size()); }
};

struct VitalsField {
  int control;           // the value control on VITALS
  const char* label;     // the caption of its label on the page
  std::uint32_t offset;  // record offset
  int bits;              // 8, 16 or 32: the width read there
  VitalsKind kind;
  std::string (*text)(std::uint32_t) = nullptr;        // Shown, Text, Coded, BirthDate, DraftRound
  std::uint32_t (*value)(std::string_view) = nullptr;  // Text: the way back
  std::optional<std::uint32_t> (*update)(std::string_view, std::uint32_t) = nullptr;  // Coded: the way back
  std::string (*as_shown)(std::string_view) = nullptr;  // Text, Coded: a typed form as the box shows it
  const ListCodec* list = nullptr;                       // List
  bool edited() const { return kind != VitalsKind::Shown; }
};

std::span<const VitalsField> VitalsFields();
// The field of a VITALS control, or none.
const VitalsField* FindVitalsField(int control);

// Would the box show typed, as typed, when it shows shown? Blanks around a
// text do not count, nor the fill after a shortened name; a height or weight
// may be typed in any form its box accepts, and a list's item in any case.
bool ShowsAsTyped(int tab, int id, std::string_view typed, std::string_view shown);

}  // namespace rostrel
