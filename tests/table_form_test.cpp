// The form engine builds whatever its table says. A form of the tests' own,
// given through the framework's table hook, has one control for each field
// of a control definition the program's forms leave unset; each is checked on
// the real windows.
#include <gtest/gtest.h>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "forms/window_data.h"
#include "tests/message_pump.h"

#include <commctrl.h>

#include <string>

namespace rostrel {
namespace {

constexpr std::uint32_t kVisibleChild = WS_CHILD | WS_VISIBLE;

bool ProbeForm(std::string_view name, FormDef& form) {
  if (name != "PROBE") return false;
  form = FormDef{"PROBE", "Probe", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 6000, 4000, 0, false};
  return true;
}

bool ProbeControl(std::string_view form, int id, ControlDef& c) {
  if (form != "PROBE") return false;
  c = ControlDef{};
  c.X = 150;
  c.Y = 150 + 450 * (id - 100);
  c.Width = 1500;
  c.Height = 375;
  c.Style = kVisibleChild;
  switch (id) {
    case 100: c.ClassName = "Timer"; c.TimerInterval = 20; break;  // no window: WM_TIMER to the form
    case 101: c.ClassName = "OCX"; break;                           // skipped
    case 102: c.ClassName = "Static"; c.Style |= SS_REALSIZECONTROL; break;
    case 103: c.ClassName = "Button"; c.Caption = "PROBEICON"; c.Style |= BS_ICON; break;
    case 104: c.ClassName = "ToolbarWindow32"; break;
    case 105: c.ClassName = "Edit"; c.BackColor = 0x00112233; c.ForeColor = 0x00445566; break;
    case 106:
      c.ClassName = "Static";
      c.Caption = "a font of its own";
      c.FontName = "Arial";
      c.FontSize = 12;
      c.FontBold = c.FontItalic = 1;
      break;
    case 107:
      c.ClassName = "Button";
      c.Caption = "help, cursor, tag";
      c.HelpContextId = 77;
      c.HoverCursor = 32649;
      c.Tag = "probe tag";
      break;
    case 108: c.ClassName = "Button"; c.Caption = "renumbered"; c.TimerInterval = 300; break;
    default: return false;
  }
  return true;
}

int g_timers = 0;
INT_PTR CALLBACK ProbeProc(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_TIMER && wparam == 100) ++g_timers;
  return 0;
}

TEST(TableForm, EveryFieldOfAControlDefinitionIsHonoured) {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x7FF};
  InitCommonControlsEx(&controls);
  SetFormTable({ProbeForm, ProbeControl});
  SetFormProcedure("PROBE", ProbeProc);
  HWND form = CreateForm("PROBE", nullptr, 0);
  ASSERT_NE(form, nullptr);
  ShowFormModeless(form);

  // A timer, and the class that is no window.
  EXPECT_EQ(GetDlgItem(form, 100), nullptr);
  EXPECT_EQ(GetDlgItem(form, 101), nullptr);
  EXPECT_TRUE(test::PumpUntil([] { return g_timers > 1; }));
  KillTimer(form, 100);

  // A real-size static keeps its defined rectangle.
  RECT defined{0, 0, 1500 / 15, 375 / 15};
  RECT real{};
  GetClientRect(GetDlgItem(form, 102), &real);
  if (ScreenDpiX() == 96) {
    EXPECT_EQ(real.right, defined.right);
  }

  // An image button shows the icon its caption names, held by the control.
  HWND image = GetDlgItem(form, 103);
  HANDLE icon = GetPropA(image, "VD_ICON");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(image, BM_GETIMAGE, IMAGE_ICON, 0)), icon);

  EXPECT_NE(GetDlgItem(form, 104), nullptr);  // a toolbar

  // Colours and a font of the control's own.
  HWND edit = GetDlgItem(form, 105);
  EXPECT_NE(GetPropA(edit, "VD_BACKCOLOR"), nullptr);
  EXPECT_NE(GetPropA(edit, "VD_FORECOLOR"), nullptr);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(form, 106), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "Arial");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_TRUE(font.lfItalic);
  if (ScreenDpiY() == 96) {
    EXPECT_EQ(font.lfHeight, -16);
  }

  // Help ID, hover cursor and tag.
  HWND help = GetDlgItem(form, 107);
  EXPECT_EQ(GetWindowContextHelpId(help), 77u);
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropA(help, "VD_HVRPTR")), 32649u);
  EXPECT_EQ(GetTag(form, 107), "probe tag");

  // A button whose timer interval is its ID.
  EXPECT_EQ(GetDlgItem(form, 108), nullptr);
  HWND renumbered = GetDlgItem(form, 300);
  ASSERT_NE(renumbered, nullptr);
  EXPECT_EQ(GetWindowTextLengthA(renumbered), 10);

  DestroyWindow(form);
  EXPECT_EQ(GetObjectType(icon), 0u);  // the icon went with its button
  SetFormTable({});
}

}  // namespace
}  // namespace rostrel
