#include "app/set_dialog.h"

#include <string>
#include <vector>

#include "app/grid_edit.h"
#include "app/main_window.h"
#include "app/player_list_view.h"
#include "forms/form_engine.h"

namespace rostrel {

namespace {

enum SetControl : int { kFieldBox = 101, kValueBox = 103, kCountLine = 104, kOk = 105, kCancel = 106 };

HWND g_main = nullptr;
std::vector<std::uint32_t> g_players;  // the selected players, in list order

// Every field a user can change, in page order.
std::vector<const Field*> Settable() {
  std::vector<const Field*> fields;
  for (const Field& f : Fields()) {
    if (f.editable()) fields.push_back(&f);
  }
  return fields;
}

INT_PTR CALLBACK SetFormProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG && !GetPropA(dialog, "VD_INITDLG")) {
    SetPropA(dialog, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
    HWND box = GetDlgItem(dialog, kFieldBox);
    const std::vector<const Field*> fields = Settable();
    // The field of the column last clicked comes first, else the first shown one after the names.
    const Field* wanted = FieldOfColumn(FocusedGridColumn());
    for (int column : ShownColumns(GetDlgItem(g_main, kPlayerList))) {
      const Field* field = FieldOfColumn(column);
      if (!(wanted && wanted->editable()) && field->editable() && !field->is_name()) wanted = field;
    }
    std::size_t chosen = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fields[k]->label.c_str()));
      if (fields[k] == wanted) chosen = k;
    }
    SendMessageA(box, CB_SETCURSEL, chosen, 0);
    const std::string count = "This changes " + Thousands(g_players.size()) + (g_players.size() == 1 ? " player." : " players.");
    SetDlgItemTextA(dialog, kCountLine, count.c_str());
  }
  // Enter and Esc, from the dialog manager.
  if (message == WM_COMMAND && lparam == 0 && LOWORD(wparam) == IDOK) SetButtonHandler(dialog, kOk);
  if (message == WM_COMMAND && lparam == 0 && LOWORD(wparam) == IDCANCEL) DestroyWindow(dialog);
  if (message == WM_CLOSE) DestroyWindow(dialog);
  return 0;
}

}  // namespace

INT_PTR SetFieldHandler(HWND form, int) {
  HWND list = GetDlgItem(form, kPlayerList);
  if (!IsOpen(Editor().view)) return 0;
  g_players = SelectedPlayers(list);
  if (g_players.empty()) {
    ShowMessage("Select the players to set first.");
    return 0;
  }
  HWND dialog = CreateForm("SET", form, 0);
  if (!dialog) return 0;
  g_main = form;
  ShowFormAndWait(dialog, form);
  g_main = nullptr;
  g_players.clear();
  SetFocus(list);  // back to the rows the dialog set
  return 0;
}

INT_PTR SetButtonHandler(HWND dialog, int id) {
  if (id == kOk && g_main) {
    const std::vector<const Field*> fields = Settable();
    const auto k = static_cast<std::size_t>(SendDlgItemMessageA(dialog, kFieldBox, CB_GETCURSEL, 0, 0));
    if (k >= fields.size()) return 0;
    char value[256] = {};
    GetDlgItemTextA(dialog, kValueBox, value, sizeof value);
    std::vector<std::string> problems;
    const EditorState& editor = Editor();
    const std::vector<CellEdit> edits = SetEdits(editor.view, editor.pending, g_players, *fields[k], value, problems);
    if (!problems.empty()) {
      ShowProblems(GetDlgItem(dialog, kValueBox), "Nothing was set", problems);
      return 0;
    }
    if (!KeepGridEdits(g_main, edits, "Nothing was set")) return 0;
  }
  if (id == kOk || id == kCancel) DestroyWindow(dialog);
  return 0;
}

void RegisterSetDialog() { SetFormProcedure("SET", SetFormProc); }

}  // namespace rostrel
