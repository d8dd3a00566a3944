#include "pages/form_table.h"

#include <cmath>

#include "player/field_catalog.h"
#include "player/pages.h"
#include "player/vitals_table.h"

namespace rostrel {

namespace {

constexpr std::uint32_t kNumericEdit = 0x10012080;  // visible, tab stop, digits only, scrolls
constexpr std::uint32_t kTextEdit = 0x10010080;     // visible, tab stop, scrolls
constexpr std::uint32_t kLabel = 0x10000900;        // visible, notifies, left-aligned text
constexpr std::uint32_t kDropDownList = 0x10210203;  // visible, scroll bar, tab stop, a list of texts to pick from
constexpr int kListHeight = 2200;  // a drop-down list's height with its list dropped

struct ControlRow {
  int id;
  const char* class_name;
  const char* caption;
  std::int32_t x, y, width, height;
  std::uint32_t style, ex_style;
  std::uint32_t init_message = 0, init_lparam = 0;  // sent once the control exists
  bool caption_is_utf8 = false;
  const char* pages = "";  // forms hosted as tab pages
};

// A value on a byte page: an edit box and its label on the same line; the
// label's caption is the field's (BlockBoxLabel).
struct BlockRow {
  int edit_id;
  std::int32_t edit_x, edit_y;
  int label_id;
  std::int32_t label_x, label_y, label_width, label_height;
};

// A line of classical Chinese verse, shown as decoration beside the buttons.
constexpr const char* kVerse =
    "\u94f6\u5e8a\u6dc5\u6ca5\u9752\u68a7\u8001\uff0c\u5c67\u7c89\u79cb\u86e9\u626b\u3002"
    "\u91c7\u9999\u884c\u5904\u8e59\u8fde\u94b1\uff0c\u62fe\u5f97\u7fe0\u7fd8\u4f55\u6068\u4e0d\u80fd\u8a00\u3002"
    "\u56de\u5eca\u4e00\u5bf8\u76f8\u601d\u5730\uff0c\u843d\u6708\u6210\u5b64\u501a\u3002"
    "\u80cc\u706f\u548c\u6708\u5c31\u82b1\u9634\uff0c\u5df2\u662f\u5341\u5e74\u8e2a\u8ff9\u5341\u5e74\u5fc3\u3002";

const ControlRow kMainRows[] = {
    {100, "Button", "&Open", 225, 5175, 975, 375, 0x1001EF00, 0},
    // Owner data: the rows live in the program, the list asks for the cells it shows.
    {101, "SysListView32", "", 240, 1155, 3255, 3930, 0x10011049, win::kWsExClientEdge,
     win::kLvmSetExtendedListViewStyle, win::kLvsExFullRowSelect | win::kLvsExHeaderDragDrop},
    {102, "Static", ">>", 3210, 150, 255, 255, kLabel, 0},
    {103, "Edit", "", 240, 120, 2895, 255, kTextEdit, win::kWsExClientEdge},
    {104, "SysTabControl32", "", 3570, 90, 7335, 5025, 0x10010000, 0, 0, 0, false, "VITALS,ATTRIBUTES,TENDENCIES"},
    {105, "Button", "&Save", 1320, 5175, 975, 375, 0x18016F00, 0},
    {106, "Button", "Read", 3915, 5175, 855, 375, 0x00016F00, 0},
    {107, "Button", "C&lose", 2415, 5175, 975, 375, 0x10016F00, 0},
    {108, "Static", kVerse, 5580, 5160, 5235, 495, kLabel, 0, 0, 0, true},
    {109, "Button", "&History", 3510, 5175, 975, 375, 0x10016F00, 0},
    {110, "Static", "&Filter:", 240, 525, 585, 255, kLabel, 0},
    {111, "Edit", "", 840, 495, 2655, 285, kTextEdit, win::kWsExClientEdge},
    {112, "Static", "", 240, 870, 2115, 255, kLabel, 0},
    {113, "Button", "Col&umns\u2026", 2415, 810, 1080, 315, 0x10010000, 0, 0, 0, true},
    {114, "Button", "Se&t\u2026", 4605, 5175, 855, 375, 0x10016F00, 0, 0, 0, true},
};

struct MainEvents {
  int id;
  EventBinding events[3];
};

const MainEvents kMainEvents[] = {
    {100, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ChooseRosterFile)}}},
    {101,
     {{win::kWmNotify, win::kLvnColumnClick, HandlerNumber(HandlerId::OnColumnClick)},
      {win::kWmGetDlgCode, win::kWmKeyDown, HandlerNumber(HandlerId::ListKey)},
      {win::kWmNotify, win::kNmClick, HandlerNumber(HandlerId::LoadPlayer)}}},
    {103,
     {{win::kWmGetDlgCode, win::kWmKeyDown, HandlerNumber(HandlerId::OnSearchKey)},
      {win::kWmGetDlgCode, win::kWmChar, HandlerNumber(HandlerId::OnSearchChar)}}},
    {105, {{win::kWmCommand, 0, HandlerNumber(HandlerId::SavePlayer)}}},
    {106, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ReadRosterFile)}}},
    {107, {{win::kWmCommand, 0, HandlerNumber(HandlerId::CloseRosterFile)}}},
    {109, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ShowHistory)}}},
    {111,
     {{win::kWmCommand, win::kEnChange, HandlerNumber(HandlerId::FilterChanged)},
      {win::kWmGetDlgCode, win::kWmKeyDown, HandlerNumber(HandlerId::FilterKey)}}},
    {113, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ChooseColumns)}}},
    {114, {{win::kWmCommand, 0, HandlerNumber(HandlerId::SetField)}}},
};

