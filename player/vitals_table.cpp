#include "player/vitals_table.h"

#include "player/codecs.h"
#include "player/pages.h"

namespace rostrel {

namespace {

using namespace vitals;
using K = VitalsKind;

constexpr VitalsField kFields[] = {
    {kFirstName, "FirstName", 4, 32, K::FirstName},
    {kLastName, "LastName", 0, 32, K::LastName},
    {kType, "Type", 8, 8, K::Number},
    {kFaceId, "FaceID", 10, 16, K::Number},
    {kRole, "Role", 32, 8, K::Shown, RoleText},
    {kWeight, "Weight", 36, 32, K::Shown, WeightText},
    {kHeight, "Height", 40, 32, K::Shown, HeightText},
    {kPersonality, "Personality", 44, 8, K::Shown, PersonalityText},
    {kNumber, "Number", 48, 16, K::Shown, JerseyNumberText},
    {kUnknownId, "UnknowID", 52, 16, K::Number},
    {kBirth, "Birth", 54, 32, K::BirthDate, BirthDateText},
    {kRound, "Round", 54, 16, K::DraftRound, DraftRoundText},
    {kAge, "Age", 56, 16, K::Shown, AgeText},
    {kPlayingPosition, "Position", 109, 8, K::Shown, PositionText},
    {kSecondPlayingPosition, "2nd Pos", 110, 8, K::Shown, PositionText},
    {kBodyShape, "Sharp", 112, 32, K::BodyShape},
    {kIff, "IFF Enabled", 120, 8, K::Iff},
    {kPick, "Pick", 141, 8, K::Number},
    {kDraftYear, "Dyear", 153, 8, K::Text, DraftYearText, DraftYearValue},
    {kNoTrade, "No Trade", 192, 16, K::Shown, NoTradeText},
    {kPbpId, "PBPID", 332, 16, K::Number},
    {kYearsPro, "Years Pro", 337, 16, K::Shown, YearsProText},
    {kFirstSalary + 0, "Year 1", 340, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 1, "Year 2", 344, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 2, "Year 3", 348, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 3, "Year 4", 352, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 4, "Year 5", 356, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 5, "Year 6", 360, 32, K::Text, SalaryText, SalaryValue},
    {kFirstSalary + 6, "Year 7", 364, 32, K::Text, SalaryText, SalaryValue},
    {kHand, "Hand", 410, 8, K::Shown, HandText},
};
static_assert(kSalaryYears == 7);

}  // namespace

std::span<const VitalsField> VitalsFields() { return kFields; }

}  // namespace rostrel
