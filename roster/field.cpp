#include "roster/field.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace rostrel {

namespace {

std::uint32_t ReadLittleEndian(const RosterView& view, std::uint64_t offset, int width) {
  std::uint8_t at[4];
  if (!ReadBytesAt(view, offset, at, static_cast<std::size_t>(width))) return 0;
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

bool WriteLittleEndian(RosterView& view, std::uint64_t offset, int width, std::uint32_t value) {
  if (!InView(view, offset, width)) return false;
  for (int i = 0; i < width; ++i) {
    const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
    if (view.pending) view.pending->bytes[offset + static_cast<std::uint64_t>(i)] = byte;
    else view.base[offset + static_cast<std::uint64_t>(i)] = byte;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of c as a digit of the given base, or -1.
int DigitValue(char c, int base) {
  int d = -1;
  if (IsDigit(c)) d = c - '0';
  else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

double ParseBasedInteger(std::string_view digits, int base) {
  std::uint64_t value = 0;
  for (char c : digits) {
    const int d = DigitValue(c, base);
    if (d < 0) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
  }
  return static_cast<double>(value);
}

}  // namespace

bool InView(const RosterView& view, std::uint64_t offset, std::uint64_t width) {
  return IsOpen(view) && width <= view.size && offset <= view.size - width;
}

bool ReadBytesAt(const RosterView& view, std::uint64_t offset, void* destination, std::size_t n) {
  if (!InView(view, offset, n)) return false;
  auto* to = static_cast<std::uint8_t*>(destination);
  std::copy(view.base + offset, view.base + offset + n, to);
  if (view.pending) {
    const auto& bytes = view.pending->bytes;
    for (auto it = bytes.lower_bound(offset); it != bytes.end() && it->first < offset + n; ++it) {
      to[it->first - offset] = it->second;
    }
  }
  return true;
}

std::uint32_t ReadByteAt(const RosterView& view, std::uint64_t offset) { return ReadLittleEndian(view, offset, 1); }
std::uint32_t ReadWordAt(const RosterView& view, std::uint64_t offset) { return ReadLittleEndian(view, offset, 2); }
std::uint32_t ReadDwordAt(const RosterView& view, std::uint64_t offset) { return ReadLittleEndian(view, offset, 4); }

bool WriteByteAt(RosterView& view, std::uint64_t offset, std::uint32_t value) {
  return WriteLittleEndian(view, offset, 1, value);
}
bool WriteWordAt(RosterView& view, std::uint64_t offset, std::uint32_t value) {
  return WriteLittleEndian(view, offset, 2, value);
}
bool WriteDwordAt(RosterView& view, std::uint64_t offset, std::uint32_t value) {
  return WriteLittleEndian(view, offset, 4, value);
}

std::string FormatFieldNumber(std::uint32_t value) { return std::to_string(value); }

double ParseFieldNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  text.remove_prefix(i);
  if (text.empty()) return 0;

  if (text[0] == '&') {
    if (text.size() < 2) return 0;
    switch (text[1]) {
      case 'H': case 'h': return ParseBasedInteger(text.substr(2), 16);
      case 'B': case 'b': return ParseBasedInteger(text.substr(2), 2);
      case 'O': case 'o': case 'Q': case 'q': return ParseBasedInteger(text.substr(2), 8);
      default: return ParseBasedInteger(text.substr(1), 8);
    }
  }

  // Copy the longest prefix that forms a decimal number, with "e" as its only
  // exponent letter, and let the C library convert it.
  std::string number;
  std::size_t k = 0;
  if (k < text.size() && (text[k] == '+' || text[k] == '-')) number += text[k++];
  bool mantissa = false;
  while (k < text.size() && IsDigit(text[k])) { number += text[k++]; mantissa = true; }
  if (k < text.size() && text[k] == '.') {
    number += text[k++];
    while (k < text.size() && IsDigit(text[k])) { number += text[k++]; mantissa = true; }
  }
  if (!mantissa) return 0;
  if (k < text.size() && (text[k] == 'E' || text[k] == 'e' || text[k] == 'D' || text[k] == 'd')) {
    std::size_t e = k + 1;
    std::string exponent = "e";
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) exponent += text[e++];
    if (e < text.size() && IsDigit(text[e])) {
      while (e < text.size() && IsDigit(text[e])) exponent += text[e++];
      number += exponent;
    }
  }
  return std::strtod(number.c_str(), nullptr);
}

std::uint32_t StoreAsField(double number, int bits) {
  // 2^63 is exactly representable; every double below it in magnitude that
  // rounds to an integer fits int64.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(number)) return 0;
  const double rounded = std::nearbyint(number);  // the default mode rounds half to even
  if (rounded >= kLimit || rounded < -kLimit) return 0;
  const auto whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded));
  const std::uint64_t mask = bits >= 32 ? 0xFFFFFFFFull : ((1ull << bits) - 1);
  return static_cast<std::uint32_t>(whole & mask);
}

}  // namespace rostrel