// COLUMNS: every field by page and label, checked when the list shows it.
const ControlRow kColumnRows[] = {
    {100, "SysListView32", "", 120, 120, 4800, 5280, 0x1001000D, win::kWsExClientEdge,
     win::kLvmSetExtendedListViewStyle, win::kLvsExFullRowSelect | win::kLvsExCheckBoxes},
    {101, "Button", "OK", 2400, 5520, 1200, 375, 0x10010001, 0},
    {102, "Button", "Cancel", 3720, 5520, 1200, 375, 0x10010000, 0},
};
const MainEvents kColumnEvents[] = {
    {101, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ColumnsButton)}}},
    {102, {{win::kWmCommand, 0, HandlerNumber(HandlerId::ColumnsButton)}}},
};

// SET: one field given a value for every selected player.
const ControlRow kSetRows[] = {
    {100, "Static", "Field:", 120, 150, 900, 255, kLabel, 0},
    {101, "ComboBox", "", 1080, 120, 2880, kListHeight, kDropDownList, 0},
    {102, "Static", "Value:", 120, 570, 900, 255, kLabel, 0},
    {103, "Edit", "", 1080, 540, 2880, 285, kTextEdit, win::kWsExClientEdge},
    {104, "Static", "", 120, 960, 3840, 255, kLabel, 0},
    {105, "Button", "OK", 1440, 1380, 1200, 375, 0x10010001, 0},
    {106, "Button", "Cancel", 2760, 1380, 1200, 375, 0x10010000, 0},
};
const MainEvents kSetEvents[] = {
    {105, {{win::kWmCommand, 0, HandlerNumber(HandlerId::SetButton)}}},
    {106, {{win::kWmCommand, 0, HandlerNumber(HandlerId::SetButton)}}},
};

