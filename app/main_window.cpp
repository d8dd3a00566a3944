#include "app/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "forms/event_routing.h"
#include "forms/form_engine.h"
#include "forms/system_helpers.h"
#include "forms/window_data.h"
#include "pages/window_pages.h"
#include "roster/journal.h"

namespace rostrel {

namespace {

// The rows as read from the file; each list item's data is its index here, so
// that the list's own sort can compare the rows' names.
std::vector<PlayerEntry> g_rows;

HWND List(HWND form) { return GetDlgItem(form, kPlayerList); }

std::string ItemText(HWND list, int item, int column) {
  char text[256] = {};
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  return text;
}

void SetItemText(HWND list, int item, int column, const std::string& text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

// The list's cells as the search reads them.
class ListViewCells : public ListCells {
 public:
  explicit ListViewCells(HWND list) : list_(list) {}
  int RowCount() const override { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string CellText(int row, int column) const override { return ItemText(list_, row - 1, column - 1); }

 private:
  HWND list_;
};

// Many rows change at once: the list is drawn once, at the end.
class RedrawPause {
 public:
  explicit RedrawPause(HWND list) : list_(list) { SendMessageA(list_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawPause() {
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;

 private:
  HWND list_;
};

void DeleteAllRows(HWND form) {
  HWND list = List(form);
  {
    RedrawPause pause(list);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  }
  g_rows.clear();
}

// Sizes the two name columns to their widest text, as LVSCW_AUTOSIZE over all
// rows would, without the list measuring every row: the widest texts are found
// from the font's character widths, and the list sizes the columns to one
// stand-in row holding them, which then goes.
void SizeNameColumns(HWND list, const std::vector<PlayerEntry>& rows) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  INT widths[256] = {};
  GetCharWidth32A(dc, 0, 255, widths);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  auto width = [&widths](const std::string& text) {
    long sum = 0;
    for (unsigned char c : text) sum += widths[c];
    return sum;
  };
  const PlayerEntry* widest[2] = {&rows[0], &rows[0]};
  long most[2] = {width(rows[0].first_name), width(rows[0].last_name)};
  for (const PlayerEntry& row : rows) {
    if (const long w = width(row.first_name); w > most[0]) most[0] = w, widest[0] = &row;
    if (const long w = width(row.last_name); w > most[1]) most[1] = w, widest[1] = &row;
  }
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<char*>(widest[0]->first_name.c_str());
  const auto at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  SetItemText(list, at, 1, widest[1]->last_name);
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
  SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(at), 0);
}

void InsertRows(HWND form, std::vector<PlayerEntry> rows) {
  HWND list = List(form);
  g_rows = std::move(rows);
  RedrawPause pause(list);
  SizeNameColumns(list, g_rows);
  SendMessageA(list, LVM_SETITEMCOUNT, g_rows.size(), 0);
  for (std::size_t i = 0; i < g_rows.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(g_rows[i].first_name.c_str());
    item.lParam = static_cast<LPARAM>(i);
    const auto at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    SetItemText(list, at, 1, g_rows[i].last_name);
    SetItemText(list, at, 2, g_rows[i].position);
  }
}

void ReleaseFile() {
  CloseRosterView(Editor().view);
  Editor().player = LoadedPlayer{};
}

// The list's header may neither be dragged nor have its dividers double-clicked,
// so the hidden third column stays hidden: the routing answers these
// notifications of the header with TRUE, which refuses them.
INT_PTR RefuseColumnSizing(HWND, int, NMHDR*) { return TRUE; }

void LockColumns(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  for (UINT code : {HDN_BEGINTRACKA, HDN_BEGINTRACKW, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW}) {
    BindEvent(header, WM_NOTIFY, static_cast<int>(code), OnNotify(RefuseColumnSizing));
  }
}

void AddColumn(HWND list, int index, const char* title, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(title);
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void InitialiseMainForm(HWND form) {
  if (GetPropA(form, "VD_INITDLG")) return;
  SetPropA(form, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
  SetWindowTextA(form, kBaseCaption);
  DragAcceptFiles(form, TRUE);
  HWND list = List(form);
  AddColumn(list, 0, "FNAME", 60);
  AddColumn(list, 1, "LNAME", 65);
  AddColumn(list, 2, "", 0);
  LockColumns(list);
  Editor().sort = SortState{};
}

struct SortRequest {
  int column;
  SortOrder order;
};

// No exception leaves for the list: rows that cannot be compared are equal.
int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM request_address) {
  try {
    const auto* request = reinterpret_cast<const SortRequest*>(request_address);
    const auto ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b);
    if (ia >= g_rows.size() || ib >= g_rows.size()) return 0;
    const int result = CompareRows(g_rows[ia], g_rows[ib], request->column);
    return request->order == SortOrder::Descending ? -result : result;
  } catch (...) {
    return 0;
  }
}

// The list row (0-based) of the player whose record is at position, or -1.
int ItemOfPosition(HWND list, std::uint32_t position) {
  const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    LVITEMA data{};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    const auto index = static_cast<std::size_t>(data.lParam);
    if (index < g_rows.size() && RecordPositionOf(g_rows[index]) == position) return item;
  }
  return -1;
}

}  // namespace

EditorState& Editor() {
  static EditorState state;
  return state;
}

void ShowMessage(const char* text) { MessageBoxA(nullptr, text, kMessageCaption, MB_OK | MB_TASKMODAL | MB_SETFOREGROUND); }

void RegisterMainWindow() {
  SetFormProcedure("FORM1", MainFormProc);
  SetFormProcedure("VITALS", VitalsPageProc);
  SetFormProcedure("ATTRIBUTES", AttributesPageProc);
  SetFormProcedure("TENDENCIES", TendenciesPageProc);
  SetEventHandler(HandlerId::ChooseRosterFile, OnCommand(ChooseRosterFile));
  SetEventHandler(HandlerId::ReadRosterFile, OnCommand(ReadRosterFile));
  SetEventHandler(HandlerId::CloseRosterFile, OnCommand(CloseRosterFile));
  SetEventHandler(HandlerId::SavePlayer, OnCommand(SavePlayerHandler));
  SetEventHandler(HandlerId::LoadPlayer, OnNotify(LoadPlayerHandler));
  SetEventHandler(HandlerId::OnColumnClick, OnNotify(OnColumnClick));
  SetEventHandler(HandlerId::ListKey, OnKey(ListKey));
  SetEventHandler(HandlerId::OnSearchKey, OnKey(OnSearchKey));
  SetEventHandler(HandlerId::OnSearchChar, OnKey(OnSearchChar));
}

std::string CheckMainWindowBindings() { return CheckTableBindings({"FORM1", "VITALS", "ATTRIBUTES", "TENDENCIES"}); }

INT_PTR CALLBACK MainFormProc(HWND form, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseMainForm(form);
      break;
    case WM_DROPFILES: {
      Editor().path = CollectDroppedFiles(reinterpret_cast<HDROP>(wparam));
      // Several files at once read nothing.
      if (Editor().path.find('|') == std::string::npos) ReadRosterFile(form, kReadButton);
      break;
    }
    case WM_DESTROY:
      ReleaseFile();
      g_rows.clear();
      DragAcceptFiles(form, FALSE);
      break;
    default:
      break;
  }
  return 0;
}

std::string CollectDroppedFiles(HDROP drop) {
  std::string names;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    DragQueryFileA(drop, i, name.data(), length + 1);
    name.resize(length);
    names += name + "|";
  }
  DragFinish(drop);
  while (!names.empty() && names.back() == '|') names.pop_back();
  return names;
}

std::string SpecialFolderPath(int csidl) { return ShellFolderPath(csidl); }

int GetSelectedRow(HWND form, int list_id) {
  HWND list = GetDlgItem(form, list_id);
  const auto selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return selected < 0 ? 0 : selected + 1;
}

INT_PTR ChooseRosterFile(HWND form, int) {
  char file[MAX_PATH] = {};
  const std::string folder = SpecialFolderPath(CSIDL_APPDATA) + "\\2K Sports\\NBA 2K9\\Saves";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = form;
  dialog.lpstrFilter = "FXG OR ROS FILE\0*.FXG;*.ROS\0ALL TYPE(*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = "Choose A File";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  // A cancelled dialog changes nothing: an open file stays open and listed.
  if (!GetOpenFileNameA(&dialog) || file[0] == '\0') return 0;
  Editor().path = file;
  ReadRosterFile(form, kReadButton);
  return 0;
}

INT_PTR ReadRosterFile(HWND form, int) {
  EditorState& editor = Editor();
  const std::optional<std::uint32_t> header = HeaderOffsetFor(editor.path);
  if (!header) {
    ShowMessage("The file extension is wrong!?");
    return 0;
  }
  // An interrupted write of the file is completed first. A journal that does
  // not match the file, or a completion that fails, refuses the Read: the
  // file is not opened, so nothing is written beside that journal.
  const RecoveryReport recovery = RecoverRoster(editor.path);
  if (recovery.what == Recovery::Mismatch || recovery.what == Recovery::Failed) {
    ShowMessage(recovery.message.c_str());
    if (IsOpen(editor.view)) editor.path = editor.view.path;
    return 0;
  }
  // The new file is listed and mapped before the open one is released: a file
  // that cannot be opened for writing or mapped leaves the open one open,
  // listed and named, as a wrong extension does.
  std::vector<PlayerEntry> rows = FillPlayerList(editor.path, *header);
  RosterView next;
  const OpenStatus status = OpenRosterView(next, editor.path);
  if (status != OpenStatus::Ok) {
    // Players that could never be saved are not listed.
    if (!rows.empty()) ShowMessage(OpenStatusText(status));
    if (IsOpen(editor.view)) editor.path = editor.view.path;
    return 0;
  }
  ReleaseFile();
  DeleteAllRows(form);
  editor.search = SearchPosition{};
  EnableControl(form, kSaveButton, false);
  MoveRosterView(editor.view, next);
  if (rows.empty()) {
    // Nobody to edit: the caption names no file.
    SetWindowTextA(form, kBaseCaption);
    return 0;
  }
  InsertRows(form, std::move(rows));
  EnableControl(form, kSaveButton, true);
  SetWindowTextA(form, (std::string(kBaseCaption) + " - " + FileNameOf(editor.path)).c_str());
  return 0;
}

INT_PTR CloseRosterFile(HWND form, int) {
  EditorState& editor = Editor();
  editor.path.clear();
  editor.search = SearchPosition{};
  DeleteAllRows(form);
  EnableControl(form, kSaveButton, false);
  SetWindowTextA(form, kBaseCaption);
  ReleaseFile();
  return 0;
}

INT_PTR LoadPlayerHandler(HWND form, int, NMHDR*) {
  HWND list = List(form);
  if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 1) return 0;
  const int row = GetSelectedRow(form, kPlayerList);
  if (row == 0) return 0;  // a click beside the rows selects nobody
  const std::uint32_t position = RecordPositionOf(PlayerEntry{{}, {}, ItemText(list, row - 1, 2)});
  WindowPages pages(form);
  LoadPlayer(Editor().view, position, pages, Editor().player);
  return 0;
}

