#include "app/grid_edit.h"

#include <commctrl.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/player_list_view.h"
#include "app/set_dialog.h"
#include "forms/event_routing.h"
#include "player/grid_sheet.h"
#include "player/names.h"

namespace rostrel {

namespace {

int g_column = -1;  // the list column F2 and a paste start at

// The one cell editor, over its cell.
struct CellEditor {
  HWND control = nullptr;
  int item = -1, column = -1;
  std::uint32_t position = 0;
  const Field* field = nullptr;
};
CellEditor g_editor;

// Posted to the editor when it is done: 0 cancels, 1 keeps, 2 and 3 keep and
// go on to the next or the previous column.
constexpr UINT kFinishEditor = WM_APP + 10;

HWND FormOf(HWND list) { return GetAncestor(list, GA_ROOT); }

std::string Latin1(const std::wstring& wide, bool& fits) {
  std::string text;
  text.reserve(wide.size());
  fits = true;
  for (wchar_t c : wide) {
    if (c > 0xFF) fits = false;
    text += static_cast<char>(c);
  }
  return text;
}

void OpenCellEditor(HWND list, int item, int column);

// The next (step 1) or previous (-1) column that can be edited, or -1.
int NextEditableColumn(HWND list, int column, int step) {
  const std::vector<int> shown = ShownColumns(list);
  auto at = std::find(shown.begin(), shown.end(), column);
  if (at == shown.end()) return -1;
  for (auto k = at - shown.begin() + step; k >= 0 && k < static_cast<long>(shown.size()); k += step) {
    if (FieldOfColumn(shown[static_cast<std::size_t>(k)])->editable()) return shown[static_cast<std::size_t>(k)];
  }
  return -1;
}

std::string EditorText(const CellEditor& e) {
  char kind[16] = {};
  GetClassNameA(e.control, kind, sizeof kind);
  if (lstrcmpiA(kind, "ComboBox") == 0) {
    const auto item = static_cast<int>(SendMessageA(e.control, CB_GETCURSEL, 0, 0));
    return item >= 0 ? e.field->list->items()[static_cast<std::size_t>(item)] : "";
  }
  if (lstrcmpiA(kind, "Button") == 0) return SendMessageA(e.control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(e.control)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(e.control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void FinishEditor(int how) {
  const CellEditor e = g_editor;
  if (!e.control) return;
  g_editor = CellEditor{};
  const std::string text = EditorText(e);
  HWND list = GetParent(e.control);
  DestroyWindow(e.control);
  SetFocus(list);
  if (how == 0) return;
  if (!KeepGridEdits(FormOf(list), {{e.position, e.field, text}}, "The cell was not changed")) return;
  if (how >= 2) {
    const int next = NextEditableColumn(list, e.column, how == 2 ? 1 : -1);
    if (next >= 0) OpenCellEditor(list, e.item, next);
  }
}

LRESULT CALLBACK EditorProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DefSubclassProc(control, message, wparam, lparam);
    case WM_KEYDOWN: {
      const bool dropped = SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0;
      if (wparam == VK_RETURN && !dropped) return PostMessageA(control, kFinishEditor, 1, 0), 0;
      if (wparam == VK_ESCAPE && !dropped) return PostMessageA(control, kFinishEditor, 0, 0), 0;
      if (wparam == VK_TAB) return PostMessageA(control, kFinishEditor, GetKeyState(VK_SHIFT) < 0 ? 3 : 2, 0), 0;
      break;
    }
    case WM_CHAR:
      if (wparam == '\r' || wparam == '\t' || wparam == 27) return 0;
      break;
    case WM_KILLFOCUS:
      // Leaving the cell keeps what it holds, unless the focus stays within the editor (its drop-down list).
      if (g_editor.control == control) PostMessageA(control, kFinishEditor, 1, 0);
      break;
    case kFinishEditor:
      if (g_editor.control == control) FinishEditor(static_cast<int>(wparam));
      return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(control, EditorProc, 1); break;
    default: break;
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

void OpenCellEditor(HWND list, int item, int column) {
  const Field* field = FieldOfColumn(column);
  const std::uint32_t position = PositionAt(item);
  if (g_editor.control || !field || !field->editable() || !position) return;  // Age and the record position stay
  const EditorState& editor = Editor();
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
  RECT cell{LVIR_BOUNDS, column, 0, 0};
  SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  if (column == 0) cell.right = cell.left + static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
  const std::string text = CellText(editor.pending.Text(editor.view, position, *field));
  const DWORD visible = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  HWND control = nullptr;
  const int width = cell.right - cell.left, height = cell.bottom - cell.top;
  if (field->kind == FieldKind::Combo) {
    control = CreateWindowExA(0, "ComboBox", "", visible | WS_VSCROLL | CBS_DROPDOWNLIST, cell.left, cell.top - 2,
                              std::max(width, 90), 200, list, nullptr, nullptr, nullptr);
    for (const char* name : field->list->items()) SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(ItemNamed(*field, text) - 1), 0);
  } else if (field->kind == FieldKind::Check) {
    control = CreateWindowExA(0, "Button", "", visible | BS_AUTOCHECKBOX, cell.left + 2, cell.top, width - 2, height, list,
                              nullptr, nullptr, nullptr);
    SendMessageA(control, BM_SETCHECK, text == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
  } else {
    control = CreateWindowExA(0, "Edit", text.c_str(), visible | WS_BORDER | ES_AUTOHSCROLL | (field->tab != kVitalsTab ? ES_NUMBER : 0),
                              cell.left, cell.top, width, height, list, nullptr, nullptr, nullptr);
    // A name's box takes as many characters as the name's stored length.
    if (field->is_name()) {
      const std::uint32_t at = ResolveRelative(editor.view, position + FindVitalsField(field->id)->offset);
      SendMessageA(control, EM_LIMITTEXT, std::max<std::size_t>(1, ReadNameAt(editor.view, at).size()), 0);
    }
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
  if (!control) return;
  SendMessageA(control, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), TRUE);
  g_editor = {control, item, column, position, field};
  g_column = column;
  SetWindowSubclass(control, EditorProc, 1, 0);
  SetFocus(control);
}

void CopyRows(HWND list) {
  const EditorState& editor = Editor();
  std::vector<const Field*> columns;
  for (int column : ShownColumns(list)) columns.push_back(FieldOfColumn(column));
  const std::string text = CopiedCells(editor.view, editor.pending, SelectedPlayers(list), columns);
  // The names' code page is Latin-1: each byte is the character of that code.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return;
  auto* wide = static_cast<wchar_t*>(GlobalLock(memory));
  for (std::size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  wide[text.size()] = L'\0';
  GlobalUnlock(memory);
  if (OpenClipboard(FormOf(list))) {
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory)) memory = nullptr;  // the clipboard owns it now
    CloseClipboard();
  }
  if (memory) GlobalFree(memory);
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text.assign(wide, wcsnlen(wide, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PasteRows(HWND list) {
  const EditorState& editor = Editor();
  bool fits = true;
  const std::string text = Latin1(ClipboardText(FormOf(list)), fits);
  if (!fits) {
    ShowProblems(list, "Nothing was pasted", {"the block holds a character above U+00FF, which no field can hold"});
    return;
  }
  PasteTarget target;
  target.listed = ListedPositions();
  for (int item : SelectedItems(list)) target.selected.push_back(static_cast<std::size_t>(item));
  const auto focused = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  target.focus_row = focused >= 0 ? static_cast<std::size_t>(focused) : target.selected.empty() ? 0 : target.selected.front();
  const std::vector<int> shown = ShownColumns(list);
  for (int column : shown) target.columns.push_back(FieldOfColumn(column));
  const auto at = std::find(shown.begin(), shown.end(), g_column);
  target.focus_column = at == shown.end() ? 0 : static_cast<std::size_t>(at - shown.begin());
  target.players = FilePositions();
  const PastePlan plan = PlanPaste(editor.view, editor.pending, text, target);
  if (!plan.ok()) {
    ShowProblems(list, "Nothing was pasted", plan.problems, plan.more);
    return;
  }
  KeepGridEdits(FormOf(list), plan.edits, "Nothing was pasted");
}

INT_PTR GridKey(HWND form, int, NMHDR* header) {
  const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(header);
  HWND list = header->hwndFrom;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (key->wVKey == VK_F2) {
    const auto item = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    OpenCellEditor(list, item, g_column >= 0 ? g_column : ShownColumns(list).front());
  } else if (control && key->wVKey == 'A') {
    LVITEMA all{};
    all.stateMask = all.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  } else if (control && key->wVKey == 'C') {
    CopyRows(list);
  } else if (control && key->wVKey == 'V') {
    PasteRows(list);
  } else if (control && key->wVKey == 'E') {
    SetFieldHandler(form, 0);
  }
  return 0;
}

INT_PTR CellDoubleClick(HWND, int, NMHDR* header) {
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (click->iItem >= 0) OpenCellEditor(header->hwndFrom, click->iItem, click->iSubItem);
  return 0;
}

}  // namespace

void BindGridEvents(HWND list) {
  BindEvent(list, WM_NOTIFY, static_cast<int>(LVN_KEYDOWN), OnNotify(GridKey));
  BindEvent(list, WM_NOTIFY, static_cast<int>(NM_DBLCLK), OnNotify(CellDoubleClick));
}

void FocusGridColumn(int column) {
  if (FieldOfColumn(column)) g_column = column;
}

int FocusedGridColumn() { return g_column; }

void ShowProblems(HWND back, const std::string& what, const std::vector<std::string>& problems, std::size_t more) {
  std::string text = what + ":\n";
  for (std::size_t k = 0; k < problems.size() && k < 10; ++k) text += "\n" + problems[k];
  more += problems.size() > 10 ? problems.size() - 10 : 0;
  if (more) text += "\nand " + std::to_string(more) + " more";
  ShowMessage(text.c_str());
  // Wine activates no window once a message box without an owner has gone.
  SetForegroundWindow(GetAncestor(back, GA_ROOT));
  SetFocus(back);
}

bool KeepGridEdits(HWND form, const std::vector<CellEdit>& edits, const std::string& what) {
  EditorState& editor = Editor();
  NoteLoadedPlayer(form);
  const std::vector<PendingEdits::Problem> refused = editor.pending.Apply(editor.view, edits);
  if (!refused.empty()) {
    std::vector<std::string> problems;
    for (const PendingEdits::Problem& p : refused) {
      const CellEdit& e = edits[p.index];
      problems.push_back(ShownNameAt(editor.view, e.position + 4) + " " + ShownNameAt(editor.view, e.position) + ", " +
                         e.field->label + ": \"" + e.text + "\" refused: " + p.why);
    }
    ShowProblems(GetFocus() ? GetFocus() : GetDlgItem(form, kPlayerList), what, problems);
    return false;
  }
  InvalidateRect(GetDlgItem(form, kPlayerList), nullptr, FALSE);
  ShowLoadedPlayer(form);
  return true;
}

bool UndoGridEdit(HWND form) {
  NoteLoadedPlayer(form);
  if (!Editor().pending.Undo()) return false;
  InvalidateRect(GetDlgItem(form, kPlayerList), nullptr, FALSE);
  ShowLoadedPlayer(form);
  return true;
}

std::vector<std::uint32_t> SelectedPlayers(HWND list) {
  std::vector<std::uint32_t> players;
  for (int item : SelectedItems(list)) players.push_back(PositionAt(item));
  return players;
}

}  // namespace rostrel
