#include "player/codecs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "roster/field.h"

namespace rostrel {

namespace {

const char* const kRoles[] = {"Starter", "Sixth Man", "Role Player", "Prospect", "Bench Warmer"};
const char* const kPersonalities[] = {"Unpredictable", "Laid Back", "Neutral", "Expressive"};
const char* const kPlayingPositions[] = {"Point Guard",   "Shooting Guard", "Small Forward",
                                         "Power Forward", "Center",         "N/A"};
const char* const kHands[] = {"Right", "Left"};
const char* const kNoTrade[] = {"No", "Yes"};
const char* const kBodyShapes[] = {"Thin", "Normal", "Thick"};

std::string TwoDigits(std::uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u", static_cast<unsigned>(n));
  return text;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// The number formed by a run of decimal digits (at most four here).
std::uint32_t DigitsValue(std::string_view digits) {
  std::uint32_t n = 0;
  for (char c : digits) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  return n;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Takes a plain decimal number off the front of text (blanks first, then an
// optional sign where allowed, digits with an optional fraction); none, and
// nothing taken, when no digit follows.
std::optional<double> TakeNumber(std::string_view& text, bool signed_number = true) {
  std::size_t k = 0;
  while (k < text.size() && IsBlank(text[k])) ++k;
  const std::size_t start = k;
  if (signed_number && k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
  bool digits = false;
  while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k, digits = true;
  if (k < text.size() && text[k] == '.') {
    ++k;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k, digits = true;
  }
  if (!digits) return std::nullopt;
  const double value = std::strtod(std::string(text.substr(start, k - start)).c_str(), nullptr);
  text.remove_prefix(k);
  return value;
}

// The number rounded half to even and kept to [low, high].
std::int64_t Nearest(double value, std::int64_t low, std::int64_t high) {
  const double rounded = std::nearbyint(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
  return static_cast<std::int64_t>(rounded);
}

// Inches as the height box shows them: feet, "'", a blank (or the minus sign
// of a negative remainder), inches, '"'.
std::string InchesText(std::int64_t inches) {
  const std::int64_t feet = FloorDiv(inches, 12);
  const std::int64_t rest = inches % 12;
  return std::to_string(feet) + "'" + (rest < 0 ? "-" : " ") + std::to_string(rest < 0 ? -rest : rest) + "\"";
}

std::int64_t InchesOfBits(std::uint32_t single_bits) {
  // 0x42800000 is the single 64.0; 166461 / 65536 stands for 2.54 cm an inch.
  return FloorDiv(static_cast<std::int64_t>(single_bits) - 1115684864, 166461);
}

std::uint32_t HeightBitsOfInches(int inches) {
  // The single nearest to the height in centimetres, moved to the next
  // pattern that shows those inches where rounding put it just outside.
  auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(inches * 2.54));
  while (InchesOfBits(bits) < inches) ++bits;
  while (InchesOfBits(bits) > inches) --bits;
  return bits;
}

}  // namespace

std::optional<double> TypedInches(std::string_view text) {
  text = Trimmed(text);
  const std::optional<double> first = TakeNumber(text);
  if (!first) return std::nullopt;
  text = Trimmed(text);
  if (text.empty() || text == "\"") return *first;
  if (text.front() != '\'' && text.front() != '-') return *first;
  text.remove_prefix(1);
  const std::optional<double> inches = TakeNumber(text, false);
  return *first * 12 + inches.value_or(0);
}

std::optional<double> LeadingNumber(std::string_view text) { return TakeNumber(text); }

namespace {

// A typed weight in pounds: a number, alone or followed by "Lbs".
std::optional<double> TypedPounds(std::string_view text, bool& plain) {
  text = Trimmed(text);
  const std::optional<double> pounds = TakeNumber(text);
  text = Trimmed(text);
  plain = text.empty() || (text.size() == 3 && (text[0] == 'L' || text[0] == 'l') &&
                           (text[1] == 'b' || text[1] == 'B') && (text[2] == 's' || text[2] == 'S'));
  return pounds;
}

}  // namespace


std::string JerseyNumberText(std::uint32_t word) {
  const std::uint32_t n = (word & 0xFFFF) >> 7;
  return n == 100 ? "00" : std::to_string(n);
}

std::string HeightText(std::uint32_t single_bits) { return InchesText(InchesOfBits(single_bits)); }

std::string WeightText(std::uint32_t single_bits) {
  const double pounds = std::floor(static_cast<double>(std::bit_cast<float>(single_bits)));
  // No stored weight of a real player comes near these bounds; a damaged value
  // still shows as a number.
  const double shown = std::isfinite(pounds) ? std::fmax(-2147483648.0, std::fmin(pounds, 2147483647.0)) : 0;
  return std::to_string(static_cast<std::int64_t>(shown)) + " Lbs";
}

std::string AgeText(std::uint32_t word56) {
  const double age = std::nearbyint((65535.0 - static_cast<double>(word56 & 0xFFFF) - 1280.0) / 32.0);
  return std::to_string(static_cast<std::int64_t>(age));
}

std::string BirthDateText(std::uint32_t birth) {
  const std::uint32_t year = birth >> 21, day = (birth >> 16) & 0x1F, month = (birth >> 11) & 0x1F;
  return std::to_string(year) + TwoDigits(month) + TwoDigits(day);
}

std::string DraftRoundText(std::uint32_t word54) { return std::to_string((word54 & kDraftRoundMask) >> 7); }

std::string DraftYearText(std::uint32_t byte) {
  byte &= 0xFF;
  return byte > 46 ? "19" + std::to_string(byte) : "20" + TwoDigits(byte);
}

std::string YearsProText(std::uint32_t word) {
  const std::uint32_t quarters = word & 0x7F;
  static const char* const kFractions[] = {"", ".25", ".5", ".75"};
  return std::to_string(quarters / 4) + kFractions[quarters % 4];
}

std::string SalaryText(std::uint32_t salary) {
  const std::uint64_t thousands = (std::uint64_t{salary} + 500) / 1000;
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03u", static_cast<unsigned>(thousands % 1000));
  return std::to_string(thousands / 1000) + fraction;
}

std::uint32_t DraftYearValue(std::string_view text) {
  if (text.size() > 2) text = text.substr(text.size() - 2);
  return StoreAsField(ParseFieldNumber(text), 8);
}

std::uint32_t DraftRoundBits(std::string_view text) {
  return (StoreAsField(ParseFieldNumber(text), 16) << 7) & kDraftRoundMask;
}

std::uint32_t BirthDateBits(std::string_view text) {
  const std::string s = std::to_string(StoreAsField(ParseFieldNumber(text), 32));
  const std::string_view digits(s);
  const std::uint32_t year = DigitsValue(digits.substr(0, 4));
  const std::string_view last4 = digits.size() > 4 ? digits.substr(digits.size() - 4) : digits;
  const std::uint32_t month = DigitsValue(last4.substr(0, 2));
  const std::uint32_t day = DigitsValue(digits.size() > 2 ? digits.substr(digits.size() - 2) : digits);
  return ((year & 0x7FF) << 21) | ((day & 0x1F) << 16) | ((month & 0x1F) << 11);
}

std::uint32_t SalaryValue(std::string_view text) { return StoreAsField(ParseFieldNumber(text) * 1000000.0, 32); }

std::optional<std::uint32_t> JerseyNumberWord(std::string_view text, std::uint32_t word) {
  std::int64_t number = 100;
  if (Trimmed(text) != "00") {
    const std::optional<double> typed = TakeNumber(text);
    if (!typed) return std::nullopt;
    number = Nearest(*typed, 0, 511);
  }
  return (word & 0x7F) | (static_cast<std::uint32_t>(number) << 7);
}

std::optional<std::uint32_t> HeightBits(std::string_view text, std::uint32_t single_bits) {
  const std::optional<double> typed = TypedInches(text);
  if (!typed) return std::nullopt;
  const auto inches = static_cast<int>(Nearest(*typed, kShortestInches, kTallestInches));
  if (InchesOfBits(single_bits) == inches) return single_bits;
  return HeightBitsOfInches(inches);
}

std::optional<std::uint32_t> WeightBits(std::string_view text, std::uint32_t single_bits) {
  bool plain = false;
  const std::optional<double> typed = TypedPounds(text, plain);
  if (!typed) return std::nullopt;
  const std::int64_t pounds = Nearest(*typed, 0, 32767);
  if (WeightText(single_bits) == WeightText(std::bit_cast<std::uint32_t>(static_cast<float>(pounds)))) {
    return single_bits;  // the same whole pounds: the stored fraction stays
  }
  return std::bit_cast<std::uint32_t>(static_cast<float>(pounds));
}

std::optional<std::uint32_t> YearsProWord(std::string_view text, std::uint32_t word) {
  const std::optional<double> typed = TakeNumber(text);
  if (!typed) return std::nullopt;
  return (word & 0xFF80) | static_cast<std::uint32_t>(Nearest(*typed * 4, 0, 127));
}

std::string HeightAsShown(std::string_view text) {
  const std::optional<double> inches = TypedInches(text);
  if (!inches || *inches != std::floor(*inches) || std::fabs(*inches) > 1e9) return std::string(text);
  return InchesText(static_cast<std::int64_t>(*inches));
}

std::string WeightAsShown(std::string_view text) {
  bool plain = false;
  const std::optional<double> pounds = TypedPounds(text, plain);
  if (!pounds || !plain || *pounds != std::floor(*pounds) || std::fabs(*pounds) > 1e9) return std::string(text);
  return std::to_string(static_cast<std::int64_t>(*pounds)) + " Lbs";
}

std::string SalaryAsShown(std::string_view text) {
  const std::string_view trimmed = Trimmed(text);
  std::string_view rest = trimmed;
  const std::size_t point = trimmed.find('.');
  const std::size_t decimals = point == std::string_view::npos ? 0 : trimmed.size() - point - 1;
  const std::optional<double> millions = TakeNumber(rest, false);
  // Past the field's width the stored value would wrap: such a text never reads back.
  if (!millions || !rest.empty() || decimals > 3 || *millions * 1000000.0 > 4294967295.0) return std::string(text);
  return SalaryText(SalaryValue(trimmed));
}

std::span<const char* const> RoleItems() { return kRoles; }
std::span<const char* const> PersonalityItems() { return kPersonalities; }
std::span<const char* const> PlayingPositionItems() { return kPlayingPositions; }
std::span<const char* const> HandItems() { return kHands; }
std::span<const char* const> NoTradeItems() { return kNoTrade; }
std::span<const char* const> BodyShapeItems() { return kBodyShapes; }

}  // namespace rostrel
