// The texts the page VITALS shows for stored values, and the way back from a
// typed text to a stored value. Pure functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rostrel {

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

// The ways back for the fields the page shows through a codec of their own.
// Each takes the typed text and the field's stored value, and gives the new
// stored value: only the field's own bits change, a typed value that shows as
// the stored one already gives the stored value back unchanged, and a value
// outside the field's range is stored as the nearest one it can show. None
// when the text holds no number at all.
//   Number: bits 7-15 of the word at 48; "00" stores 100, 0 ... 511 themselves.
std::optional<std::uint32_t> JerseyNumberWord(std::string_view text, std::uint32_t word);
//   Height: the single at 40; "6' 9\"", "6'9\"", "6'9", "6-9" or inches, "81";
//   4' 2" to 8' 4".
std::optional<std::uint32_t> HeightBits(std::string_view text, std::uint32_t single_bits);
//   Weight: the single at 36 as whole pounds, 0 ... 32767; "215" or "215 Lbs".
std::optional<std::uint32_t> WeightBits(std::string_view text, std::uint32_t single_bits);
//   Years Pro: bits 0-6 of the word at 337, four times the years (0 ... 31.75).
std::optional<std::uint32_t> YearsProWord(std::string_view text, std::uint32_t word);

// A height in inches as typed or shown: feet and inches as 6' 9", 6'9", 6'9
// or 6-9, or plain inches. None without a number.
std::optional<double> TypedInches(std::string_view text);
// The decimal number at the front of a text ("215 Lbs", "12.500", "-3"), blanks
// skipped; none when no digit is there.
std::optional<double> LeadingNumber(std::string_view text);

// The heights a player can have here, in inches: 4' 2" (128 cm) to 8' 4" (256 cm).
constexpr int kShortestInches = 50, kTallestInches = 100;

// A typed height or weight in the form the box shows it ("6-9" as 6' 9",
// "215" as 215 Lbs); any other text as it is. A text reads back as typed
// when the file then shows this.
std::string HeightAsShown(std::string_view text);
std::string WeightAsShown(std::string_view text);
// A typed salary of at most three decimals with all three ("12.5" as 12.500).
std::string SalaryAsShown(std::string_view text);

// The items of the page's drop-down lists, in code order (the VITALS table
// says which code each item writes and which item a stored code shows).
std::span<const char* const> RoleItems();
std::span<const char* const> PersonalityItems();
std::span<const char* const> PlayingPositionItems();
std::span<const char* const> HandItems();     // "Right" (code 1), "Left" (code 0)
std::span<const char* const> NoTradeItems();  // "No", "Yes"
std::span<const char* const> BodyShapeItems();

// Body shape: item 1 "Thin", 2 "Normal", 3 "Thick" of the combo box; the code
// is bits 5-6 of the dword at record offset 112.
constexpr std::uint32_t kBodyShapeShift = 5;
constexpr std::uint32_t kBodyShapeMask = 0x60u;

}  // namespace rostrel