INT_PTR SavePlayerHandler(HWND form, int) {
  EditorState& editor = Editor();
  WindowPages pages(form);
  // The player shown in the pages is the one written, wherever the selection is now.
  const SaveResult saved = SavePlayer(editor.view, pages, editor.player);
  if (!saved.error.empty()) {
    // The pages keep the user's edits; a later save or Read puts them in the file.
    ShowMessage((FileNameOf(editor.view.path) + " was not saved. " + saved.error).c_str());
    return 0;
  }
  if (!saved.saved) return 0;
  RefreshPlayerRow(g_rows, saved);
  HWND list = List(form);
  const int item = ItemOfPosition(list, saved.position);
  if (item >= 0) {
    SetItemText(list, item, 0, saved.first_name);
    SetItemText(list, item, 1, saved.last_name);
  }
  return 0;
}

INT_PTR OnColumnClick(HWND form, int, NMHDR* header) {
  const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
  const int column = click->iSubItem + 1;
  const std::optional<SortOrder> order = NextSortOrder(Editor().sort, column);
  if (!order) return 0;
  SortRequest request{column, *order};
  SendMessageA(List(form), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&request),
               reinterpret_cast<LPARAM>(CompareItems));
  return 0;
}

INT_PTR ListKey(HWND, int, WPARAM*, LPARAM) { return 0; }

INT_PTR OnSearchKey(HWND form, int, WPARAM* key, LPARAM) {
  if (*key != VK_RETURN) return 0;
  HWND list = List(form);
  const ListViewCells cells(list);
  const int row = SearchNext(cells, Editor().search, GetControlText(form, kSearchBox));
  if (row == 0) {
    ShowMessage("Not Find!");
    return 0;
  }
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
  return 0;
}

INT_PTR OnSearchChar(HWND, int, WPARAM*, LPARAM) {
  Editor().search = SearchPosition{};
  return 0;
}

}  // namespace rostrel
