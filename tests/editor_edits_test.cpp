// The editor's main window keeps what the pages show and what the file holds
// together: Save asks before it stores a text that would not read back as
// typed, and a player with unsaved edits asks before it is left.
#include "tests/editor_window.h"

namespace rostrel {
namespace {

std::string Shown(HWND form, int tab, int id) { return GetControlText(FindPage(form, tab), id); }

TEST_F(Editor, SaveNamesTextsTheFileWouldNotHoldAsTypedAndAsks) {
  Drop({roster_});
  ClickRow(0);
  const Bytes before = ReadFileBytes(roster_);
  ClickTab(1);
  Retype(PageControl(1, 100), "300");
  ClickTab(0);
  Retype(PageControl(0, vitals::kHeight), "9' 2\"");
  Retype(PageControl(0, vitals::kNumber), "00");  // reads back as typed: not named
  g_answers = {IDNO};
  Click(GetDlgItem(form_, kSaveButton));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0],
            "The file cannot hold these values as typed:\n\nHeight: \"9' 2\"\" would be saved as \"8' 4\"\"\n"
            "Shooting(Close): \"300\" would be saved as \"44\"\n\nSave anyway?");
  EXPECT_EQ(ReadFileBytes(roster_), before);  // No writes nothing, keeps the edits
  EXPECT_EQ(Shown(form_, 1, 100), "300");
  EXPECT_EQ(GetFocus(), PageControl(0, vitals::kHeight));

  g_answers = {IDYES};
  Click(GetDlgItem(form_, kSaveButton));
  ASSERT_EQ(g_boxes.size(), 2u);
  const Bytes after = ReadFileBytes(roster_);
  EXPECT_EQ(after[built_.Offset(0, 436)], 44);
  EXPECT_EQ((test::GetU32(after, built_.Offset(0, 48)) & 0xFFFF) >> 7, 100u);
  // The boxes show what the file holds now.
  EXPECT_EQ(Shown(form_, 1, 100), "44");
  EXPECT_EQ(Shown(form_, 0, vitals::kHeight), "8' 4\"");
  EXPECT_EQ(Shown(form_, 0, vitals::kNumber), "00");
  Click(GetDlgItem(form_, kCloseButton));  // nothing unsaved: no question
  EXPECT_EQ(g_boxes.size(), 2u);
}

TEST_F(Editor, UnsavedEditsAreSavedDroppedOrKeptAsTheUserSays) {
  Drop({roster_});
  ClickRow(0);
  ClickTab(1);
  Retype(PageControl(1, 100), "77");
  const Bytes before = ReadFileBytes(roster_);
  const std::string question = "Save the changes to \"Tony Parker\"?";

  g_answers = {IDCANCEL};  // another player, then Close: both stay undone
  ClickRow(1);
  Click(GetDlgItem(form_, kCloseButton));
  ASSERT_EQ(g_boxes, (std::vector<std::string>{question, question}));
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Shown(form_, 1, 100), "77");
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(ReadFileBytes(roster_), before);
  ClickRow(0);  // the same player again: the edit stays, nothing is asked
  EXPECT_EQ(Shown(form_, 1, 100), "77");

  g_answers = {IDNO};
  ClickRow(1);
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_EQ(Shown(form_, 0, vitals::kFirstName), "Manu");
  EXPECT_EQ(ReadFileBytes(roster_), before);

  Retype(PageControl(1, 100), "78");
  g_answers = {IDYES};
  ClickRow(3);
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(1, 436)], 78);
  EXPECT_EQ(Shown(form_, 0, vitals::kFirstName), "Tim");
  EXPECT_EQ(g_boxes.back(), "Save the changes to \"Manu Tony\"?");

  Retype(PageControl(1, 100), "79");
  g_answers = {IDYES};
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(3, 436)], 79);

  Drop({roster_});
  ClickRow(4);
  Retype(PageControl(1, 100), "80");
  const Bytes saved = ReadFileBytes(roster_);
  g_answers = {IDNO};
  Click(GetDlgItem(form_, kCloseButton));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ReadFileBytes(roster_), saved);
  EXPECT_EQ(g_boxes.size(), 6u);

  // Closing the window as it runs modally: Cancel keeps it open, Yes saves and closes.
  Drop({roster_});
  ClickRow(4);
  Retype(PageControl(1, 100), "81");
  SetPropA(form_, "VD_MODAL", reinterpret_cast<HANDLE>(1));
  g_answers = {IDCANCEL};
  SendMessageA(form_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(IsWindow(form_));
  g_answers = {IDYES};
  SendMessageA(form_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_EQ(ReadFileBytes(roster_)[built_.Offset(4, 436)], 81);
  EXPECT_EQ(g_boxes.size(), 8u);
}

}  // namespace
}  // namespace rostrel
