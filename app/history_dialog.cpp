#include "app/history_dialog.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "app/player_list_view.h"
#include "forms/form_engine.h"
#include "forms/window_data.h"
#include "pages/form_table.h"
#include "player/field_catalog.h"
#include "pages/window_pages.h"
#include "player/write_history.h"
#include "roster/wide_text.h"

namespace rostrel {

namespace {

enum HistoryControl : int { kWrites = 100, kUndo = 101, kRedo = 102, kRestore = 103, kClose = 104, kProblem = 105 };

HWND g_main = nullptr;  // the main window while the dialog runs
HWND g_dialog = nullptr;  // the dialog while it runs

std::string Counted(std::size_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); }

void SetCell(HWND list, int item, int column, const std::string& text) {
  LVITEMA cell{};
  cell.mask = LVIF_TEXT;
  cell.iItem = item;
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(&cell));
}

// The history's writes, newest first; each item's data is the write's number.
void FillWrites(HWND dialog) {
  HWND list = GetDlgItem(dialog, kWrites);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  const RosterView& view = Editor().view;
  const HistoryFile history = ReadHistory(view.path, view.size);
  const HistoryState state = ReplayHistory(history);
  int item = 0;
  for (auto e = history.entries.rbegin(); e != history.entries.rend(); ++e, ++item) {
    SetCell(list, item, 0, WriteTime(e->time));
    SetCell(list, item, 1, std::to_string(e->number) + "  " + e->what);
    SetCell(list, item, 2, PlayersText(e->players));
    SetCell(list, item, 3, std::to_string(e->field_count));
    SetCell(list, item, 4, state.IsUndone(e->number) ? "undone" : "");
    LVITEMA data{};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    data.lParam = static_cast<LPARAM>(e->number);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  }
  std::string problem = history.problem;
  if (history.status == HistoryStatus::Missing) problem = "No write of this file has been kept yet.";
  SetWindowTextA(GetDlgItem(dialog, kProblem), problem.c_str());
}

void SetUpWrites(HWND list) {
  const char* titles[] = {"When", "What", "Players", "Fields", "Undone"};
  const int widths[] = {150, 140, 220, 50, 60};
  for (int c = 0; c < 5; ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(titles[c]);
    column.cx = widths[c];
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
}

// The write the selected row shows, or 0.
std::uint32_t SelectedWrite(HWND dialog) {
  HWND list = GetDlgItem(dialog, kWrites);
  const auto item = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (item < 0) return 0;
  LVITEMA data{};
  data.mask = LVIF_PARAM;
  data.iItem = item;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return static_cast<std::uint32_t>(data.lParam);
}

}  // namespace

std::uint64_t HistoryLimit() {
  DWORD megabytes = 0, size = sizeof megabytes;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Rostrel", "HistoryLimitMB", RRF_RT_REG_DWORD, nullptr, &megabytes,
                   &size) == ERROR_SUCCESS &&
      megabytes > 0) {
    return std::uint64_t{megabytes} << 20;
  }
  return kDefaultHistoryLimit;
}

namespace {

INT_PTR CALLBACK HistoryFormProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG && !GetPropA(dialog, "VD_INITDLG")) {
    SetPropA(dialog, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
    const std::wstring caption = WideFromUtf8("History - " + FileNameOf(Editor().view.path));
    DefWindowProcW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    SetUpWrites(GetDlgItem(dialog, kWrites));
    FillWrites(dialog);
  }
  if (message == WM_CLOSE) DestroyWindow(dialog);
  return 0;
}

// The window and control that had the focus get it back once the questions
// are answered (Wine leaves no window active after a task-modal box).
class KeepFocus {
 public:
  KeepFocus() : focus_(GetFocus()), active_(GetActiveWindow()) {}
  ~KeepFocus() {
    if (!IsWindow(active_) || !IsWindowEnabled(active_)) return;
    SetForegroundWindow(active_);
    if (IsWindow(focus_)) SetFocus(focus_);
  }
  KeepFocus(const KeepFocus&) = delete;
  KeepFocus& operator=(const KeepFocus&) = delete;

