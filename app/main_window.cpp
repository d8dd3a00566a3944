#include "app/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "forms/system_helpers.h"
#include "forms/window_data.h"
#include "app/columns_dialog.h"
#include "app/grid_edit.h"
#include "app/history_dialog.h"
#include "app/player_list_view.h"
#include "app/roster_watch.h"
#include "app/set_dialog.h"
#include "app/settings.h"
#include "pages/form_table.h"
#include "player/field_catalog.h"
#include "pages/window_pages.h"
#include "player/names.h"
#include "roster/journal.h"
#include "roster/wide_text.h"
#include "roster/write_lock.h"

namespace rostrel {

namespace {

HWND List(HWND form) { return GetDlgItem(form, kPlayerList); }

// Set while the program fills the pages: their changes are no user's edits.
bool g_filling_pages = false;

struct FillingPages {
  FillingPages() { g_filling_pages = true; }
  ~FillingPages() { g_filling_pages = false; }
  FillingPages(const FillingPages&) = delete;
  FillingPages& operator=(const FillingPages&) = delete;
};

// A box of the pages changed: the player's cell shows it.
void PageEdited(HWND page, int id) {
  EditorState& editor = Editor();
  if (g_filling_pages || !editor.player.loaded || !IsOpen(editor.view)) return;
  HWND form = GetAncestor(page, GA_ROOT);
  for (int tab = kVitalsTab; tab <= kTendenciesTab; ++tab) {
    const Field* field = FindPage(form, tab) == page ? FieldAt(tab, id) : nullptr;
    if (!field || !field->editable()) continue;
    editor.pending.Note(editor.view, editor.player.position, *field, FieldText(WindowPages(form), *field));
    InvalidateRect(List(form), nullptr, FALSE);
  }
}

// Ctrl+Z and Ctrl+Y anywhere in the main window but an edit box: an undo or a
// redo of the last write; Ctrl+O, Ctrl+S and Ctrl+F anywhere in it, edit boxes
// too: Open, Save and Filter:. Each is asked for through a message to the form.
constexpr UINT kUndoKeyMessage = WM_APP + 1;
constexpr UINT kCommandKeyMessage = WM_APP + 2;
HHOOK g_undo_keys = nullptr;
HWND g_undo_form = nullptr;

LRESULT CALLBACK UndoKeys(int code, WPARAM removed, LPARAM lparam) {
  auto* message = reinterpret_cast<MSG*>(lparam);
  const WPARAM key = message->wParam;
  if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
      g_undo_form && GetAncestor(message->hwnd, GA_ROOT) == g_undo_form) {
    char kind[16] = {};
    GetClassNameA(message->hwnd, kind, sizeof kind);
    const bool plain = !(GetKeyState(VK_MENU) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000);
    if ((key == 'Z' || key == 'Y') && lstrcmpiA(kind, "Edit") != 0) {
      PostMessageA(g_undo_form, kUndoKeyMessage, key == 'Y', 0);
      message->message = WM_NULL;
    } else if (plain && (key == 'O' || key == 'S' || key == 'F')) {
      PostMessageA(g_undo_form, kCommandKeyMessage, key, 0);
      message->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, removed, lparam);
}

// Ctrl+S saves as a click on Save does, the focus on the button first (an
// open cell editor keeps its text as it loses the focus); Ctrl+F puts the
// focus in Filter: with its text selected.
void CommandKey(HWND form, char key) {
  HWND save = GetDlgItem(form, kSaveButton);
  if (key == 'O') ChooseRosterFile(form, kOpenButton);
  if (key == 'S' && IsWindowEnabled(save)) {
    SetFocus(save);
    SaveEdits(form);
  }
  if (key == 'F') PostMessageA(form, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(form, kFilterBox)), TRUE);
}

}  // namespace

void NoteLoadedPlayer(HWND form) {
  EditorState& editor = Editor();
  if (editor.player.loaded && IsOpen(editor.view)) {
    editor.pending.NotePages(editor.view, WindowPages(form), editor.player);
  }
}

