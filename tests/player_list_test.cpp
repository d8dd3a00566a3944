#include <gtest/gtest.h>

#include "player/names.h"
#include "player/player_list.h"
#include "roster/field.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Built;
using test::Bytes;
using test::Kind;
using test::PutU16;
using test::PutU32;
using test::ReadFileBytes;
using test::ReferenceTo;
using test::RosterBuilder;
using test::TempDir;
using test::U16;
using test::WriteFileBytes;

std::vector<std::string> FirstNames(const std::vector<PlayerEntry>& rows) {
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row.first_name);
  return names;
}

// Writes bytes as a roster file, lists it, and checks that neither the fill
// nor the names read through the view change a byte.
class ListFile : public ::testing::Test {
 protected:
  std::vector<PlayerEntry> List(const Bytes& bytes, Kind kind = Kind::Ros) {
    path_ = dir_.File(kind == Kind::Ros ? "t.ROS" : "t.FXG");
    WriteFileBytes(path_, bytes);
    auto rows = FillPlayerList(path_, *HeaderOffsetFor(path_), &report_);
    RosterView view;
    if (OpenRosterView(view, path_) == OpenStatus::Ok) {
      for (const PlayerEntry& row : rows) {
        const std::uint32_t p = row.position;
        EXPECT_EQ(CellText(ReadNameAt(view, ResolveRelative(view, p + 4))), row.first_name);
        EXPECT_EQ(CellText(ReadNameAt(view, ResolveRelative(view, p))), row.last_name);
      }
    }
    CloseRosterView(view);
    EXPECT_EQ(ReadFileBytes(path_), bytes);
    return rows;
  }
  TempDir dir_;
  std::string path_;
  ListReport report_;
};

TEST_F(ListFile, ListsEveryPlayerInFileOrder) {
  const Built b = RosterBuilder().Add(U16("Tony"), U16("Parker")).Add(U16("Tim"), U16("Duncan"))
                      .Add(U16("Manu"), U16("Ginobili")).Build();
  const auto rows = List(b.bytes);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].first_name, "Tony");
  EXPECT_EQ(rows[0].last_name, "Parker");
  EXPECT_EQ(rows[1].last_name, "Duncan");  // names after the table
  EXPECT_EQ(rows[2].first_name, "Manu");   // names before the table
  EXPECT_EQ(rows[0].position, b.table + 1);
  EXPECT_EQ(PositionCell(rows[2].position), " " + std::to_string(b.table + 1001));  // the hidden column
  EXPECT_EQ(PositionOfCell(PositionCell(rows[2].position)), b.table + 1001);
  EXPECT_EQ(report_.stored_count, 3u);
  EXPECT_EQ(report_.dropped_players, 0u);
  EXPECT_EQ(report_.names_outside + report_.names_unterminated + report_.names_cut, 0u);
}

TEST_F(ListFile, SavedGameHasItsHeaderAt65088) {
  const Built b = RosterBuilder(Kind::Fxg).Add(U16("Kobe"), U16("Bryant")).AddMany(1).Build();
  ASSERT_EQ(b.header, 65088u);
  const auto rows = List(b.bytes, Kind::Fxg);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].last_name, "Bryant");
  // The same bytes read as a roster file find no header at offset 0.
  EXPECT_TRUE(List(b.bytes, Kind::Ros).empty());
}

TEST_F(ListFile, NamesShowTheLowByteOfEachUnit) {
  std::u16string wide = U16("Jo");
  wide += char16_t{0x0130};
  const Built b = RosterBuilder().Add(U16("Joe"), wide).Add(u"", U16("Nobody")).Build();
  const auto rows = List(b.bytes);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].first_name, "Joe");
  EXPECT_EQ(rows[0].last_name, "Jo0");
  EXPECT_EQ(rows[1].first_name, "");
  EXPECT_EQ(report_.names_wide, 1u);
}

TEST_F(ListFile, CountAbove32767ListsAtMost32767) {
  Built b = RosterBuilder().AddMany(32768).Build();
  PutU32(b.bytes, 0x1C, 0xFFFFFFFF);
  const auto rows = List(b.bytes);
  EXPECT_EQ(rows.size(), 32767u);
  EXPECT_EQ(rows.back().first_name, "F32766");
  EXPECT_EQ(report_.dropped_players, 0xFFFFFFFFu - 32767u);
}

TEST_F(ListFile, CountBeyondTheFileListsOnlyWholeRecords) {
  Built b = RosterBuilder().AddMany(4).Build();
  PutU32(b.bytes, 0x1C, 1000);
  EXPECT_EQ(List(b.bytes).size(), 4u);  // the odd names behind the table fill part of a fifth record
  b.bytes.resize(b.table + 500 * 2 + 499);  // the third record lacks its last byte
  EXPECT_EQ(List(b.bytes).size(), 2u);
}

