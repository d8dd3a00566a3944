#include <gtest/gtest.h>

#include <bit>

#include "player/codecs.h"
#include "player/pages.h"
#include "player/vitals_table.h"

namespace rostrel {
namespace {

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// What a drop-down list of VITALS shows for a stored value: its item, or nothing.
std::string ListText(int control, std::uint32_t stored) {
  const ListCodec& list = *FindVitalsField(control)->list;
  const int item = list.ItemOf(stored);
  return item ? list.items()[static_cast<std::size_t>(item - 1)] : "";
}

TEST(Codecs, TableTexts) {
  using namespace vitals;
  EXPECT_EQ(ListText(kRole, 1), "Sixth Man");
  EXPECT_EQ(ListText(kRole, 4), "Bench Warmer");
  EXPECT_EQ(ListText(kRole, 5), "");
  EXPECT_EQ(ListText(kRole, 7), "");
  EXPECT_EQ(ListText(kPersonality, 3), "Expressive");
  EXPECT_EQ(ListText(kPersonality, 4), "");
  EXPECT_EQ(ListText(kPlayingPosition, 0), "Point Guard");
  EXPECT_EQ(ListText(kPlayingPosition, 5), "N/A");
  EXPECT_EQ(ListText(kPlayingPosition, 6), "");
  EXPECT_EQ(ListText(kHand, 1), "Right");
  EXPECT_EQ(ListText(kHand, 0), "Left");
  EXPECT_EQ(ListText(kHand, 2), "Left");
  EXPECT_EQ(ListText(kNoTrade, 1), "Yes");
  EXPECT_EQ(ListText(kNoTrade, 3), "Yes");
  EXPECT_EQ(ListText(kNoTrade, 0), "No");
  EXPECT_EQ(ListText(kNoTrade, 2), "No");
}

TEST(Codecs, JerseyNumber) {
  EXPECT_EQ(JerseyNumberText(12800), "00");
  EXPECT_EQ(JerseyNumberText(0), "0");
  EXPECT_EQ(JerseyNumberText(2949), "23");
  EXPECT_EQ(JerseyNumberText(0xFFFF), "511");
}

TEST(Codecs, HeightInFeetAndInches) {
  EXPECT_EQ(HeightText(0x4348A8F6), "6' 7\"");  // 200.66 cm
  EXPECT_EQ(HeightText(0x433E8000), "6' 3\"");  // 190.5
  EXPECT_EQ(HeightText(0x43530000), "6' 11\"");  // 211.0
  EXPECT_EQ(HeightText(Bits(256.0f)), "8' 4\"");
  EXPECT_EQ(HeightText(Bits(203.2f)), "6' 8\"");
  EXPECT_EQ(HeightText(Bits(128.0f)), "4' 2\"");
  EXPECT_EQ(HeightText(0), "-559'-7\"");  // far below the range: floor and a signed remainder
}

TEST(Codecs, WeightAndAge) {
  EXPECT_EQ(WeightText(0x43570000), "215 Lbs");
  EXPECT_EQ(WeightText(Bits(215.9f)), "215 Lbs");
  EXPECT_EQ(WeightText(Bits(250.5f)), "250 Lbs");
  EXPECT_EQ(WeightText(Bits(0.0f)), "0 Lbs");
  EXPECT_EQ(WeightText(0x7FC00000), "0 Lbs");  // not a number
  EXPECT_EQ(WeightText(Bits(1e30f)), "2147483647 Lbs");
  auto age = [](std::uint32_t year, std::uint32_t day) { return AgeText(32 * year + day); };
  EXPECT_EQ(age(1985, 14), "23");
  EXPECT_EQ(age(1985, 15), "22");
  EXPECT_EQ(age(1985, 16), "22");
  EXPECT_EQ(age(1984, 15), "24");
  EXPECT_EQ(age(2010, 1), "-2");
}

TEST(Codecs, BirthValue) {
  EXPECT_EQ(BirthDateText(0xF82F3080), "19850615");
  EXPECT_EQ(DraftRoundText(0x3080), "1");
  EXPECT_EQ(AgeText(0xF82F), "22");
  EXPECT_EQ(BirthDateBits("19850615"), 0xF82F3080u & kBirthDateMask);
  EXPECT_EQ(BirthDateBits("19860101"), (1986u << 21) | (1u << 16) | (1u << 11));
  // Parts too large for their bits are kept to them, never spilling over.
  EXPECT_EQ(BirthDateBits("20993299"), ((2099u & 0x7FF) << 21) | ((99u & 0x1F) << 16) | ((32u & 0x1F) << 11));
  EXPECT_EQ(BirthDateBits("99999999") & ~kBirthDateMask, 0u);
  EXPECT_EQ(BirthDateBits("abc"), 0u);
  EXPECT_EQ(BirthDateBits("1985"), (1985u << 21) | ((85u & 0x1F) << 16) | ((19u & 0x1F) << 11));
  EXPECT_EQ(DraftRoundBits("2"), 2u << 7);
  EXPECT_EQ(DraftRoundBits("15"), 15u << 7);
  EXPECT_EQ(DraftRoundBits("16"), 0u);
  EXPECT_EQ(DraftRoundBits("300") & ~kDraftRoundMask, 0u);
}

TEST(Codecs, DraftYear) {
  EXPECT_EQ(DraftYearText(98), "1998");
  EXPECT_EQ(DraftYearText(46), "2046");
  EXPECT_EQ(DraftYearText(47), "1947");
  EXPECT_EQ(DraftYearText(5), "2005");
  EXPECT_EQ(DraftYearText(0), "2000");
  EXPECT_EQ(DraftYearText(120), "19120");
  EXPECT_EQ(DraftYearValue("1998"), 98u);
  EXPECT_EQ(DraftYearValue("2005"), 5u);
  EXPECT_EQ(DraftYearValue("19120"), 20u);
  EXPECT_EQ(DraftYearValue("7"), 7u);
}

TEST(Codecs, YearsProAndSalary) {
  EXPECT_EQ(YearsProText(40), "10");
  EXPECT_EQ(YearsProText(13), "3.25");
  EXPECT_EQ(YearsProText(14), "3.5");
  EXPECT_EQ(YearsProText(15), "3.75");
  EXPECT_EQ(YearsProText(168), "10");
  EXPECT_EQ(SalaryText(5250000), "5.250");
  EXPECT_EQ(SalaryText(25678000), "25.678");
  EXPECT_EQ(SalaryText(0), "0.000");
  EXPECT_EQ(SalaryText(1234567), "1.235");
  EXPECT_EQ(SalaryText(4294967295u), "4294.967");
  EXPECT_EQ(SalaryValue("12.5"), 12500000u);
  EXPECT_EQ(SalaryValue("5.250"), 5250000u);
  EXPECT_EQ(SalaryValue("25.678"), 25678000u);
  EXPECT_EQ(SalaryValue(""), 0u);
  EXPECT_EQ(SalaryAsShown(" 12.5"), "12.500");  // typed so, it reads back as typed
  EXPECT_EQ(SalaryAsShown("12.3456"), "12.3456");  // it would not: it shows 12.346
  EXPECT_EQ(SalaryAsShown("12500"), "12500");  // past the field: it would wrap
}

// The ways back: every stored value of the word fields, and every text a user
// can type in the range of the singles, read back as typed; only the field's
// own bits change; a text past the range is stored as its nearest value.
TEST(Codecs, EditedVitalsReadBackAsTypedAndKeepTheirOtherBits) {
  for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
    ASSERT_EQ(JerseyNumberWord(JerseyNumberText(word), word), word);
    ASSERT_EQ(YearsProWord(YearsProText(word), word), word);
    const std::uint32_t other = word ^ 0xFFFF;  // typed over a word with every bit flipped
    const std::optional<std::uint32_t> number = JerseyNumberWord(JerseyNumberText(word), other);
    ASSERT_EQ(*number, (other & 0x7F) | (word & 0xFF80)) << word;
    const std::optional<std::uint32_t> years = YearsProWord(YearsProText(word), other);
    ASSERT_EQ(*years, (other & 0xFF80) | (word & 0x7F)) << word;
  }
  EXPECT_EQ(JerseyNumberWord("00", 5), (100u << 7) | 5);
  EXPECT_EQ(JerseyNumberWord("0", 5), 5u);
  EXPECT_EQ(JerseyNumberWord("600", 0), 511u << 7);
  EXPECT_EQ(JerseyNumberWord("-3", 0x7F), 0x7Fu);
  EXPECT_EQ(YearsProWord("40", 0xFF80), 0xFFFFu);
  EXPECT_EQ(YearsProWord("3.3", 0), 13u);  // the nearest quarter
  for (const char* none : {"", "abc", "-", " . "}) {
    EXPECT_FALSE(JerseyNumberWord(none, 0)) << none;
    EXPECT_FALSE(YearsProWord(none, 0)) << none;
    EXPECT_FALSE(HeightBits(none, 0)) << none;
    EXPECT_FALSE(WeightBits(none, 0)) << none;
  }

