// The definitions of the four forms and all their controls, compiled in. Pure
// data with two lookups; the form engine builds windows from it. Positions and
// sizes are in twips.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rostrel {

// Window-system numbers the table uses, so that it needs no system header.
namespace win {
constexpr std::uint32_t kWmCommand = 0x0111, kWmNotify = 0x004E, kWmGetDlgCode = 0x0087, kWmKeyDown = 0x0100,
                        kWmChar = 0x0102, kLvmSetExtendedListViewStyle = 0x1036, kLvsExFullRowSelect = 0x20;
constexpr std::int32_t kNmClick = -2, kLvnColumnClick = -108;
constexpr std::uint32_t kWsChild = 0x40000000, kWsClipSiblings = 0x04000000, kWsClipChildren = 0x02000000;
constexpr std::uint32_t kWsExDlgModalFrame = 0x1, kWsExClientEdge = 0x200;
}  // namespace win

// The program's event handlers, named in the table; the window side binds
// each to its procedure.
enum class HandlerId {
  None,
  ChooseRosterFile,
  ReadRosterFile,
  CloseRosterFile,
  SavePlayer,
  LoadPlayer,
  OnColumnClick,
  ListKey,
  OnSearchKey,
  OnSearchChar,
  Count,  // how many there are; keep it last
};

struct EventBinding {
  std::uint32_t Message = 0;  // 0 ends a control's list
  std::int32_t Code = 0;
  HandlerId Handler = HandlerId::None;
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
  std::uint32_t TimerProc = 0, TimerInterval = 0, HelpContextId = 0, HoverCursor = 0;
  std::string Tag;
  std::array<EventBinding, kMaxEvents> Events{};
};

struct FormDef {
  std::string Name;
  std::string Caption;
  std::uint32_t Style = 0, ExStyle = 0;
  std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
  std::uint32_t CenterMode = 0;
  bool FocusFirst = false;
};

// The form's name is trimmed of spaces and upper-cased before it is compared.
bool LookupFormDef(std::string_view name, FormDef& form);
// Found exactly when the returned ClassName is not empty. The style comes back
// with WS_CHILD, WS_CLIPSIBLINGS and WS_CLIPCHILDREN added.
bool LookupControlDef(std::string_view form, int id, ControlDef& control);

// The caption of the label beside edit box edit_id on ATTRIBUTES or
// TENDENCIES ("Speed", "Shot Tendency"); empty for any other box.
std::string BlockLabel(std::string_view form, int edit_id);

// pixels = twips / (1440 / dpi), rounded half to even.
std::int32_t TwipsToPixels(std::int32_t twips, int dpi);

}  // namespace rostrel