TEST_F(ListFile, TableReferenceOutsideTheFileListsNobody) {
  Built b = RosterBuilder().AddMany(3).Build();
  PutU32(b.bytes, 0x20, static_cast<std::uint32_t>(b.bytes.size()) + 100);
  EXPECT_TRUE(List(b.bytes).empty());
  PutU32(b.bytes, 0x20, ReferenceTo(0x20, 0) - 4);  // points before the start of the file
  EXPECT_TRUE(List(b.bytes).empty());
  PutU32(b.bytes, 0x20, 0x80000000u);
  EXPECT_TRUE(List(b.bytes).empty());
}

TEST_F(ListFile, TableMayLieBeforeItsReference) {
  // The header's reference designates offset 0 (the checksum itself): the
  // record there is read like any other.
  Bytes bytes(2000, 0);
  PutU32(bytes, 0x1C, 1);
  PutU32(bytes, 0x20, ReferenceTo(0x20, 0));
  PutU32(bytes, 0, ReferenceTo(0, 1000));
  PutU32(bytes, 4, ReferenceTo(4, 1000));
  PutU16(bytes, 1000, 'Z');
  const auto rows = List(bytes);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].first_name, "Z");
  EXPECT_EQ(rows[0].position, 1u);
}

TEST_F(ListFile, NameReferencesOutsideTheFileGiveEmptyNames) {
  Built b = RosterBuilder().AddMany(3).Build();
  PutU32(b.bytes, b.Offset(0, 0), 0x7FFFFFFF);
  PutU32(b.bytes, b.Offset(1, 4), ReferenceTo(b.Offset(1, 4), 0) - 10);  // before the file
  PutU32(b.bytes, b.Offset(2, 4), static_cast<std::uint32_t>(b.bytes.size()) - b.Offset(2, 4) + 1);  // at the end
  const auto rows = List(b.bytes);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].last_name, "");
  EXPECT_EQ(rows[0].first_name, "F0");
  EXPECT_EQ(rows[1].first_name, "");
  EXPECT_EQ(rows[2].first_name, "");
  EXPECT_EQ(report_.names_outside, 3u);
}

TEST_F(ListFile, UnterminatedNameStopsAtTheEndOfTheFile) {
  Built b = RosterBuilder().AddMany(1).Build();
  const auto end = static_cast<std::uint32_t>(b.bytes.size());
  b.bytes.insert(b.bytes.end(), {'A', 0, 'B', 0, 'C'});  // a last half unit
  PutU32(b.bytes, b.Offset(0, 0), ReferenceTo(b.Offset(0, 0), end));
  const auto rows = List(b.bytes);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].last_name, "AB");
  EXPECT_EQ(report_.names_unterminated, 1u);
}

TEST_F(ListFile, LongNamesAreCutAtTheLongestShownName) {
  const Built b = RosterBuilder().Add(std::u16string(300, u'x'), U16("Short")).Build();
  const auto rows = List(b.bytes);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].first_name, std::string(kMaxNameLength, 'x'));
  EXPECT_EQ(report_.names_cut, 1u);
}

TEST_F(ListFile, ShortAndUnreadableFilesListNobody) {
  for (std::size_t size : {0u, 3u, 4u, 35u}) {
    EXPECT_TRUE(List(Bytes(size, 0x41)).empty()) << size;
    EXPECT_TRUE(report_.no_header) << size;
  }
  Bytes count_only(36, 0);
  PutU32(count_only, 0x1C, 5);  // a header, but no room for a record
  EXPECT_TRUE(List(count_only).empty());
  EXPECT_FALSE(report_.no_header);
  EXPECT_EQ(report_.dropped_players, 5u);
  // A saved game shorter than its header offset.
  Built b = RosterBuilder().AddMany(2).Build();
  EXPECT_TRUE(List(b.bytes, Kind::Fxg).empty());
  EXPECT_TRUE(report_.no_header);

  EXPECT_TRUE(FillPlayerList(dir_.File("missing.ros"), 0, &report_).empty());
  EXPECT_TRUE(report_.unreadable);
  EXPECT_TRUE(FillPlayerList(dir_.path().string(), 0, &report_).empty());
  EXPECT_TRUE(report_.unreadable);
}

TEST(NameRead, ViewReadsStopAtTheEndOfTheView) {
  TempDir dir;
  const std::string path = dir.File("n.ros");
  WriteFileBytes(path, Bytes{'H', 0, 'i', 0, 0, 0, 'X', 0, 'Y'});
  RosterView view;
  ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
  EXPECT_EQ(ReadNameAt(view, 1), "Hi");
  EXPECT_EQ(ReadNameAt(view, 5), "");
  EXPECT_EQ(ReadNameAt(view, 7), "X");  // "Y" is half a unit
  EXPECT_EQ(ReadNameAt(view, 10), "");
  EXPECT_EQ(ReadNameAt(view, 0), "");
  EXPECT_EQ(ResolveRelative(view, 1), 1u + 0x00690048u - 1u);
  EXPECT_EQ(ResolveRelative(view, 7), 7u - 1u);  // the dword at 7 does not fit: v reads 0
}

