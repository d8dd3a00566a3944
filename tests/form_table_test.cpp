#include <gtest/gtest.h>

#include "pages/form_table.h"

namespace rostrel {
namespace {

int CountControls(const char* form) {
  ControlDef c;
  int id = 100;
  while (LookupControlDef(form, id, c)) ++id;
  return id - 100;
}

TEST(FormTable, FormsAndTheirContiguousControls) {
  EXPECT_EQ(CountControls("FORM1"), 15);
  EXPECT_EQ(CountControls("SET"), 7);
  EXPECT_EQ(CountControls("HISTORY"), 6);
  EXPECT_EQ(CountControls("COLUMNS"), 3);
  EXPECT_EQ(CountControls("ATTRIBUTES"), 68);
  EXPECT_EQ(CountControls("TENDENCIES"), 32);
  EXPECT_EQ(CountControls("VITALS"), 66);
  ControlDef c;
  EXPECT_FALSE(LookupControlDef("FORM1", 99, c));
  EXPECT_FALSE(LookupControlDef("FORM1", 115, c));
  EXPECT_TRUE(c.ClassName.empty());
  EXPECT_FALSE(LookupControlDef("FORM2", 100, c));
  FormDef f;
  EXPECT_FALSE(LookupFormDef("FORM2", f));
  ASSERT_TRUE(LookupFormDef("  vitals ", f));
  EXPECT_EQ(f.Caption, "Vitals");
  EXPECT_EQ(f.Style, 0x10CF0000u);
  ASSERT_TRUE(LookupFormDef("FORM1", f));
  EXPECT_EQ(f.ExStyle, win::kWsExDlgModalFrame);
  EXPECT_TRUE(f.FocusFirst);
  EXPECT_EQ(f.CenterMode, 2u);
}

TEST(FormTable, NameRuleAndListViewDefinition) {
  ControlDef c;
  ASSERT_TRUE(LookupControlDef("  form1  ", 101, c));
  EXPECT_EQ(c.ClassName, "SysListView32");
  EXPECT_EQ(c.Style, 0x56011049u);  // owner data, several rows selected at once
  EXPECT_EQ(c.ExStyle, win::kWsExClientEdge);
  EXPECT_EQ(c.InitMessage, 0x1036u);
  EXPECT_EQ(c.InitWParam, 0u);
  EXPECT_EQ(c.InitLParam, 0x30u);  // full-row selection, columns dragged
  EXPECT_EQ(c.Events[0].Code, -108);
  EXPECT_EQ(c.Events[0].Handler, HandlerNumber(HandlerId::OnColumnClick));
  EXPECT_EQ(c.Events[1].Message, win::kWmGetDlgCode);
  EXPECT_EQ(c.Events[1].Code, 0x100);
  EXPECT_EQ(c.Events[2].Code, -2);
  EXPECT_EQ(c.Events[2].Handler, HandlerNumber(HandlerId::LoadPlayer));
  EXPECT_EQ(c.Events[3].Message, 0u);
  EXPECT_EQ(c.BackColor, -1);
  EXPECT_EQ(c.ForeColor, -1);
}

TEST(FormTable, EveryStyleIsAChildThatClipsAndFormOneButtons) {
  ControlDef c;
  for (const char* form : {"FORM1", "ATTRIBUTES", "TENDENCIES", "VITALS"}) {
    for (int id = 100; LookupControlDef(form, id, c); ++id) {
      EXPECT_EQ(c.Style & 0x46000000u, 0x46000000u) << form << " " << id;
      if (c.ClassName == "Edit") {
        EXPECT_EQ(c.ExStyle, win::kWsExClientEdge) << form << " " << id;
      } else if (std::string(form) != "FORM1") {
        EXPECT_EQ(c.ExStyle, 0u) << form << " " << id;  // on the pages only edit boxes have an edge
      }
    }
  }
  ASSERT_TRUE(LookupControlDef("FORM1", 106, c));
  EXPECT_EQ(c.Caption, "Read");
  EXPECT_EQ(c.Style, 0x46016F00u);
  EXPECT_EQ(c.Events[0].Handler, HandlerNumber(HandlerId::ReadRosterFile));
  ASSERT_TRUE(LookupControlDef("FORM1", 105, c));
  EXPECT_EQ(c.Style & 0x08000000u, 0x08000000u);  // Save starts disabled
  ASSERT_TRUE(LookupControlDef("FORM1", 103, c));
  EXPECT_EQ(c.Events[0].Handler, HandlerNumber(HandlerId::OnSearchKey));
  EXPECT_EQ(c.Events[1].Code, 0x102);
  ASSERT_TRUE(LookupControlDef("FORM1", 108, c));
  EXPECT_TRUE(c.CaptionIsUtf8);
  EXPECT_EQ(c.Caption.size(), 64u * 3);  // 64 characters of three UTF-8 bytes each
  EXPECT_EQ(c.Caption.substr(0, 3), "\xE9\x93\xB6");
  // The table says which control hosts the pages, in tab order; no other control hosts any.
  ASSERT_TRUE(LookupControlDef("FORM1", 104, c));
  EXPECT_EQ(c.Pages, "VITALS,ATTRIBUTES,TENDENCIES");
  ASSERT_TRUE(LookupControlDef("FORM1", 101, c));
  EXPECT_EQ(c.Pages, "");
}

TEST(FormTable, BytePagesPairEachBoxWithItsLabel) {
  ControlDef c;
  ASSERT_TRUE(LookupControlDef("ATTRIBUTES", 119, c));
  EXPECT_EQ(c.ClassName, "Edit");
  EXPECT_EQ(c.Style, 0x56012080u);
  EXPECT_EQ(c.X, 4065);
  EXPECT_EQ(c.Y, 915);
  EXPECT_EQ(c.Width, 525);
  ASSERT_TRUE(LookupControlDef("ATTRIBUTES", 148, c));
  EXPECT_EQ(c.Caption, "Speed");
  EXPECT_EQ(c.Style, 0x56000900u);
  EXPECT_EQ(c.ExStyle, 0u);
  ASSERT_TRUE(LookupControlDef("ATTRIBUTES", 143, c));
  EXPECT_EQ(c.Caption, "???");
  EXPECT_EQ(c.Height, 225);
  ASSERT_TRUE(LookupControlDef("TENDENCIES", 125, c));
  EXPECT_EQ(c.Caption, "Contests Shots");
  ASSERT_TRUE(LookupControlDef("TENDENCIES", 115, c));
  EXPECT_EQ(c.Width, 495);
  EXPECT_EQ(c.X, 5400);
  ASSERT_TRUE(LookupControlDef("VITALS", 150, c));
  EXPECT_EQ(c.ClassName, "ComboBox");
  EXPECT_EQ(c.Height, 2200);
  ASSERT_TRUE(LookupControlDef("VITALS", 152, c));
  EXPECT_EQ(c.Caption, "IFF Enabled");
  EXPECT_EQ(c.Style, 0x56012D03u);
  ASSERT_TRUE(LookupControlDef("VITALS", 163, c));
  EXPECT_EQ(c.Height, 285);
}

TEST(FormTable, TwipsToPixelsAt96Dpi) {
  FormDef f;
  ASSERT_TRUE(LookupFormDef("FORM1", f));
  EXPECT_EQ(TwipsToPixels(f.Width, 96), 748);
  EXPECT_EQ(TwipsToPixels(f.Height, 96), 412);
  ControlDef c;
  ASSERT_TRUE(LookupControlDef("FORM1", 101, c));
  EXPECT_EQ(TwipsToPixels(c.X, 96), 16);
  EXPECT_EQ(TwipsToPixels(c.Y, 96), 77);
  EXPECT_EQ(TwipsToPixels(c.Width, 96), 217);
  EXPECT_EQ(TwipsToPixels(c.Height, 96), 262);
  EXPECT_EQ(TwipsToPixels(225, 96), 15);
  EXPECT_EQ(TwipsToPixels(22, 96), 1);   // 1.47 rounds down
  EXPECT_EQ(TwipsToPixels(30, 144), 3);  // 30 / 10
  EXPECT_EQ(TwipsToPixels(15, 48), 0);   // 0.5: ties to even
  EXPECT_EQ(TwipsToPixels(45, 48), 2);   // 1.5: ties to even
  EXPECT_EQ(TwipsToPixels(100, 0), 0);
}

}  // namespace
}  // namespace rostrel
