#include <gtest/gtest.h>

#include "forms/form_math.h"
#include "roster/roster_file.h"
#include "pages/form_table.h"

namespace rostrel {
namespace {

TEST(FormMath, StylesByCreationMode) {
  FormDef page, main;
  ASSERT_TRUE(LookupFormDef("VITALS", page));
  ASSERT_TRUE(LookupFormDef("FORM1", main));
  EXPECT_EQ(StylesForMode(page.Style, page.ExStyle, 4, true), (FormStyles{0x56000400, 0}));
  EXPECT_EQ(StylesForMode(page.Style, 0x300 | 0x1, 4, true).ex_style, 0u);  // edges go too
  EXPECT_EQ(StylesForMode(page.Style, 0x300, 2, true).ex_style, 0x300u);    // mode 2 keeps the edges
  EXPECT_EQ(StylesForMode(main.Style, main.ExStyle, 0, false), (FormStyles{0x16CF0000, 0x1}));  // sizable
  EXPECT_EQ(StylesForMode(page.Style, 0, 3, true).style, 0x56CF0400u);  // a child keeping its frame
  EXPECT_EQ(StylesForMode(page.Style, 0x8, 3, true).ex_style, 0u);      // a child is never topmost
  EXPECT_EQ(StylesForMode(page.Style, 0x8, 4, false).ex_style, 0x8u);   // without a parent nothing changes
}

TEST(FormMath, TabPageRectangle) {
  EXPECT_EQ(TabPageRect({238, 6, 489, 335}, 21, 2), (Rect{240, 29, 484, 309}));
  EXPECT_EQ(TabPageRect({0, 0, 100, 100}, 20, 1), (Rect{1, 21, 97, 77}));
}

TEST(FormMath, Centring) {
  EXPECT_EQ(CenterInWorkArea({0, 0, 1280, 984}, 748, 412), (Point{266, 286}));
  EXPECT_EQ(CenterInWorkArea({100, 50, 1001, 601}, 0, 0), (Point{600, 350}));  // 500.5 ties to even
  EXPECT_EQ(CenterInWorkArea({0, 0, 600, 400}, 748, 412), (Point{0, 0}));      // larger than the work area
  EXPECT_EQ(CenterOnReference({0, 0, 1000, 800}, {100, 100, 200, 200}, 100, 50), (Point{150, 175}));
  EXPECT_EQ(CenterOnReference({0, 0, 1000, 800}, {900, 700, 200, 200}, 300, 300), (Point{700, 500}));
  EXPECT_EQ(CenterOnReference({0, 0, 1000, 800}, {-300, -300, 100, 100}, 300, 300), (Point{0, 0}));
}

TEST(FormMath, ColourEncoding) {
  EXPECT_EQ(CheckedColor(-1), -1);
  EXPECT_EQ(CheckedColor(0), 0);
  EXPECT_EQ(CheckedColor(0x00FF8040), 0x00FF8040);
  EXPECT_EQ(CheckedColor(0x01000005), 0x01000005);
  EXPECT_TRUE(IsSystemColor(0x01000005));
  EXPECT_FALSE(IsSystemColor(0x00000005));
  EXPECT_EQ(CheckedColor(0x02000000), -1);
  EXPECT_EQ(CheckedColor(static_cast<std::int32_t>(0xFF000000u)), -1);
  EXPECT_EQ(ColorProperty(0), 1u);  // black is stored as 1
  EXPECT_EQ(ColorProperty(0x01000005), 0x01000006u);
  EXPECT_EQ(ColorFromProperty(ColorProperty(0x00123456)), 0x00123456);
}

TEST(FormMath, FontHeightAndBlocks) {
  EXPECT_EQ(FontHeight(96, 8), -10);    // 768 / 72 = 10.67, cut toward zero
  EXPECT_EQ(FontHeight(96, 12), -16);
  EXPECT_EQ(FontHeight(120, 8), -13);
  EXPECT_EQ(FontHeight(96, 8.25), -11);  // round(792) / 72 = 11
  EXPECT_EQ(FontHeight(96, 0.375), 0);   // round(36) / 72 = 0.5, cut to 0
  // The dialog manager's height for a template's 8 points: -MulDiv(8, dpi, 72).
  EXPECT_EQ(DialogFontHeight(96, 8), -11);   // 10.67 rounded
  EXPECT_EQ(DialogFontHeight(120, 8), -13);  // 13.33
  EXPECT_EQ(DialogFontHeight(144, 8), -16);
  EXPECT_EQ(DialogFontHeight(81, 8), -9);    // exactly 9
  EXPECT_EQ(DialogFontHeight(117, 6), -10);  // 9.75; and a half (9.5 at 114) goes away from zero
  EXPECT_EQ(DialogFontHeight(114, 6), -10);
  EXPECT_EQ(HeapBlockSize(0), 0u);
  EXPECT_EQ(HeapBlockSize(1), 16u);
  EXPECT_EQ(HeapBlockSize(15), 16u);
  EXPECT_EQ(HeapBlockSize(16), 17u);
  const auto tag = TagBlock("abc");
  ASSERT_EQ(tag.size(), 16u);
  EXPECT_EQ(std::vector<std::uint8_t>(tag.begin(), tag.begin() + 7),
            (std::vector<std::uint8_t>{3, 0, 0, 0, 'a', 'b', 'c'}));
  EXPECT_EQ(tag[7], 0);
  EXPECT_TRUE(TagBlock("").empty());
}

}  // namespace
}  // namespace rostrel

namespace rostrel {
namespace {

TEST(PathParts, ExtensionNameFolderAndDrive) {
  const PathParts full = SplitPath("C:\\Games\\2K9.v2\\Saves\\Roster.ROS");
  EXPECT_EQ(full.extension, "ROS");
  EXPECT_EQ(full.file_name, "Roster.ROS");
  EXPECT_EQ(full.folder, "C:\\Games\\2K9.v2\\Saves\\");
  EXPECT_EQ(full.drive, "C:");
  // A dot in a folder name is no extension.
  EXPECT_EQ(SplitPath("C:\\Games\\2K9.v2\\Roster").extension, "");
  const PathParts drive_relative = SplitPath("D:file.fxg");
  EXPECT_EQ(drive_relative.file_name, "file.fxg");
  EXPECT_EQ(drive_relative.folder, "D:\\");
  const PathParts network = SplitPath("\\\\server\\share\\a\\b.ros");
  EXPECT_EQ(network.drive, "\\\\server\\share");
  EXPECT_EQ(network.folder, "\\\\server\\share\\a\\");
  const PathParts bare = SplitPath("roster");
  EXPECT_EQ(bare.file_name, "roster");
  EXPECT_EQ(bare.folder, "");
  EXPECT_EQ(bare.drive, "");
  EXPECT_EQ(WithOneTrailingBackslash("C:\\Temp\\\\"), "C:\\Temp\\");
  EXPECT_EQ(WithOneTrailingBackslash("C:\\Temp"), "C:\\Temp\\");
  EXPECT_EQ(WithOneTrailingBackslash(""), "");
}

}  // namespace
}  // namespace rostrel
