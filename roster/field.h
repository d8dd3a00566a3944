// Typed access to the fields of the mapped roster file, and the conversions
// between a field's integer and the text of an edit box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "roster/roster_file.h"

namespace rostrel {

// The 0-based file offset of the field at record offset x of the record at
// 1-based record position p: p - 1 + x. A position of 0 yields an offset that no
// view contains.
constexpr std::uint64_t FieldAddress(std::uint64_t p, std::uint64_t x) { return p - 1 + x; }

// True when width bytes at offset lie inside the open view.
bool InView(const RosterView& view, std::uint64_t offset, std::uint64_t width);

// Little-endian, unaligned, zero-extended reads. An access that does not lie
// wholly inside the open view is refused and reads 0.
std::uint32_t ReadByteAt(const RosterView& view, std::uint64_t offset);
std::uint32_t ReadWordAt(const RosterView& view, std::uint64_t offset);
std::uint32_t ReadDwordAt(const RosterView& view, std::uint64_t offset);

// n bytes at offset, as the file holds them with any pending writes; false
// (nothing copied) when they do not lie wholly inside the open view.
bool ReadBytesAt(const RosterView& view, std::uint64_t offset, void* destination, std::size_t n);

// Store the low-order 8, 16 or 32 bits of value little-endian. An access that
// does not lie wholly inside the open view writes nothing and returns false.
// While a transaction is open the bytes go to its pending writes instead.
bool WriteByteAt(RosterView& view, std::uint64_t offset, std::uint32_t value);
bool WriteWordAt(RosterView& view, std::uint64_t offset, std::uint32_t value);
bool WriteDwordAt(RosterView& view, std::uint64_t offset, std::uint32_t value);

// Plain decimal digits, no blank and no sign.
std::string FormatFieldNumber(std::uint32_t value);

// The leading number of a text: blanks (space, tab, line feed) skipped, then an
// optional sign, digits, fraction and exponent (E, e, D or d); or after "&" an
// unsigned integer: &H hexadecimal, &B binary, &O, &Q or "&" and a digit octal.
// 0 when the text holds no number.
double ParseFieldNumber(std::string_view text);

// The number rounded half to even as a 64-bit two's-complement integer, cut to
// its low-order bits (8, 16 or 32); 0 when the rounded value is not a signed
// 64-bit integer.
std::uint32_t StoreAsField(double number, int bits);

}  // namespace rostrel