bool MayLeavePlayer(HWND form) {
  EditorState& editor = Editor();
  if (!IsOpen(editor.view)) return true;
  NoteLoadedPlayer(form);
  const std::size_t players = editor.pending.PlayerCount();
  if (players == 0) return true;
  const std::string question = players == 1 ? "Save the changes to \"" + PlayerName(editor.pending.Players()[0]) + "\"?"
                                            : "Save the changes to " + Thousands(players) + " players?";
  switch (Ask(question, MB_YESNOCANCEL)) {
    case IDYES: return SaveEdits(form);
    case IDNO:  // the file's values again
      editor.pending.Clear();
      ShowLoadedPlayer(form);
      InvalidateRect(List(form), nullptr, FALSE);
      return true;
    default: return false;
  }
}

void ShowLoadedPlayer(HWND form) {
  EditorState& editor = Editor();
  if (editor.player.loaded) ShowPlayer(form, editor.player.position);
}

std::uint32_t KeptPlayer() { return Editor().player.loaded ? Editor().player.position : 0; }

void ShowListedCount(HWND form) { SetWindowTextA(GetDlgItem(form, kListedCount), ListedCountText().c_str()); }

void ShowPlayer(HWND form, std::uint32_t position) {
  EditorState& editor = Editor();
  WindowPages pages(form);
  const FillingPages filling;
  const RosterLock whole = LockRoster(editor.view.path, LockKind::Shared, LockWait());  // never half a write
  if (LoadPlayer(editor.view, position, pages, editor.player)) editor.pending.ShowIn(pages, position);
}