// HISTORY: the writes kept beside the roster, newest first, and what can be done with them.
const ControlRow kHistoryRows[] = {
    {100, "SysListView32", "", 120, 120, 9000, 3600, 0x1001000D, win::kWsExClientEdge,
     win::kLvmSetExtendedListViewStyle, win::kLvsExFullRowSelect},
    {101, "Button", "&Undo", 120, 4200, 1095, 375, 0x10010000, 0},
    {102, "Button", "&Redo", 1335, 4200, 1095, 375, 0x10010000, 0},
    {103, "Button", "Re&store", 2550, 4200, 1095, 375, 0x10010000, 0},
    {104, "Button", "&Close", 8025, 4200, 1095, 375, 0x10010000, 0},
    {105, "Static", "", 120, 3810, 9000, 330, kLabel, 0},
};
const MainEvents kHistoryEvents[] = {
    {101, {{win::kWmCommand, 0, HandlerNumber(HandlerId::HistoryButton)}}},
    {102, {{win::kWmCommand, 0, HandlerNumber(HandlerId::HistoryButton)}}},
    {103, {{win::kWmCommand, 0, HandlerNumber(HandlerId::HistoryButton)}}},
    {104, {{win::kWmCommand, 0, HandlerNumber(HandlerId::HistoryButton)}}},
};