TEST(NameText, CellEndsAtACharacterCodeZero) {
  EXPECT_EQ(CellText(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(CellText("abc"), "abc");
}

TEST(SortText, UpperCaseUnsignedShorterFirst) {
  EXPECT_EQ(CompareSortText("smith", "SMITH"), 0);
  EXPECT_LT(CompareSortText("Adams", "baker"), 0);
  EXPECT_LT(CompareSortText("Bake", "Baker"), 0);
  EXPECT_GT(CompareSortText("Baker", "Bake"), 0);
  EXPECT_LT(CompareSortText("", "A"), 0);
  EXPECT_GT(CompareSortText("\xE9", "z"), 0);  // unsigned: e acute sorts after every ASCII letter
  EXPECT_EQ(CompareSortText("\xE9", "\xC9"), 0);
  EXPECT_EQ(CompareSortText("_", "_"), 0);
  EXPECT_LT(CompareSortText("Z", "_"), 0);  // "_" is 0x5F, after "Z", before lower-case letters
  const std::string a = std::string(255, 'q') + "a", b = std::string(255, 'q') + "b";
  EXPECT_EQ(CompareSortText(a, b), 0);  // only the first 255 characters count
}

TEST(SortText, SingleByteCaseMapping) {
  EXPECT_EQ(UpperText("abc\xE9\xFF\x9A\xF7\xDF"), "ABC\xC9\x9F\x8A\xF7\xDF");
  EXPECT_EQ(LowerText("ABC\xC9\x9F\x8A\xD7"), "abc\xE9\xFF\x9A\xD7");
}

TEST(Sorting, EachColumnTogglesItsOwnState) {
  SortState state;
  EXPECT_EQ(NextSortOrder(state, 1), SortOrder::Ascending);
  EXPECT_EQ(NextSortOrder(state, 1), SortOrder::Descending);
  EXPECT_EQ(NextSortOrder(state, 1), SortOrder::Ascending);
  EXPECT_EQ(NextSortOrder(state, 2), SortOrder::Ascending);
  EXPECT_EQ(NextSortOrder(state, 1), SortOrder::Descending);
  EXPECT_EQ(state.column[1], 'D');
  EXPECT_EQ(state.column[2], 'A');
}

TEST(Sorting, SortsRowsByTheClickedColumn) {
  std::vector<PlayerEntry> rows = {{"tony", "Parker", 1}, {"Tim", "Duncan", 501}, {"Manu", "ginobili", 1001}};
  SortPlayerRows(rows, 1, SortOrder::Ascending);
  EXPECT_EQ(FirstNames(rows), (std::vector<std::string>{"Manu", "Tim", "tony"}));
  SortPlayerRows(rows, 2, SortOrder::Descending);
  EXPECT_EQ(FirstNames(rows), (std::vector<std::string>{"tony", "Manu", "Tim"}));
  EXPECT_EQ(rows[1].position, 1001u);  // the record position travels with its row
}

class Search : public ::testing::Test {
 protected:
  std::vector<PlayerEntry> rows_ = {
      {"Tony", "Smith", 1}, {"Joe", "Tony", 501}, {"tony", "Brown", 1001}, {"", "Empty", 1501}};
  PlayerRows cells_{rows_};
  SearchStart start_;
};

TEST_F(Search, WalksFirstNamesThenLastNamesThenStartsOver) {
  EXPECT_EQ(SearchNext(cells_, start_, "Tony"), 1);
  EXPECT_EQ(SearchNext(cells_, start_, "Tony"), 3);
  EXPECT_EQ(SearchNext(cells_, start_, "Tony"), 2);  // the last name Tony
  EXPECT_EQ(SearchNext(cells_, start_, "Tony"), 0);  // "Not Find!"
  EXPECT_EQ(start_.row, 1);
  EXPECT_EQ(start_.column, 1);
  EXPECT_EQ(SearchNext(cells_, start_, "Tony"), 1);
}

TEST_F(Search, WholeCellIgnoringCase) {
  for (const char* text : {"smith", "SMITH", "Smith"}) {
    SearchStart fresh;
    EXPECT_EQ(FindPlayer(cells_, fresh, text), 1) << text;
    EXPECT_EQ(fresh.column, 2);
    EXPECT_EQ(fresh.row, 2);
  }
  EXPECT_EQ(SearchNext(cells_, start_, "Smit"), 0);
  EXPECT_EQ(SearchNext(cells_, start_, " Smith"), 0);
  EXPECT_EQ(SearchNext(cells_, start_, ""), 4);  // the empty first name
}

TEST_F(Search, EmptyListFindsNothing) {
  std::vector<PlayerEntry> none;
  PlayerRows empty(none);
  EXPECT_EQ(SearchNext(empty, start_, ""), 0);
}

// A player named by "First Last": case ignored by the code page's rules, so an
// accented capital finds its small letter, as the list's search does.
TEST(RowsNamed, IgnoreCaseAsTheCodePageDoes) {
  const std::vector<PlayerEntry> rows{{"Tony", "Parker", 1}, {"\xC9lan", "Lee", 501}, {"tony", "PARKER", 1001}};
  EXPECT_EQ(RowsNamed(rows, "TONY parker"), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(RowsNamed(rows, "\xE9LAN lee"), (std::vector<std::size_t>{1}));
  EXPECT_TRUE(RowsNamed(rows, "Tony").empty());
}

}  // namespace
}  // namespace rostrel
