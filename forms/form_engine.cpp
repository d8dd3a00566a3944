#include "forms/form_engine.h"
#include "forms/handles.h"
#include "forms/window_data.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "forms/event_routing.h"
#include "forms/form_math.h"
#include "forms/form_defs.h"

namespace rostrel {

namespace {

constexpr const char* kFormNameProp = "VD_FRMN";
constexpr const char* kInitDialogProp = "VD_INITDLG";
constexpr const char* kModalProp = "VD_MODAL";

// Each form's procedure, by the form's name.
std::map<std::string, FormProcedure> g_procedures;

FormProcedure ProcedureFor(const std::string& name) {
  if (const auto it = g_procedures.find(name); it != g_procedures.end()) return it->second;
  return nullptr;
}

// The forms' font, "MS Sans Serif" at 8 points with the height the dialog
// manager gives a template's font, made once for the process.
class DialogFont {
 public:
  HFONT get() {
    if (!font_) {
      const WindowDC screen(nullptr);
      font_.reset(CreateFontA(DialogFontHeight(GetDeviceCaps(screen.get(), LOGPIXELSY), 8), 0, 0, 0, FW_NORMAL, 0, 0,
                              0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
    }
    return font_.get();
  }

 private:
  OwnedFont font_;
};
DialogFont g_dialog_font;

int MeasureDpi(int index) {
  const WindowDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), index);
  return dpi > 0 ? dpi : 96;
}

Rect Pixels(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  return {TwipsToPixels(x, ScreenDpiX()), TwipsToPixels(y, ScreenDpiY()), TwipsToPixels(width, ScreenDpiX()),
          TwipsToPixels(height, ScreenDpiY())};
}

std::wstring Wide(const std::string& text, UINT code_page) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// An in-memory dialog template with no controls and no font of its own.
std::vector<WORD> DialogTemplate(DWORD style, DWORD ex_style, const std::wstring& title) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2, 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = style;
  header->dwExtendedStyle = ex_style;
  // No menu, the dialog class, then the title.
  for (wchar_t c : title) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  return words;
}

// Every form runs this procedure; it hands messages to the form's own
// procedure once ShowFormModeless has attached it. Bound handlers are called
// by the routing in front of it, which also releases the form's properties
// when it is destroyed.
INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The form's procedure sits in the dialog's user value: a property would be
  // looked up by name for every message.
  auto procedure = reinterpret_cast<FormProcedure>(GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_INITDIALOG && !procedure) return TRUE;
  INT_PTR result = 0;
  try {
    result = procedure ? procedure(window, message, wparam, lparam) : 0;
  } catch (...) {
    result = 0;  // no exception leaves for the system: the dialog manager's default processing answers
  }
  // Closing a form that runs modally ends its run: the title bar's close
  // button, the system menu's Close and Alt+F4 all arrive here as WM_CLOSE.
  // A form procedure that answers TRUE keeps the form open.
  if (message == WM_CLOSE && !result && GetPropA(window, kModalProp)) {
    if (HWND owner = GetWindow(window, GW_OWNER)) EnableWindow(owner, TRUE);
    DestroyWindow(window);
    return TRUE;
  }
  return result;
}

void SetFormName(HWND form, const std::string& name) {
  const std::size_t size = HeapBlockSize(name.size() + 1);
  char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!block) return;
  std::memcpy(block, name.data(), name.size());
  SetPropA(form, kFormNameProp, block);
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

}  // namespace

int ScreenDpiX() {
  static const int dpi = MeasureDpi(LOGPIXELSX);
  return dpi;
}

int ScreenDpiY() {
  static const int dpi = MeasureDpi(LOGPIXELSY);
  return dpi;
}

void SetFormProcedure(const char* form, FormProcedure procedure) { g_procedures[form] = procedure; }

std::string GetFormName(HWND window) {
  const char* block = static_cast<const char*>(GetPropA(window, kFormNameProp));
  return block ? std::string(block) : std::string();
}