// ATTRIBUTES: edit ID, X, Y; label ID, X, Y, width, height.
const BlockRow kAttributeRows[] = {
    {100, 1650, 195, 167, 135, 225, 1455, 255},
    {101, 1650, 555, 166, 135, 585, 1095, 255},
    {102, 1650, 915, 165, 135, 945, 1095, 255},
    {103, 1650, 1275, 164, 135, 1290, 1095, 255},
    {104, 1650, 1635, 162, 135, 1650, 1095, 255},
    {105, 1650, 2010, 163, 135, 2025, 975, 255},
    {106, 6600, 1635, 161, 4965, 1665, 1290, 255},
    {107, 4065, 4155, 160, 2475, 4170, 1455, 255},
    {108, 4065, 3795, 159, 2475, 3810, 1560, 255},
    {109, 6600, 555, 158, 4965, 585, 855, 255},
    {110, 1650, 2355, 157, 135, 2385, 1335, 255},
    {111, 1650, 2715, 156, 135, 2730, 735, 255},
    {112, 6600, 3075, 153, 4965, 3105, 1410, 255},
    {113, 6600, 3450, 154, 4965, 3480, 1410, 255},
    {114, 1650, 3075, 155, 135, 3120, 1335, 255},
    {115, 1650, 3435, 152, 135, 3465, 1215, 255},
    {116, 1650, 3795, 151, 135, 3810, 975, 255},
    {117, 6600, 915, 150, 4965, 945, 735, 255},
    {118, 1650, 4155, 149, 135, 4170, 975, 255},
    {119, 4065, 915, 148, 2475, 945, 735, 255},
    {120, 4065, 1275, 147, 2475, 1290, 855, 255},
    {121, 6600, 2010, 143, 4965, 2055, 390, 225},
    {122, 4065, 3450, 144, 2475, 3465, 975, 255},
    {123, 4065, 195, 145, 2475, 225, 1455, 255},
    {124, 4065, 555, 146, 2475, 585, 1500, 255},
    {125, 4065, 1635, 142, 2475, 1650, 1095, 255},
    {126, 4065, 2355, 141, 2475, 2385, 1455, 255},
    {127, 4065, 2010, 140, 2475, 2025, 1335, 255},
    {128, 6600, 2355, 139, 4965, 2385, 1050, 255},
    {129, 6600, 2715, 138, 4965, 2730, 1170, 255},
    {130, 6600, 1275, 137, 4965, 1290, 1455, 255},
    {131, 6600, 195, 136, 4965, 225, 975, 255},
    {132, 4065, 2715, 135, 2475, 2730, 1095, 255},
    {133, 4065, 3075, 134, 2475, 3120, 1215, 255},
};
// TENDENCIES: edit ID, X, Y; label ID, X, Y, width, height.
const BlockRow kTendencyRows[] = {
    {100, 1845, 345, 129, 240, 360, 1215, 255},
    {101, 1845, 705, 131, 240, 720, 1215, 255},
    {102, 1845, 1065, 130, 240, 1080, 1455, 255},
    {103, 1845, 1425, 120, 240, 1440, 855, 255},
    {104, 1845, 1785, 119, 240, 1800, 1335, 255},
    {105, 1845, 2145, 118, 240, 2160, 1335, 255},
    {106, 1845, 2505, 117, 240, 2520, 1455, 255},
    {107, 1845, 2865, 116, 240, 2880, 1215, 255},
    {108, 5400, 345, 122, 3600, 360, 1455, 255},
    {109, 5400, 705, 128, 3600, 720, 1695, 255},
    {110, 5400, 1065, 123, 3600, 1080, 1695, 255},
    {111, 5400, 1425, 124, 3600, 1440, 1455, 255},
    {112, 5400, 1785, 121, 3600, 1800, 1335, 255},
    {113, 5400, 2145, 127, 3600, 2160, 1215, 255},
    {114, 5400, 2505, 126, 3600, 2520, 1455, 255},
    {115, 5400, 2865, 125, 3600, 2880, 1455, 255},
};
// VITALS: ID, class, caption, X, Y, width, height, style.
const ControlRow kVitalsRows[] = {
    {100, "Edit", "", 6105, 600, 735, 255, kTextEdit, win::kWsExClientEdge},
    {101, "Edit", "", 6105, 960, 735, 255, kTextEdit, win::kWsExClientEdge},
    {102, "Edit", "", 6105, 1320, 735, 255, kTextEdit, win::kWsExClientEdge},
    {103, "Edit", "", 6105, 1680, 735, 255, kTextEdit, win::kWsExClientEdge},
    {104, "Edit", "", 6105, 2040, 735, 255, kTextEdit, win::kWsExClientEdge},
    {105, "Edit", "", 6105, 2400, 735, 255, kTextEdit, win::kWsExClientEdge},
    {106, "Edit", "", 6105, 2760, 735, 255, kTextEdit, win::kWsExClientEdge},
    {107, "ComboBox", "", 6105, 240, 1095, kListHeight, kDropDownList, 0},
    {108, "Static", "M", 6960, 2790, 255, 255, kLabel, 0},
    {109, "Static", "M", 6960, 2430, 255, 255, kLabel, 0},
    {110, "Static", "M", 6960, 2070, 255, 255, kLabel, 0},
    {111, "Static", "M", 6960, 1710, 255, 255, kLabel, 0},
    {112, "Static", "M", 6960, 1350, 255, 255, kLabel, 0},
    {113, "Static", "M", 6960, 990, 255, 255, kLabel, 0},
    {114, "Static", "M", 6960, 630, 255, 255, kLabel, 0},
    {115, "Static", "Age", 240, 2790, 855, 255, kLabel, 0},
    {116, "Static", "Personality", 240, 2430, 1095, 255, kLabel, 0},
    {117, "Static", "Role", 240, 2070, 615, 255, kLabel, 0},
    {118, "Static", "Height", 240, 1335, 735, 255, kLabel, 0},
    {119, "Static", "Year 2", 5025, 975, 855, 255, kLabel, 0},
    {120, "Static", "Number", 240, 975, 855, 255, kLabel, 0},
    {121, "Static", "LastName", 240, 615, 735, 255, kLabel, 0},
    {122, "Static", "Year 7", 5025, 2775, 975, 255, kLabel, 0},
    {123, "ComboBox", "", 1365, 3150, 1500, kListHeight, kDropDownList, 0},
    {124, "Static", "Position", 240, 3150, 975, 255, kLabel, 0},
    {125, "Static", "Year 6", 5025, 2415, 855, 255, kLabel, 0},
    {126, "Static", "Year 5", 5025, 2055, 975, 255, kLabel, 0},
    {127, "Static", "Year 4", 5025, 1695, 855, 255, kLabel, 0},
    {128, "Static", "Year 3", 5025, 1335, 855, 255, kLabel, 0},
    {129, "Static", "Year 1", 5025, 615, 855, 255, kLabel, 0},
    {130, "ComboBox", "", 1365, 4245, 1500, kListHeight, kDropDownList, 0},
    {131, "Edit", "", 1365, 3900, 1500, 255, kTextEdit, win::kWsExClientEdge},
    {132, "Static", "Hand", 240, 4245, 615, 255, kLabel, 0},
    {133, "Static", "No Trade", 5025, 240, 975, 255, kLabel, 0},
    {134, "ComboBox", "", 1365, 3510, 1500, kListHeight, kDropDownList, 0},
    {135, "Static", "Years Pro", 240, 3900, 1095, 255, kLabel, 0},
    {136, "Static", "2nd Pos", 240, 3510, 1095, 255, kLabel, 0},
    {137, "Static", "", 1365, 2790, 1500, 255, kLabel, 0},
    {138, "ComboBox", "", 1365, 2430, 1500, kListHeight, kDropDownList, 0},
    {139, "Edit", "", 1365, 1335, 1500, 255, kTextEdit, win::kWsExClientEdge},
    {140, "ComboBox", "", 1365, 2070, 1500, kListHeight, kDropDownList, 0},
    {141, "Edit", "", 1365, 975, 1500, 255, kTextEdit, win::kWsExClientEdge},
    {142, "Static", "FirstName", 240, 240, 855, 255, kLabel, 0},
    {143, "Edit", "", 6105, 3510, 735, 255, kTextEdit, win::kWsExClientEdge},
    {144, "Static", "PBPID", 5025, 3885, 975, 255, kLabel, 0},
    {145, "Edit", "", 1320, 225, 1455, 255, kTextEdit, win::kWsExClientEdge},
    {146, "Edit", "", 1320, 585, 1455, 255, kTextEdit, win::kWsExClientEdge},
    {147, "Static", "FaceID", 5025, 3525, 855, 255, kLabel, 0},
    {148, "Static", "Sharp", 5025, 3135, 975, 255, kLabel, 0},
    {149, "Edit", "", 3705, 3510, 1050, 255, kTextEdit, win::kWsExClientEdge},
    {150, "ComboBox", "", 6105, 3105, 1005, kListHeight, kDropDownList, 0},
    {151, "Static", "Type", 3000, 3525, 615, 255, kLabel, 0},
    {152, "Button", "IFF Enabled", 3015, 3870, 1680, 255, 0x10012D03, 0},
    {153, "Static", "Pick", 3000, 1710, 615, 255, kLabel, 0},
    {154, "Edit", "", 1365, 1710, 1500, 255, kTextEdit, win::kWsExClientEdge},
    {155, "Static", "Weight", 240, 1710, 855, 255, kLabel, 0},
    {156, "Edit", "", 3720, 960, 1050, 255, kTextEdit, win::kWsExClientEdge},
    {157, "Edit", "", 3720, 1335, 1050, 255, kTextEdit, win::kWsExClientEdge},
    {158, "Edit", "", 3720, 1710, 1050, 255, kTextEdit, win::kWsExClientEdge},
    {159, "Edit", "", 3720, 2070, 1050, 255, kTextEdit, win::kWsExClientEdge},
    {160, "Static", "Birth", 3000, 2070, 735, 255, kLabel, 0},
    {161, "Static", "Round", 3000, 1335, 615, 255, kLabel, 0},
    {162, "Static", "Dyear", 3000, 975, 615, 255, kLabel, 0},
    {163, "Static", "UnknowID", 5025, 4245, 855, 285, kLabel, 0},
    {164, "Edit", "", 6105, 4215, 735, 255, kTextEdit, win::kWsExClientEdge},
    {165, "Edit", "", 6105, 3855, 735, 255, kTextEdit, win::kWsExClientEdge},
};

