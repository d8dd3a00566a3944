// The three editor pages as the player data sees them: a control is named by
// its page (the tab item) and its ID, and carries a text, a text limit, a
// remembered 32-bit value, a combo selection and a check state. The window
// implements this over the real controls; the tests implement it in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rostrel {

enum PageTab : int { kVitalsTab = 0, kAttributesTab = 1, kTendenciesTab = 2 };

class EditorPages {
 public:
  virtual ~EditorPages() = default;
  virtual std::string GetFieldText(int tab, int id) const = 0;
  virtual void SetFieldText(int tab, int id, std::string_view text) = 0;
  // A limit of 0 means the box accepts no text at all.
  virtual void SetFieldLimit(int tab, int id, std::uint32_t limit) = 0;
  virtual std::uint32_t GetFieldLimit(int tab, int id) const = 0;
  virtual std::uint32_t GetRemembered(int tab, int id) const = 0;
  virtual void SetRemembered(int tab, int id, std::uint32_t value) = 0;
  // Items counted from 1; 0 selects nothing.
  virtual void SetComboIndex(int tab, int id, int item) = 0;
  virtual int GetComboIndex(int tab, int id) const = 0;
  // v = 4 clears the check mark, any other value sets it.
  virtual void SetCheck(int tab, int id, std::uint32_t v) = 0;
  // 1 when checked, 0 when not.
  virtual std::uint32_t GetCheck(int tab, int id) const = 0;
};

// Controls of the page VITALS that hold values.
namespace vitals {
constexpr int kFirstName = 145, kLastName = 146, kType = 149, kFaceId = 143, kRole = 140, kWeight = 154, kHeight = 139,
              kPersonality = 138, kNumber = 141, kUnknownId = 164, kBirth = 159, kRound = 157, kAge = 137,
              kPlayingPosition = 123, kSecondPlayingPosition = 134, kBodyShape = 150, kIff = 152, kPick = 158,
              kDraftYear = 156, kNoTrade = 107, kPbpId = 165, kYearsPro = 131, kFirstSalary = 100, kHand = 130;
constexpr int kSalaryYears = 7;
}  // namespace vitals

// The byte blocks: ratings on ATTRIBUTES, tendencies on TENDENCIES, box 100 + i
// showing record byte first + i.
struct ByteBlock {
  int tab;
  std::uint32_t first;
  std::uint32_t length;
};
constexpr ByteBlock kRatings{kAttributesTab, 436, 34};
constexpr ByteBlock kTendencies{kTendenciesTab, 470, 16};
constexpr int kFirstBlockBox = 100;

}  // namespace rostrel