HWND CreateForm(const char* name, HWND parent, int mode) {
  FormDef def;
  if (!FindFormDef(name, def)) return nullptr;
  const FormStyles styles = StylesForMode(def.Style, def.ExStyle, mode, parent != nullptr);
  const std::vector<WORD> dialog = DialogTemplate(styles.style, styles.ex_style, Wide(def.Caption, CP_ACP));
  HWND form = CreateDialogIndirectParamA(Instance(), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), parent,
                                         FormDialogProc, 0);
  if (!form) return nullptr;
  SetWindowTextA(form, def.Caption.c_str());
  SetFormName(form, def.Name);
  InstallTaskHook(form);
  RouteMessagesOf(form);
  SetWindowLongA(form, GWL_EXSTYLE, GetWindowLongA(form, GWL_EXSTYLE) | static_cast<LONG>(styles.ex_style));
  SendMessageA(form, WM_SETFONT, reinterpret_cast<WPARAM>(g_dialog_font.get()), FALSE);

  const Rect r = Pixels(def.X, def.Y, def.Width, def.Height);
  SetWindowPos(form, (styles.ex_style & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP, r.x, r.y, r.width, r.height,
               SWP_HIDEWINDOW | SWP_FRAMECHANGED);
  if (mode == 0) CenterWindow(form, parent, static_cast<int>(def.CenterMode));
  CreateControls(def.Name.c_str(), form);
  HostTablePages(def.Name, form);
  if (def.FocusFirst) PostMessageA(form, WM_KEYDOWN, VK_TAB, 0);
  return form;
}

namespace {

// Steps for a control of some classes, after it was created.
void ClassSteps(HWND control, const ControlDef& c, const Rect& r) {
  if (c.ClassName == "Static" && (c.Style & SS_REALSIZECONTROL)) {
    MoveWindow(control, r.x, r.y, r.width, r.height, TRUE);
  } else if (c.ClassName == "Button" && !c.Caption.empty() && (c.Style & (BS_ICON | BS_BITMAP))) {
    const bool icon = (c.Style & BS_ICON) != 0;
    if (HANDLE image = LoadImageA(Instance(), c.Caption.c_str(), icon ? IMAGE_ICON : IMAGE_BITMAP, 0, 0, 0)) {
      SendMessageA(control, BM_SETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
      SetPropA(control, icon ? "VD_ICON" : "VD_BITMAP", image);  // released with the control
    }
  } else if (c.ClassName == "ToolbarWindow32") {
    SendMessageA(control, TB_BUTTONSTRUCTSIZE, 20, 0);
  }
}

// Colours, a font of its own, help ID, hover cursor and tag, as the definition asks.
void Decorate(HWND form, int id, HWND control, const ControlDef& c) {
  if (c.BackColor >= 0 || c.ForeColor >= 0) SetColors(form, id, c.BackColor, c.ForeColor);
  if (!c.FontName.empty() && c.FontSize >= 3) {
    SetControlFont(form, id, c.FontName, c.FontSize, c.FontBold != 0, c.FontItalic != 0, c.FontUnderline != 0,
                   c.FontStrikeOut != 0);
  }
  if (c.HelpContextId != 0) SetWindowContextHelpId(control, c.HelpContextId);
  if (c.HoverCursor != 0) SetPropA(control, "VD_HVRPTR", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(c.HoverCursor)));
  if (!c.Tag.empty()) SetTag(form, id, c.Tag);
}

}  // namespace

void CreateControls(const char* name, HWND form) {
  ControlDef c;
  for (int id = 100; FindControlDef(name, id, c); ++id) {
    if (c.ClassName == "Timer") {
      if (c.TimerInterval > 0) SetTimer(form, static_cast<UINT_PTR>(id), c.TimerInterval, reinterpret_cast<TIMERPROC>(c.TimerProc));
      continue;
    }
    if (c.ClassName == "OCX" || c.ClassName == "CLR_UserControl") continue;
    const Rect r = Pixels(c.X, c.Y, c.Width, c.Height);
    CreateWindowExA(c.ExStyle, c.ClassName.c_str(), c.CaptionIsUtf8 ? "" : c.Caption.c_str(), c.Style, r.x, r.y,
                    r.width, r.height, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    HWND control = GetDlgItem(form, id);
    if (!control) continue;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_dialog_font.get()), TRUE);
    // The verse is kept as UTF-8 and set as wide text, so that the same
    // characters appear whatever the system code page.
    if (c.CaptionIsUtf8) SetWindowTextW(control, Wide(c.Caption, CP_UTF8).c_str());
    if (c.InitMessage != 0) SendMessageA(control, c.InitMessage, c.InitWParam, static_cast<LPARAM>(c.InitLParam));
    ClassSteps(control, c, r);
    Decorate(form, id, control, c);
    for (const EventBinding& e : c.Events) {
      if (e.Message == 0) break;
      BindEvent(control, e.Message, e.Code, HandlerFor(e.Handler));
    }
    if (c.ClassName == "Button" && c.TimerInterval != 0) SetWindowLongA(control, GWL_ID, static_cast<LONG>(c.TimerInterval));
  }
}