constexpr std::uint32_t kPageStyle = 0x10CF0000;  // visible, caption, system menu, sizing frame, min and max boxes

const FormDef kForms[] = {
    // Sizable, with a maximise box: the player list takes the room.
    {"FORM1", "", 0x10CF0000, win::kWsExDlgModalFrame, 90, 2430, 11220, 6180, 2, true},
    {"ATTRIBUTES", "Attributes", kPageStyle, 0, 3675, 540, 7620, 5115, 2, false},
    {"TENDENCIES", "Tendencies", kPageStyle, 0, 5280, 4200, 7515, 4860, 2, false},
    {"VITALS", "Vitals", kPageStyle, 0, 2130, 1365, 7710, 5340, 2, false},
    {"HISTORY", "History", 0x10C80000, win::kWsExDlgModalFrame, 0, 0, 9390, 5175, 3, true},
    {"COLUMNS", "Columns", 0x10C80000, win::kWsExDlgModalFrame, 0, 0, 5190, 6450, 3, true},
    {"SET", "Set", 0x10C80000, win::kWsExDlgModalFrame, 0, 0, 4200, 2280, 3, true},
};

std::string NormalName(std::string_view name) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void Fill(ControlDef& c, const char* class_name, const char* caption, std::int32_t x, std::int32_t y,
          std::int32_t width, std::int32_t height, std::uint32_t style, std::uint32_t ex_style) {
  c.ClassName = class_name;
  c.Caption = caption;
  c.X = x;
  c.Y = y;
  c.Width = width;
  c.Height = height;
  c.Style = style;
  c.ExStyle = ex_style;
}

