#include <gtest/gtest.h>

#include <bit>
#include <set>

#include "player/codecs.h"
#include "player/player_cycle.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using namespace vitals;
using test::Built;
using test::Bytes;
using test::MemoryPages;
using test::PutU16;
using test::PutU32;
using test::ReadFileBytes;
using test::RosterBuilder;
using test::TempDir;
using test::U16;
using test::WriteFileBytes;

void PutRecordU32(std::array<std::uint8_t, 500>& r, std::size_t x, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) r[x + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// A roster whose second player carries known vitals, opened for editing.
class EditRound : public ::testing::Test {
 protected:
  void SetUp() override {
    RosterBuilder builder;
    builder.Add(U16("Tony"), U16("Parker")).Add(U16("JAMES"), U16("Smith")).Add(U16("Tim"), U16("Duncan"));
    auto& r = builder.Record(1);
    for (int i = 0; i < 50; ++i) r[436 + i] = static_cast<std::uint8_t>(i);
    r[455] = 70;   // Speed
    r[8] = 3;      // Type
    PutRecordU32(r, 36, std::bit_cast<std::uint32_t>(215.0f));
    PutRecordU32(r, 40, 0x4348A8F6);
    PutRecordU32(r, 54, 0xF82F3080 | 0x55);  // born 1985-06-15, round 1, low bits 0x55
    PutRecordU32(r, 112, (0xFFFFFFFF & ~kBodyShapeMask) | (2u << kBodyShapeShift));  // "Thick"
    r[120] = 4;    // IFF unchecked
    r[153] = 120;  // draft year 19120
    PutRecordU32(r, 340, 5250000);
    PutRecordU32(r, 344, 25678400);  // not a whole number of thousands
    built_ = builder.Build();
    Reopen(built_.bytes);
  }
  void Reopen(const Bytes& bytes) {
    path_ = dir_.File("edit.ros");
    WriteFileBytes(path_, bytes);
    rows_ = FillPlayerList(path_, 0);
    ASSERT_EQ(OpenRosterView(view_, path_), OpenStatus::Ok);
  }
  std::uint32_t P() const { return built_.Position(1); }
  void Load() { ASSERT_TRUE(LoadPlayer(view_, P(), pages_, player_)); }
  SaveResult Save() { return SavePlayer(view_, pages_, player_); }
  // Offsets whose bytes differ between the builder's file and the file now.
  std::set<std::size_t> Changed() {
    CloseRosterView(view_);
    const Bytes now = ReadFileBytes(path_);
    EXPECT_EQ(now.size(), built_.bytes.size());
    EXPECT_TRUE(test::ChecksumIsValid(now));
    std::set<std::size_t> changed;
    for (std::size_t i = 4; i < now.size(); ++i) {
      if (now[i] != built_.bytes[i]) changed.insert(i);
    }
    after_ = now;
    return changed;
  }
  std::size_t At(std::uint32_t x) const { return built_.Offset(1, x); }

  TempDir dir_;
  std::string path_;
  Built built_;
  std::vector<PlayerEntry> rows_;
  RosterView view_;
  MemoryPages pages_;
  LoadedPlayer player_;
  Bytes after_;
};

TEST_F(EditRound, LoadShowsEveryPage) {
  Load();
  EXPECT_EQ(pages_.Text(kAttributesTab, 100), "0");    // Shooting(Close)
  EXPECT_EQ(pages_.Text(kAttributesTab, 133), "33");   // Strength
  EXPECT_EQ(pages_.Text(kTendenciesTab, 100), "34");   // Shot Tendency
  EXPECT_EQ(pages_.Text(kTendenciesTab, 115), "49");   // Contests Shots
  EXPECT_EQ(pages_.Text(kAttributesTab, 119), "70");   // Speed
  EXPECT_EQ(pages_.Text(kVitalsTab, kFirstName), "JAMES");
  EXPECT_EQ(pages_.GetFieldLimit(kVitalsTab, kFirstName), 5u);
  EXPECT_EQ(pages_.GetRemembered(kVitalsTab, kFirstName), built_.first_name_at[1] + 1);
  EXPECT_EQ(pages_.Text(kVitalsTab, kLastName), "Smith");
  EXPECT_EQ(pages_.Text(kVitalsTab, kType), "3");
  EXPECT_EQ(pages_.Text(kVitalsTab, kWeight), "215 Lbs");
  EXPECT_EQ(pages_.Text(kVitalsTab, kHeight), "6' 7\"");
  EXPECT_EQ(pages_.Text(kVitalsTab, kBirth), "19850615");
  EXPECT_EQ(pages_.Text(kVitalsTab, kRound), "1");
  EXPECT_EQ(pages_.Text(kVitalsTab, kAge), "22");
  EXPECT_EQ(pages_.GetComboIndex(kVitalsTab, kBodyShape), 3);
  EXPECT_EQ(pages_.GetCheck(kVitalsTab, kIff), 0u);
  EXPECT_EQ(pages_.Text(kVitalsTab, kDraftYear), "19120");
  EXPECT_EQ(pages_.Text(kVitalsTab, kFirstSalary), "5.250");
  EXPECT_EQ(pages_.Text(kVitalsTab, kFirstSalary + 1), "25.678");
}

TEST_F(EditRound, SaveWithoutEditsChangesOnlyTheChecksum) {
  Bytes stale = built_.bytes;
  PutU32(stale, 0, 0x12345678);
  CloseRosterView(view_);
  Reopen(stale);
  Load();
  EXPECT_TRUE(Save().saved);
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(after_, built_.bytes);  // the stale checksum is correct again
}

TEST_F(EditRound, EditsOnAllThreePagesWriteExactlyTheirBytes) {
  Load();
  pages_.Type(kVitalsTab, kFirstName, "JAMIE!");  // one character too many: refused
  pages_.Type(kVitalsTab, kLastName, "Jo");
  pages_.Type(kAttributesTab, 119, "75");    // Speed
  pages_.Type(kTendenciesTab, 100, "300");   // stores 44
  pages_.Type(kVitalsTab, kRound, "2");
  pages_.Type(kVitalsTab, kFirstSalary, "12.5");
  pages_.SetComboIndex(kVitalsTab, kBodyShape, 1);  // "Thin"
  const SaveResult saved = Save();
  ASSERT_TRUE(saved.saved);
  EXPECT_EQ(saved.first_name, "JAMIE");
  // The fill is not part of the name: the row and the box show "Jo", and the
  // box still takes the slot's five characters.
  EXPECT_EQ(saved.last_name, "Jo");
  EXPECT_EQ(pages_.Text(kVitalsTab, kLastName), "Jo");
  EXPECT_EQ(pages_.GetFieldLimit(kVitalsTab, kLastName), 5u);
  EXPECT_FALSE(HasUnsavedEdits(pages_, player_));

  const std::uint32_t fn = built_.first_name_at[1], ln = built_.last_name_at[1];
  // JAMES -> JAMIE; Smith -> Jo and three fill units; round 1 -> 2 moves bits of
  // both low bytes at 54; 5250000 -> 12500000 keeps its top byte 0.
  std::set<std::size_t> expected = {fn + 6, fn + 8, At(54), At(55), At(112), At(340), At(341), At(342), At(455),
                                    At(470)};
  for (std::uint32_t k = 0; k < 5; ++k) expected.insert(ln + 2 * k);
  EXPECT_EQ(Changed(), expected);
  EXPECT_EQ(after_[fn + 6], 'I');
  EXPECT_EQ(after_[ln + 4], 0x14);
  EXPECT_EQ(after_[ln + 10], 0);  // the closing unit stays
  EXPECT_EQ(after_[At(455)], 75);
  EXPECT_EQ(after_[At(470)], 44);
  EXPECT_EQ(test::GetU32(after_, At(54)), (0xF82F3080u & ~kDraftRoundMask) | (2u << 7) | 0x55u);
  EXPECT_EQ(test::GetU32(after_, At(340)), 12500000u);
  EXPECT_EQ(test::GetU32(after_, At(112)), 0xFFFFFFFFu & ~kBodyShapeMask);

  // Typed at the end of "Jo", the rest of the slot is taken.
  Reopen(after_);
  Load();
  pages_.Type(kVitalsTab, kLastName, pages_.Text(kVitalsTab, kLastName) + "nes");
  ASSERT_TRUE(Save().saved);
  Changed();
  EXPECT_EQ(after_[ln + 8], 's');
}

TEST_F(EditRound, UntouchedFieldsStayAsStoredEvenWhereTextDoesNotRoundTrip) {
  CloseRosterView(view_);
  Bytes bytes = built_.bytes;
  bytes[At(120)] = 0;  // IFF 0 shows checked; saving unchanged must not store 1
  PutU16(bytes, built_.first_name_at[1] + 2, 0x0141);  // a unit above 0xFF in "JAMES"
  test::StoreChecksum(bytes);
  built_.bytes = bytes;
  Reopen(bytes);
  Load();
  EXPECT_EQ(pages_.GetCheck(kVitalsTab, kIff), 1u);
  pages_.Type(kAttributesTab, 100, "7");
  pages_.Type(kAttributesTab, 100, "0");  // typed back to what was loaded
  Save();
  EXPECT_TRUE(Changed().empty());  // salary 25678400, draft year 120, IFF 0 and the wide unit all kept
}

TEST_F(EditRound, BirthAndRoundStayInTheirOwnBits) {
  Load();
  pages_.Type(kVitalsTab, kBirth, "19860101");
  pages_.Type(kVitalsTab, kRound, "2");
  Save();
  Changed();
  EXPECT_EQ(test::GetU32(after_, At(54)), (1986u << 21) | (1u << 16) | (1u << 11) | (2u << 7) | 0x55u);

  Reopen(after_);
  built_.bytes = after_;
  Load();
  pages_.Type(kVitalsTab, kRound, "99");     // masked to 3
  pages_.Type(kVitalsTab, kBirth, "99999999");
  Save();
  Changed();
  const std::uint32_t d = test::GetU32(after_, At(54));
  EXPECT_EQ(d & kLowBitsMask, 0x55u);
  EXPECT_EQ((d & kDraftRoundMask) >> 7, 99u & 0xF);
  EXPECT_EQ(d >> 21, 9999u & 0x7FF);
}

TEST_F(EditRound, IffCheckBox) {
  Load();  // stored 4: unchecked
  pages_.SetCheck(kVitalsTab, kIff, 1);
  Save();
  Changed();
  EXPECT_EQ(after_[At(120)], 1);
  Reopen(after_);
  built_.bytes = after_;
  Load();
  pages_.SetCheck(kVitalsTab, kIff, 4);
  Save();
  Changed();
  EXPECT_EQ(after_[At(120)], 4);
}

TEST_F(EditRound, EmptiedBoxStoresZeroAndSavingTwiceWritesTheSame) {
  Load();
  pages_.Type(kAttributesTab, 120, "");  // Stamina showed 20
  pages_.Type(kVitalsTab, kFaceId, "abc");
  Save();
  Save();
  const auto changed = Changed();
  EXPECT_EQ(after_[At(456)], 0);
  EXPECT_EQ(test::GetU32(after_, At(10)) & 0xFFFF, 0u);
  EXPECT_TRUE(changed.count(At(456)));
}

TEST_F(EditRound, SaveWritesTheLoadedPlayerWhereverItsRowNowStands) {
  Load();
  SortPlayerRows(rows_, 2, SortOrder::Ascending);  // Duncan, Parker, Smith
  pages_.Type(kVitalsTab, kLastName, "Smyth");
  const SaveResult saved = Save();
  RefreshPlayerRow(rows_, saved);
  EXPECT_EQ(rows_[2].last_name, "Smyth");
  EXPECT_EQ(rows_[0].last_name, "Duncan");
  EXPECT_EQ(saved.position, P());
}

TEST_F(EditRound, NothingIsSavedWithoutALoadedPlayerAndALiveView) {
  EXPECT_FALSE(Save().saved);  // nothing loaded yet
  Load();
  pages_.Type(kAttributesTab, 119, "99");
  CloseRosterView(view_);
  EXPECT_FALSE(Save().saved);  // after Close
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);
  MemoryPages other;
  LoadedPlayer none;
  EXPECT_FALSE(LoadPlayer(view_, P(), other, none));
  EXPECT_FALSE(none.loaded);
}

TEST_F(EditRound, RecordMustLieWhollyInTheFile) {
  const auto size = static_cast<std::uint32_t>(view_.size);
  EXPECT_FALSE(LoadPlayer(view_, 0, pages_, player_));
  EXPECT_FALSE(LoadPlayer(view_, size - 498, pages_, player_));
  EXPECT_TRUE(LoadPlayer(view_, size - 499, pages_, player_));
  EXPECT_TRUE(player_.loaded);
}

TEST_F(EditRound, ZeroLengthNameIsNeverWritten) {
  CloseRosterView(view_);
  RosterBuilder builder;
  builder.Add(u"", U16("Solo"));
  built_ = builder.Build();
  Reopen(built_.bytes);
  ASSERT_TRUE(LoadPlayer(view_, built_.Position(0), pages_, player_));
  EXPECT_EQ(pages_.GetFieldLimit(kVitalsTab, kFirstName), 0u);
  pages_.Type(kVitalsTab, kFirstName, "X");
  EXPECT_EQ(pages_.Text(kVitalsTab, kFirstName), "");  // the box takes nothing
  pages_.SetFieldText(kVitalsTab, kFirstName, "Forced");
  EXPECT_TRUE(Save().saved);
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
}  // namespace rostrel