void ShowFormModeless(HWND form) {
  if (!form) return;
  if (!GetWindowLongPtrA(form, DWLP_USER)) {
    if (FormProcedure procedure = ProcedureFor(GetFormName(form))) {
      SetWindowLongPtrA(form, DWLP_USER, reinterpret_cast<LONG_PTR>(procedure));
      procedure(form, WM_INITDIALOG, 0, 0);
    }
  }
  SetPropA(form, kInitDialogProp, reinterpret_cast<HANDLE>(1));
  ShowWindow(form, SW_SHOW);
  UpdateWindow(form);
}

int ShowFormModal(HWND form, HWND parent) {
  if (!form || !IsWindow(form)) return 0;
  ShowFormModeless(form);
  SetPropA(form, kModalProp, reinterpret_cast<HANDLE>(1));
  if (parent && parent != form) EnableWindow(parent, FALSE);
  // Dialog-style keyboard handling for every message of the thread while the
  // form lives. When the queue is empty the form hears WM_ENTERIDLE and the
  // thread sleeps until the next message arrives: an idle editor costs nothing.
  while (IsWindow(form)) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      SendMessageA(form, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(form));
      if (IsWindow(form)) WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(form, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (parent && IsWindow(parent)) EnableWindow(parent, TRUE);
  return 0;
}

int ShowFormAndWait(HWND form, HWND parent) {
  if (!form || !IsWindow(form)) return 0;
  if (!parent) parent = reinterpret_cast<HWND>(GetWindowLongPtrA(form, GWLP_HWNDPARENT));
  ShowWindow(form, SW_SHOW);
  UpdateWindow(form);
  return ShowFormModal(form, parent);
}

int GetMonitorArea(HWND window, bool use_mouse, MONITORINFO& info) {
  info = MONITORINFO{};
  info.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  info.rcWork = info.rcMonitor;
  HMONITOR monitor = nullptr;
  if (window) {
    monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  } else if (use_mouse) {
    POINT cursor{};
    GetCursorPos(&cursor);
    monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
  }
  if (!monitor) monitor = MonitorFromWindow(GetDesktopWindow(), MONITOR_DEFAULTTONEAREST);
  if (!monitor) return 1;
  info.cbSize = sizeof info;
  return GetMonitorInfoA(monitor, &info) ? 2 : 1;
}

void CenterWindow(HWND window, HWND reference, int mode) {
  if (!reference) reference = GetWindow(window, GW_OWNER);
  if (!reference) {
    reference = GetActiveWindow();
    if (reference == window && !IsWindowVisible(window)) reference = nullptr;
  }
  MONITORINFO info;
  GetMonitorArea(reference, true, info);
  const Rect work{info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
                  info.rcWork.bottom - info.rcWork.top};
  RECT outer{};
  GetWindowRect(window, &outer);
  const std::int32_t w = outer.right - outer.left, h = outer.bottom - outer.top;
  Point at{};
  if (mode == 1) {
    at = {work.x + outer.left, work.y + outer.top};
  } else if ((mode == 3 || mode == 4) && reference) {
    RECT ref{};
    GetWindowRect(reference, &ref);
    at = CenterOnReference(work, {ref.left, ref.top, ref.right - ref.left, ref.bottom - ref.top}, w, h);
  } else {
    at = CenterInWorkArea(work, w, h);
  }
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace rostrel
