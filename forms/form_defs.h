// The vocabulary of the form framework's definitions: a form, a control and
// one event binding, as the application's definition table gives them, and
// where the framework finds that table. Positions and sizes are in twips. The
// framework knows no application: it builds whatever the table says.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rostrel {

// Window-system numbers the table uses, so that it needs no system header.
namespace win {
constexpr std::uint32_t kWmCommand = 0x0111, kWmNotify = 0x004E, kWmGetDlgCode = 0x0087, kWmKeyDown = 0x0100,
                        kWmChar = 0x0102, kLvmSetExtendedListViewStyle = 0x1036, kLvsExFullRowSelect = 0x20,
                        kLvsExCheckBoxes = 0x4, kLvsExHeaderDragDrop = 0x10, kEnChange = 0x300;
constexpr std::int32_t kNmClick = -2, kLvnColumnClick = -108;
constexpr std::uint32_t kWsChild = 0x40000000, kWsClipSiblings = 0x04000000, kWsClipChildren = 0x02000000;
constexpr std::uint32_t kWsExDlgModalFrame = 0x1, kWsExClientEdge = 0x200;
}  // namespace win

struct EventBinding {
  std::uint32_t Message = 0;  // 0 ends a control's list
  std::int32_t Code = 0;
  int Handler = 0;  // the application's number for the handler; 0 names none
};

constexpr std::size_t kMaxEvents = 255;

struct ControlDef {
  std::string ClassName;  // empty: no control with this ID
  std::string Caption;
  bool CaptionIsUtf8 = false;  // the caption is UTF-8 text, not text of the system code page
  std::uint32_t InitMessage = 0, InitWParam = 0, InitLParam = 0;
  std::uint32_t Style = 0, ExStyle = 0;
  std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
  std::int32_t BackColor = -1, ForeColor = -1;
  std::string FontName;
  float FontSize = 0;
  std::int32_t FontBold = 0, FontItalic = 0, FontUnderline = 0, FontStrikeOut = 0;
  std::uintptr_t TimerProc = 0;  // the address of a TIMERPROC, or 0 for WM_TIMER to the form
  std::uint32_t TimerInterval = 0, HelpContextId = 0, HoverCursor = 0;
  std::string Tag;
  std::array<EventBinding, kMaxEvents> Events{};
  // Forms hosted as the pages of this tab control, in tab order, separated by ",".
  std::string Pages;
};

struct FormDef {
  std::string Name;
  std::string Caption;
  std::uint32_t Style = 0, ExStyle = 0;
  std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
  std::uint32_t CenterMode = 0;
  bool FocusFirst = false;
};

// The application's definition table. Lookups that fail answer false.
struct FormTable {
  bool (*form)(std::string_view name, FormDef& form) = nullptr;
  bool (*control)(std::string_view form, int id, ControlDef& control) = nullptr;
};
void SetFormTable(const FormTable& table);
// Through the table set; false when none is set or it has no such entry.
bool FindFormDef(std::string_view name, FormDef& form);
bool FindControlDef(std::string_view form, int id, ControlDef& control);

// pixels = twips / (1440 / dpi), rounded half to even.
std::int32_t TwipsToPixels(std::int32_t twips, int dpi);

}  // namespace rostrel