template <std::size_t N>
bool FromRows(const ControlRow (&rows)[N], int id, ControlDef& c) {
  for (const ControlRow& r : rows) {
    if (r.id == id) {
      Fill(c, r.class_name, r.caption, r.x, r.y, r.width, r.height, r.style, r.ex_style);
      c.InitMessage = r.init_message;
      c.InitLParam = r.init_lparam;
      c.CaptionIsUtf8 = r.caption_is_utf8;
      c.Pages = r.pages;
      return true;
    }
  }
  return false;
}

// Edit boxes come first (IDs 100 on), their labels after them.
template <std::size_t N>
bool FromBlock(const BlockRow (&rows)[N], int tab, std::int32_t edit_width, int id, ControlDef& c) {
  for (const BlockRow& r : rows) {
    if (r.edit_id == id) {
      Fill(c, "Edit", "", r.edit_x, r.edit_y, edit_width, 255, kNumericEdit, win::kWsExClientEdge);
      return true;
    }
    if (r.label_id == id) {
      Fill(c, "Static", BlockBoxLabel(tab, r.edit_id), r.label_x, r.label_y, r.label_width, r.label_height, kLabel, 0);
      return true;
    }
  }
  return false;
}

}  // namespace

bool LookupFormDef(std::string_view name, FormDef& form) {
  const std::string wanted = NormalName(name);
  for (const FormDef& f : kForms) {
    if (f.Name == wanted) {
      form = f;
      return true;
    }
  }
  form = FormDef{};
  return false;
}

bool LookupControlDef(std::string_view form, int id, ControlDef& control) {
  control = ControlDef{};
  const std::string name = NormalName(form);
  bool found = false;
  auto bind = [&](const auto& events) {
    for (const MainEvents& e : events) {
      if (found && e.id == id) {
        for (std::size_t k = 0; k < 3; ++k) control.Events[k] = e.events[k];
      }
    }
  };
  if (name == "FORM1") {
    found = FromRows(kMainRows, id, control);
    bind(kMainEvents);
  } else if (name == "HISTORY") {
    found = FromRows(kHistoryRows, id, control);
    bind(kHistoryEvents);
  } else if (name == "COLUMNS") {
    found = FromRows(kColumnRows, id, control);
    bind(kColumnEvents);
  } else if (name == "SET") {
    found = FromRows(kSetRows, id, control);
    bind(kSetEvents);
  } else if (name == "ATTRIBUTES") {
    found = FromBlock(kAttributeRows, kAttributesTab, 525, id, control);
  } else if (name == "TENDENCIES") {
    found = FromBlock(kTendencyRows, kTendenciesTab, 495, id, control);
  } else if (name == "VITALS") {
    found = FromRows(kVitalsRows, id, control);
  }
  if (!found) {
    control = ControlDef{};
    return false;
  }
  control.Style |= win::kWsChild | win::kWsClipSiblings | win::kWsClipChildren;
  return true;
}

void UseFormTable() { SetFormTable({LookupFormDef, LookupControlDef}); }

}  // namespace rostrel