namespace {

// The window's size: the list takes what is added to the smallest, which is
// the size it opens with; the pages keep theirs beside it.
struct Layout {
  HWND form = nullptr;
  SIZE client{}, smallest{};
};
Layout g_layout;

void LayOut(HWND form, int width, int height) {
  if (form != g_layout.form) return;
  const int dx = width - g_layout.client.cx, dy = height - g_layout.client.cy;
  if (dx == 0 && dy == 0) return;
  g_layout.client = {width, height};
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    int x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
    switch (GetDlgCtrlID(child)) {
      case kPlayerList: w += dx, h += dy; break;
      case kSearchBox: case kFilterBox: case kListedCount: w += dx; break;
      case kOpenButton: case kSaveButton: case kReadButton: case kCloseButton: case kHistoryButton: case kSetButton:
        y += dy;
        break;
      case kVerse: x += dx, y += dy; break;
      default: x += dx; break;  // ">>", Columns, the tab control and its pages
    }
    SetWindowPos(child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(form, nullptr, TRUE);
}

// The window's place and size as the user left them: left, top, right, bottom and 1 when maximised.
constexpr const char* kWindowSetting = "Window";

void RestorePlacement(HWND form) {
  WINDOWPLACEMENT place{};
  place.length = sizeof place;
  int maximised = 0;
  RECT& r = place.rcNormalPosition;
  if (std::sscanf(ReadSetting(kWindowSetting).c_str(), "%ld %ld %ld %ld %d", &r.left, &r.top, &r.right, &r.bottom,
                  &maximised) != 5 ||
      r.right - r.left < g_layout.smallest.cx || r.bottom - r.top < g_layout.smallest.cy) {
    return;
  }
  // Kept on a screen that is there now.
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || r.left >= work.right || r.top >= work.bottom ||
      r.right <= work.left || r.bottom <= work.top) {
    return;
  }
  SetWindowPos(form, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (maximised) ShowWindow(form, SW_MAXIMIZE);
}

void KeepPlacement(HWND form) {
  WINDOWPLACEMENT place{};
  place.length = sizeof place;
  if (!GetWindowPlacement(form, &place)) return;
  const RECT& r = place.rcNormalPosition;
  WriteSetting(kWindowSetting, std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
                                   " " + std::to_string(r.bottom) + " " + (IsZoomed(form) ? "1" : "0"));
}

void InitialiseMainForm(HWND form) {
  if (GetPropA(form, "VD_INITDLG")) return;
  SetPropA(form, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
  if (!g_undo_keys) g_undo_keys = SetWindowsHookExA(WH_GETMESSAGE, UndoKeys, nullptr, GetCurrentThreadId());
  g_undo_form = form;
  SetWindowTextA(form, kBaseCaption);
  DragAcceptFiles(form, TRUE);
  SetTimer(form, kWatchTimer, kWatchMilliseconds, nullptr);
  HWND list = List(form);
  SetUpPlayerList(list);
  BindColumnMenu(list);
  BindGridEvents(list);
  SetPageEditHandler(PageEdited);
  MakeFilterTip(form);
  ShowListedCount(form);
  RECT client{}, window{};
  GetClientRect(form, &client);
  GetWindowRect(form, &window);
  g_layout = {form, {client.right, client.bottom}, {window.right - window.left, window.bottom - window.top}};
  RestorePlacement(form);
}

}  // namespace

EditorState& Editor() {
  static EditorState state;
  return state;
}

void ShowMessage(const char* text) {
  MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(kMessageCaption).c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

int Ask(const std::string& text, UINT buttons) {
  if (!(buttons & MB_ICONMASK)) buttons |= MB_ICONQUESTION;
  return MessageBoxA(nullptr, text.c_str(), kMessageCaption, buttons | MB_TASKMODAL | MB_SETFOREGROUND);
}

// Posted: showing a page posts a Tab to the form, and the form's activation
// after a message box restores the focus it had; both come first.
void FocusBox(HWND form, int tab, int id) {
  SelectTabPage(GetDlgItem(form, kTabControlId), tab);
  if (HWND box = GetDlgItem(FindPage(form, tab), id)) PostMessageA(form, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
}

std::string PlayerName(std::uint32_t position) {
  const EditorState& editor = Editor();
  return ShownName(editor.pending.Text(editor.view, position, *FieldAt(kVitalsTab, vitals::kFirstName))) + " " +
         ShownName(editor.pending.Text(editor.view, position, *FieldAt(kVitalsTab, vitals::kLastName)));
}

// The window is an ANSI one: its own procedure would pass the text through the
// code page, so the wide default procedure stores it, whatever it holds.
void ShowFileInCaption(HWND form, const std::string& path) {
  const std::wstring caption =
      WideFromUtf8(path.empty() ? kBaseCaption : std::string(kBaseCaption) + " - " + FileNameOf(path));
  DefWindowProcW(form, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

void RegisterMainWindow() {
  UseFormTable();
  SetFormProcedure("FORM1", MainFormProc);
  SetFormProcedure("VITALS", VitalsPageProc);
  SetFormProcedure("ATTRIBUTES", AttributesPageProc);
  SetFormProcedure("TENDENCIES", TendenciesPageProc);
  SetEventHandler(HandlerNumber(HandlerId::ChooseRosterFile), OnCommand(ChooseRosterFile));
  SetEventHandler(HandlerNumber(HandlerId::ReadRosterFile), OnCommand(ReadRosterFile));
  SetEventHandler(HandlerNumber(HandlerId::CloseRosterFile), OnCommand(CloseRosterFile));
  SetEventHandler(HandlerNumber(HandlerId::SavePlayer), OnCommand(SavePlayerHandler));
  SetEventHandler(HandlerNumber(HandlerId::LoadPlayer), OnNotify(LoadPlayerHandler));
  SetEventHandler(HandlerNumber(HandlerId::OnColumnClick), OnNotify(OnColumnClick));
  SetEventHandler(HandlerNumber(HandlerId::ListKey), OnKey(ListKey));
  SetEventHandler(HandlerNumber(HandlerId::OnSearchKey), OnKey(OnSearchKey));
  SetEventHandler(HandlerNumber(HandlerId::OnSearchChar), OnKey(OnSearchChar));
  SetEventHandler(HandlerNumber(HandlerId::ShowHistory), OnCommand(ShowHistoryHandler));
  SetEventHandler(HandlerNumber(HandlerId::HistoryButton), OnCommand(HistoryButtonHandler));
  SetEventHandler(HandlerNumber(HandlerId::FilterChanged), OnCommand(FilterChanged));
  SetEventHandler(HandlerNumber(HandlerId::FilterKey), OnKey(FilterKey));
  SetEventHandler(HandlerNumber(HandlerId::ChooseColumns), OnCommand(ChooseColumnsHandler));
  SetEventHandler(HandlerNumber(HandlerId::ColumnsButton), OnCommand(ColumnsButtonHandler));
  SetEventHandler(HandlerNumber(HandlerId::SetField), OnCommand(SetFieldHandler));
  SetEventHandler(HandlerNumber(HandlerId::SetButton), OnCommand(SetButtonHandler));
  RegisterHistoryDialog();
  RegisterColumnsDialog();
  RegisterSetDialog();
}

std::string CheckMainWindowBindings() {
  return CheckTableBindings({"FORM1", "VITALS", "ATTRIBUTES", "TENDENCIES", "HISTORY", "COLUMNS", "SET"});
}

INT_PTR CALLBACK MainFormProc(HWND form, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseMainForm(form);
      break;
    case WM_TIMER:
      if (wparam == kWatchTimer) CheckRoster(form);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) CheckRoster(form);
      break;
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED) LayOut(form, LOWORD(lparam), HIWORD(lparam));
      break;
    case WM_GETMINMAXINFO:
      if (form == g_layout.form) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
        limits->ptMinTrackSize = {g_layout.smallest.cx, g_layout.smallest.cy};
      }
      break;
    case WM_CLOSE:
      // TRUE keeps the window open.
      return MayLeavePlayer(form) ? 0 : TRUE;
    case WM_DROPFILES:
      ReadPaths(form, CollectDroppedFiles(reinterpret_cast<HDROP>(wparam)));
      break;
    case kCommandKeyMessage:
      CommandKey(form, static_cast<char>(wparam));
      break;
    case kReadCommandLineMessage:
      ReadCommandLinePaths(form);
      break;
    case kUndoKeyMessage:
      try {
        if (!wparam && UndoGridEdit(form)) break;  // an edit not saved yet goes first
        UndoFromWindow(form, wparam ? UndoKind::Redo : UndoKind::Undo, std::nullopt);
      } catch (...) {
        ShowMessage("The write could not be undone or redone.");
      }
      break;
    case WM_DESTROY:
      KeepPlacement(form);
      ReleaseRosterFile();
      ForgetPlayerRows(List(form));
      DragAcceptFiles(form, FALSE);
      if (g_layout.form == form) g_layout = Layout{};
      DestroyFilterTip();
      if (g_undo_form == form) {
        g_undo_form = nullptr;
        if (g_undo_keys) UnhookWindowsHookEx(g_undo_keys);
        g_undo_keys = nullptr;
      }
      break;
    default:
      break;
  }
  return 0;
}

std::string SpecialFolderPath(int csidl) { return ShellFolderPath(csidl); }

int GetSelectedRow(HWND form, int list_id) {
  HWND list = GetDlgItem(form, list_id);
  const auto selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return selected < 0 ? 0 : selected + 1;
}

// A click on a row shows that player, with his edits; the edits of the one
// shown before stay. A click with Ctrl or Shift only selects.
INT_PTR LoadPlayerHandler(HWND form, int, NMHDR* header) {
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
  FocusGridColumn(click->iSubItem);
  if (click->iItem < 0 || (click->uKeyFlags & (LVKF_CONTROL | LVKF_SHIFT))) return 0;
  const std::uint32_t position = PositionAt(click->iItem);
  EditorState& editor = Editor();
  if (!position || (editor.player.loaded && position == editor.player.position)) return 0;
  NoteLoadedPlayer(form);
  ShowPlayer(form, position);
  return 0;
}

INT_PTR SavePlayerHandler(HWND form, int) {
  SaveEdits(form);
  return 0;
}

INT_PTR OnColumnClick(HWND form, int, NMHDR* header) {
  SortByListColumn(List(form), reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem, KeptPlayer());
  return 0;
}

INT_PTR ListKey(HWND, int, WPARAM*, LPARAM) { return 0; }

}  // namespace rostrel
