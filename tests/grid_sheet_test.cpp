// The list's copy and paste rules, over a roster from the builder: a copy
// pasted back changes nothing, text as spreadsheets put it on the clipboard
// reads, each kind of paste lands where it should, a bad block is refused
// whole with every problem named, and a Set's steps stay within the field.
#include <gtest/gtest.h>

#include <bit>

#include "player/grid_sheet.h"
#include "player/player_list.h"
#include "roster_builder.h"

namespace rostrel {
namespace {

const Field& F(const char* label) { return *FindField(label); }

TEST(GridSheet, CopiesPasteBackAndSpreadsheetBlocksLandOrAreRefusedWhole) {
  test::RosterBuilder builder;
  builder.Add(test::U16("Tony"), test::U16("Parker")).Add(test::U16("Manu"), test::U16("Tony")).Add(test::U16("Tim"), test::U16("Duncan"));
  for (std::size_t i = 0; i < 3; ++i) {
    auto& r = builder.Record(i);
    r[436 + 19] = static_cast<std::uint8_t>(70 + i);  // Speed
    const auto height = std::bit_cast<std::uint32_t>(static_cast<float>(80 * 2.54 + 0.3));
    for (int k = 0; k < 4; ++k) r[40 + k] = static_cast<std::uint8_t>(height >> (8 * k));
  }
  test::TempDir dir;
  const std::string path = dir.File("Grid.ROS");
  test::WriteFileBytes(path, builder.Build().bytes);
  RosterView view;
  ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
  PasteTarget target;
  for (const PlayerEntry& row : FillPlayerList(path, 0)) target.players.push_back(row.position);
  target.listed = {target.players[2], target.players[0], target.players[1]};  // sorted in the list
  target.columns = {&F("FirstName"), &F("LastName"), &F("Speed"), &F("Height"), &F("Age"), &F("Year 1")};
  PendingEdits edits;
  auto plan = [&](const std::string& text) { return PlanPaste(view, edits, text, target); };
  auto one = [](const PastePlan& p, std::uint32_t position, const char* label, const char* text) {
    return p.ok() && p.edits.size() == 1 && p.edits[0].position == position && p.edits[0].field == FindField(label) &&
           p.edits[0].text == text;
  };

  // A copy pasted back, as Excel gives it after a sort there, changes nothing.
  const std::string copy = CopiedCells(view, edits, target.listed, target.columns);
  EXPECT_EQ(copy.substr(0, copy.find("\r\n")), "Record\tFirstName\tLastName\tSpeed\tHeight\tAge\tYear 1");
  const std::size_t last = copy.rfind("\r\n", copy.size() - 3) + 2;
  EXPECT_TRUE(plan(copy.substr(0, copy.find("\r\n") + 2) + copy.substr(last)).edits.empty());
  EXPECT_TRUE(plan(copy).ok() && plan(copy).edits.empty());
  std::string changed = copy;
  changed.replace(changed.find("\t72\t"), 4, "\t95\t");
  EXPECT_TRUE(one(plan(changed), target.players[2], "Speed", "95"));

  // By label without the record position: the selected rows, in list order; the counts must match.
  target.selected = {0, 2};
  const PastePlan labelled = plan("speed\tHEIGHT\n90\t6-10\n91\t\"6' 2\"\"\"\n");
  ASSERT_TRUE(labelled.ok());
  ASSERT_EQ(labelled.edits.size(), 4u);
  EXPECT_EQ(labelled.edits[2].position, target.listed[2]);
  EXPECT_EQ(labelled.edits[3].text, "6' 2\"");
  target.selected = {1};
  EXPECT_EQ(plan("Speed\r\n90\r\n91\r\n").problems, (std::vector<std::string>{"the block has 2 rows and 1 player is selected"}));

  // No header: the shown columns from the focused cell on; a decimal comma, a
  // bare quote and a quoted cell with a tab and a line end read as Excel means them.
  target.focus_row = 1, target.focus_column = 5;
  EXPECT_TRUE(one(plan("12,5\r\n"), target.listed[1], "Year 1", "12.5"));
  target.focus_column = 3;
  EXPECT_TRUE(one(plan("6' 10\"\n"), target.listed[1], "Height", "6' 10\""));
  target.focus_column = 0;
  EXPECT_TRUE(one(plan("\"T\tm\"\n"), target.listed[1], "FirstName", "T\tm"));
  EXPECT_EQ(plan("\"a\nb\"\tx\ty\tz\tw\tv\tu\n").problems.size(), 1u);  // seven cells from FirstName, six shown
  target.focus_row = 2;
  EXPECT_EQ(plan("1\n2\n").problems, (std::vector<std::string>{"the block has 2 rows, and 1 are listed from the focused row on"}));

  // A bad block: every problem named, nothing planned.
  const PastePlan bad = plan("Record\tSpeed\tHeigth\n7\tfast\t1\n");
  EXPECT_EQ(bad.problems, (std::vector<std::string>{"line 1: no field is labelled \"Heigth\""}));
  const PastePlan refused = plan("Record\tSpeed\tAge\tFirstName\n" + std::to_string(target.players[0]) + "\tfast\t99\tTonyTony\n7\t1\t1\tA\n");
  EXPECT_TRUE(refused.edits.empty());
  EXPECT_EQ(refused.problems, (std::vector<std::string>{
                                  "line 2, Speed: \"fast\" refused: the box takes digits only",
                                  "line 2, Age: \"99\": Age cannot be edited",
                                  "line 2, FirstName: \"TonyTony\" refused: a name can be at most 4 characters long here (its stored length)",
                                  "line 3: no listed player has record position 7"}));

  // Steps stay within the field; a step needs a number to move.
  std::vector<std::string> problems;
  const std::vector<std::uint32_t> all = target.players;
  const auto up = SetEdits(view, edits, all, F("Speed"), "+200", problems);
  EXPECT_EQ(up[0].text, "255");
  EXPECT_EQ(SetEdits(view, edits, all, F("Speed"), "-71", problems)[2].text, "1");
  EXPECT_EQ(SetEdits(view, edits, all, F("Height"), "+100", problems)[0].text, "8' 4\"");
  EXPECT_EQ(SetEdits(view, edits, all, F("FirstName"), "+5", problems)[0].text, "+5");  // names take it as text
  EXPECT_TRUE(problems.empty());
  ASSERT_TRUE(edits.Apply(view, up).empty());
  EXPECT_EQ(edits.PlayerCount(), 3u);
  EXPECT_TRUE(edits.Undo() && edits.empty());
  CloseRosterView(view);
}

}  // namespace
}  // namespace rostrel