 private:
  HWND focus_, active_;
};

}  // namespace

bool UndoFromWindow(HWND form, UndoKind kind, std::optional<std::uint32_t> down_to) {
  const KeepFocus focus;
  EditorState& editor = Editor();
  if (!IsOpen(editor.view)) return false;
  if (!MayLeavePlayer(form)) return false;
  UndoRequest request;
  request.kind = kind;
  request.down_to = down_to;
  request.limit = HistoryLimit();
  HWND list = GetDlgItem(form, kPlayerList);
  const std::vector<PlayerEntry> rows = ListedRows(list);
  const UndoOutcome plan = PlanUndo(editor.view, rows, request, PageLabel);
  const std::string name = FileNameOf(editor.view.path);
  if (!plan.done) {
    ShowMessage((name + ": " + plan.refusal + ".").c_str());
    return false;
  }
  std::string question = (kind == UndoKind::Undo ? "Undo " : "Redo ") + std::string(plan.targets.size() == 1 ? "write " : "writes ") +
                         std::to_string(plan.targets.front()) +
                         (plan.targets.size() > 1 ? " to " + std::to_string(plan.targets.back()) : "") + "? It changes " +
                         Counted(plan.note.players.size(), "player") + " and " + Counted(plan.note.field_count, "field") +
                         " of " + name + ".";
  if (!plan.history_problem.empty()) question += "\n\nThe history says: " + plan.history_problem + ".";
  if (MessageBoxA(nullptr, question.c_str(), kMessageCaption, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_SETFOREGROUND) != IDYES) {
    return false;
  }
  const UndoOutcome done = RunUndo(editor.view, rows, request, PageLabel);
  if (!done.done) {
    ShowMessage((name + " was not changed: " + done.refusal).c_str());
    return false;
  }
  for (const HistoryPlayer& p : done.note.players) {
    SaveResult names;
    names.saved = true;
    names.position = p.position;
    names.first_name = p.first_name;
    names.last_name = p.last_name;
    ShowSavedNames(list, names);
  }
  if (editor.player.loaded) {
    WindowPages pages(form);
    LoadPlayer(editor.view, editor.player.position, pages, editor.player);  // what the file holds now
  }
  if (!done.committed.history_note.empty()) ShowMessage(done.committed.history_note.c_str());
  return true;
}

INT_PTR ShowHistoryHandler(HWND form, int) {
  if (!IsOpen(Editor().view)) return 0;
  HWND dialog = CreateForm("HISTORY", form, 0);
  if (!dialog) return 0;
  g_main = form;
  g_dialog = dialog;
  ShowFormAndWait(dialog, form);
  g_main = g_dialog = nullptr;
  return 0;
}

void RefreshHistoryDialog() {
  if (!g_dialog || !IsWindow(g_dialog)) return;
  const std::uint32_t selected = SelectedWrite(g_dialog);
  FillWrites(g_dialog);
  HWND list = GetDlgItem(g_dialog, kWrites);
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(selected);
  const auto item = SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
  LVITEMA state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (selected && item >= 0) SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

INT_PTR HistoryButtonHandler(HWND dialog, int id) {
  switch (id) {
    case kUndo: UndoFromWindow(g_main, UndoKind::Undo, std::nullopt); break;
    case kRedo: UndoFromWindow(g_main, UndoKind::Redo, std::nullopt); break;
    case kRestore: {
      const std::uint32_t write = SelectedWrite(dialog);
      if (write == 0) {
        ShowMessage("Choose the oldest write to undo in the list first.");
        return 0;
      }
      UndoFromWindow(g_main, UndoKind::Undo, write);
      break;
    }
    default:
      DestroyWindow(dialog);
      return 0;
  }
  if (IsWindow(dialog)) FillWrites(dialog);
  return 0;
}

void RegisterHistoryDialog() { SetFormProcedure("HISTORY", HistoryFormProc); }

}  // namespace rostrel
