#include "player/vitals_table.h"

#include "player/codecs.h"
#include "player/names.h"
#include "player/pages.h"

namespace rostrel {

namespace {

using namespace vitals;
using K = VitalsKind;

// Hand: "Right" is code 1; every other code shows "Left", which writes 0.
int HandItem(std::uint32_t code) { return code == 1 ? 1 : 2; }
std::uint32_t HandCode(int item) { return item == 1 ? 1 : 0; }

constexpr ListCodec kRoleList{RoleItems, 0xFF, 0};
constexpr ListCodec kPersonalityList{PersonalityItems, 0xFF, 0};
constexpr ListCodec kPositionList{PlayingPositionItems, 0xFF, 0};
constexpr ListCodec kHandList{HandItems, 0xFF, 0, HandItem, HandCode};
constexpr ListCodec kNoTradeList{NoTradeItems, 0x1, 0};
constexpr ListCodec kBodyShapeList{BodyShapeItems, kBodyShapeMask, kBodyShapeShift};

constexpr VitalsField kFields[] = {
    {kFirstName, "FirstName", 4, 32, K::FirstName},
    {kLastName, "LastName", 0, 32, K::LastName},
    {kType, "Type", 8, 8, K::Number},
    {kFaceId, "FaceID", 10, 16, K::Number},
    {kRole, "Role", 32, 8, K::List, nullptr, nullptr, nullptr, nullptr, &kRoleList},
    {kWeight, "Weight", 36, 32, K::Coded, WeightText, nullptr, WeightBits, WeightAsShown},
    {kHeight, "Height", 40, 32, K::Coded, HeightText, nullptr, HeightBits, HeightAsShown},
    {kPersonality, "Personality", 44, 8, K::List, nullptr, nullptr, nullptr, nullptr, &kPersonalityList},
    {kNumber, "Number", 48, 16, K::Coded, JerseyNumberText, nullptr, JerseyNumberWord},
    {kUnknownId, "UnknowID", 52, 16, K::Number},
    {kBirth, "Birth", 54, 32, K::BirthDate, BirthDateText},
    {kRound, "Round", 54, 16, K::DraftRound, DraftRoundText},
    {kAge, "Age", 56, 16, K::Shown, AgeText},
    {kPlayingPosition, "Position", 109, 8, K::List, nullptr, nullptr, nullptr, nullptr, &kPositionList},
    {kSecondPlayingPosition, "2nd Pos", 110, 8, K::List, nullptr, nullptr, nullptr, nullptr, &kPositionList},
    {kBodyShape, "Sharp", 112, 32, K::List, nullptr, nullptr, nullptr, nullptr, &kBodyShapeList},
    {kIff, "IFF Enabled", 120, 8, K::Iff},
    {kPick, "Pick", 141, 8, K::Number},
    {kDraftYear, "Dyear", 153, 8, K::Text, DraftYearText, DraftYearValue},
    {kNoTrade, "No Trade", 192, 16, K::List, nullptr, nullptr, nullptr, nullptr, &kNoTradeList},
    {kPbpId, "PBPID", 332, 16, K::Number},
    {kYearsPro, "Years Pro", 337, 16, K::Coded, YearsProText, nullptr, YearsProWord},
    {kFirstSalary + 0, "Year 1", 340, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 1, "Year 2", 344, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 2, "Year 3", 348, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 3, "Year 4", 352, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 4, "Year 5", 356, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 5, "Year 6", 360, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kFirstSalary + 6, "Year 7", 364, 32, K::Text, SalaryText, SalaryValue, nullptr, SalaryAsShown},
    {kHand, "Hand", 410, 8, K::List, nullptr, nullptr, nullptr, nullptr, &kHandList},
};
static_assert(kSalaryYears == 7);

std::string_view Unpadded(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

}  // namespace

int ListCodec::ItemOf(std::uint32_t stored) const {
  const std::uint32_t code = (stored & mask) >> shift;
  if (item_of) return item_of(code);
  return code < items().size() ? static_cast<int>(code) + 1 : 0;
}

std::uint32_t ListCodec::CodeOf(int item) const {
  return code_of ? code_of(item) : static_cast<std::uint32_t>(item - 1);
}

std::span<const VitalsField> VitalsFields() { return kFields; }

const VitalsField* FindVitalsField(int control) {
  for (const VitalsField& f : kFields) {
    if (f.control == control) return &f;
  }
  return nullptr;
}

bool ShowsAsTyped(int tab, int id, std::string_view typed, std::string_view shown) {
  const VitalsField* f = tab == kVitalsTab ? FindVitalsField(id) : nullptr;
  if (f && (f->kind == K::FirstName || f->kind == K::LastName)) return typed == Unfilled(shown);
  typed = Unpadded(typed);
  shown = Unpadded(shown);
  if (typed == shown) return true;
  if (f && f->kind == K::List) return UpperText(typed) == UpperText(shown);
  return f && f->as_shown && f->as_shown(typed) == shown;
}

}  // namespace rostrel
