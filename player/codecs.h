// The texts the page VITALS shows for stored values, and the way back from a
// typed text to a stored value. Pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rostrel {

std::string RoleText(std::uint32_t code);         // "Starter" ... "Bench Warmer"; else empty
std::string PersonalityText(std::uint32_t code);  // "Unpredictable" ... "Expressive"; else empty
std::string PositionText(std::uint32_t code);     // the playing position: "Point Guard" ... "N/A"; else empty
std::string HandText(std::uint32_t code);         // 1 "Right", else "Left"
std::string NoTradeText(std::uint32_t word);      // bit 0: "Yes" / "No"
std::string JerseyNumberText(std::uint32_t word);  // bits 7-15; 100 shows "00"
std::string HeightText(std::uint32_t single_bits);  // feet, "'", inches, '"'
std::string WeightText(std::uint32_t single_bits);  // whole pounds and " Lbs"
std::string AgeText(std::uint32_t word56);
std::string BirthDateText(std::uint32_t birth);   // YYYYMMDD
std::string DraftRoundText(std::uint32_t word54);
std::string DraftYearText(std::uint32_t byte);
std::string YearsProText(std::uint32_t word);
std::string SalaryText(std::uint32_t salary);     // millions, three decimals

// Bits of the birth value at record offset 54.
constexpr std::uint32_t kLowBitsMask = 0x7Fu;        // bits 0-6, never shown
constexpr std::uint32_t kDraftRoundMask = 0x780u;    // bits 7-10
constexpr std::uint32_t kBirthDateMask = 0xFFFFF800u;  // bits 11-31

std::uint32_t DraftYearValue(std::string_view text);
// The round typed, kept to its four bits (0 ... 15), already shifted to bits 7-10.
std::uint32_t DraftRoundBits(std::string_view text);
// Year, month and day of a YYYYMMDD text, each kept to its own bits, placed at
// bits 21-31, 11-15 and 16-20; bits 0-10 are 0.
std::uint32_t BirthDateBits(std::string_view text);
std::uint32_t SalaryValue(std::string_view text);

// Body shape: item 1 "Thin", 2 "Normal", 3 "Thick" of the combo box; the code
// is bits 5-6 of the dword at record offset 112.
constexpr std::uint32_t kBodyShapeShift = 5;
constexpr std::uint32_t kBodyShapeMask = 0x60u;
constexpr int kBodyShapeItemCount = 3;
extern const char* const kBodyShapeItems[kBodyShapeItemCount];

}  // namespace rostrel