  for (int inches = kShortestInches; inches <= kTallestInches; ++inches) {
    const std::string f = std::to_string(inches / 12), i = std::to_string(inches % 12);
    const std::string shown = f + "' " + i + "\"";
    for (const std::string& typed : {shown, f + "'" + i + "\"", f + "'" + i, f + "-" + i, std::to_string(inches)}) {
      const std::uint32_t stored = *HeightBits(typed, Bits(180.0f));
      ASSERT_EQ(HeightText(stored), shown) << typed;
      ASSERT_EQ(HeightAsShown(typed), shown) << typed;
      ASSERT_EQ(HeightBits(typed, stored), stored) << typed;  // the same height writes nothing
    }
  }
  EXPECT_EQ(HeightBits("6' 0\"", Bits(183.5f)), Bits(183.5f));  // shows 6' 0" already: kept
  EXPECT_EQ(HeightText(*HeightBits("9' 2\"", 0)), "8' 4\"");
  EXPECT_EQ(HeightText(*HeightBits("3-1", 0)), "4' 2\"");
  EXPECT_EQ(HeightAsShown("9' 2\""), "9' 2\"");

  for (int pounds = 0; pounds <= 32767; ++pounds) {
    const std::string shown = std::to_string(pounds) + " Lbs";
    for (const std::string& typed : {std::to_string(pounds), shown}) {
      ASSERT_EQ(WeightText(*WeightBits(typed, Bits(215.5f))), shown) << typed;
      ASSERT_EQ(WeightAsShown(typed), shown) << typed;
    }
  }
  EXPECT_EQ(WeightBits("215", Bits(215.7f)), Bits(215.7f));  // the stored fraction stays
  EXPECT_EQ(WeightText(*WeightBits("40000", 0)), "32767 Lbs");
  EXPECT_EQ(WeightAsShown("215.5"), "215.5");
}

}  // namespace
}  // namespace rostrel
