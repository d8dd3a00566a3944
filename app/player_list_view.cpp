#include "app/player_list_view.h"
#include "forms/handles.h"

#include <commctrl.h>

#include "forms/event_routing.h"

namespace rostrel {

namespace {

// The rows as read from the file; each list item's data is its index here, so
// that the list's own sort can compare the rows' names.
std::vector<PlayerEntry> g_rows;

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

void DeleteAllRows(HWND list) {
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
  INT widths[256] = {};
  {
    const WindowDC dc(list);
    const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    GetCharWidth32A(dc.get(), 0, 255, widths);
  }
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

void InsertRows(HWND list, std::vector<PlayerEntry> rows) {
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
    SetItemText(list, at, 2, PositionCell(g_rows[i].position));
  }
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

// The list item of the player whose record is at position, or -1.
int ItemOfRecord(HWND list, std::uint32_t position) {
  const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    LVITEMA data{};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    const auto index = static_cast<std::size_t>(data.lParam);
    if (index < g_rows.size() && g_rows[index].position == position) return item;
  }
  return -1;
}

}  // namespace

void SetUpPlayerList(HWND list) {
  AddColumn(list, 0, "FNAME", 60);
  AddColumn(list, 1, "LNAME", 65);
  AddColumn(list, 2, "", 0);
  LockColumns(list);
}

void FillPlayerRows(HWND list, std::vector<PlayerEntry> rows) { InsertRows(list, std::move(rows)); }
void ClearPlayerRows(HWND list) { DeleteAllRows(list); }
std::vector<PlayerEntry> ListedRows(HWND) { return g_rows; }

void ForgetPlayerRows() { g_rows.clear(); }

void SortPlayerRows(HWND list, int column, SortOrder order) {
  SortRequest request{column, order};
  SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(CompareItems));
}

std::string PlayerCell(HWND list, int item, int column) { return ItemText(list, item, column); }

void SelectPlayerRow(HWND list, std::uint32_t position) {
  const int item = ItemOfRecord(list, position);
  if (item < 0) return;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

void ShowSavedNames(HWND list, const SaveResult& saved) {
  RefreshPlayerRow(g_rows, saved);
  const int item = ItemOfRecord(list, saved.position);
  if (item < 0) return;
  SetItemText(list, item, 0, saved.first_name);
  SetItemText(list, item, 1, saved.last_name);
}

}  // namespace rostrel
