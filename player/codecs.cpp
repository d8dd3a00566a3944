#include "player/codecs.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "roster/field.h"

namespace rostrel {

namespace {

template <std::size_t N>
std::string FromTable(const char* const (&table)[N], std::uint32_t code) {
  return code < N ? table[code] : "";
}

const char* const kRoles[] = {"Starter", "Sixth Man", "Role Player", "Prospect", "Bench Warmer"};
const char* const kPersonalities[] = {"Unpredictable", "Laid Back", "Neutral", "Expressive"};
const char* const kPlayingPositions[] = {"Point Guard",   "Shooting Guard", "Small Forward",
                                         "Power Forward", "Center",         "N/A"};

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

}  // namespace

const char* const kBodyShapeItems[kBodyShapeItemCount] = {"Thin", "Normal", "Thick"};

std::string RoleText(std::uint32_t code) { return FromTable(kRoles, code); }
std::string PersonalityText(std::uint32_t code) { return FromTable(kPersonalities, code); }
std::string PositionText(std::uint32_t code) { return FromTable(kPlayingPositions, code); }
std::string HandText(std::uint32_t code) { return code == 1 ? "Right" : "Left"; }
std::string NoTradeText(std::uint32_t word) { return (word & 1) ? "Yes" : "No"; }

std::string JerseyNumberText(std::uint32_t word) {
  const std::uint32_t n = (word & 0xFFFF) >> 7;
  return n == 100 ? "00" : std::to_string(n);
}

std::string HeightText(std::uint32_t single_bits) {
  // 0x42800000 is the single 64.0; 166461 / 65536 stands for 2.54 cm an inch.
  const std::int64_t inches = FloorDiv(static_cast<std::int64_t>(single_bits) - 1115684864, 166461);
  const std::int64_t feet = FloorDiv(inches, 12);
  const std::int64_t rest = inches % 12;
  return std::to_string(feet) + "'" + (rest < 0 ? "-" : " ") + std::to_string(rest < 0 ? -rest : rest) + "\"";
}

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

}  // namespace rostrel
