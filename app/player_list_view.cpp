#include "app/player_list_view.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_map>

#include "app/main_window.h"
#include "app/settings.h"
#include "forms/event_routing.h"
#include "forms/handles.h"
#include "player/names.h"
#include "player/player_filter.h"
#include "player/records.h"

namespace rostrel {

namespace {

// The listed players and what the list shows of them: item i shows the row
// shown[i] of rows.
struct ListModel {
  std::vector<PlayerEntry> rows;  // file order
  std::unordered_map<std::uint32_t, std::size_t> row_of;  // record position -> row
  std::unique_ptr<ListedFields> fields;
  std::vector<std::size_t> sorted;  // every row, in the order of the sorts since the fill
  std::vector<std::size_t> shown;   // the sorted rows the filter keeps
  Filter filter;
  std::vector<const Field*> columns;  // list column kFixedColumns + k shows columns[k]
  SortState sort;  // by the field's place in the catalog
  const RosterView* view = nullptr;
};
ListModel g;

constexpr const char* kDefaultColumns[] = {"Position", "Number", "Height", "Weight"};
constexpr const char* kColumnsSetting = "Columns";

std::string Cell(int item, int column) {
  if (item < 0 || static_cast<std::size_t>(item) >= g.shown.size()) return {};
  const std::size_t row = g.shown[static_cast<std::size_t>(item)];
  const Field* field = FieldOfColumn(column);
  if (const std::string* edited = field ? Editor().pending.Find(g.rows[row].position, *field) : nullptr) {
    return CellText(*edited);
  }
  if (column == 0) return g.rows[row].first_name;
  if (column == 1) return g.rows[row].last_name;
  if (column == 2) return PositionCell(g.rows[row].position);
  return field && g.fields ? g.fields->Text(row, *field) : std::string();
}

// The list asks for the cells it draws.
INT_PTR CellTextA(HWND, int, NMHDR* header) {
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    lstrcpynA(item.pszText, Cell(item.iItem, item.iSubItem).c_str(), item.cchTextMax);
  }
  return 0;
}

INT_PTR CellTextW(HWND, int, NMHDR* header) {
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::string text = Cell(item.iItem, item.iSubItem);
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), item.pszText,
                                      item.cchTextMax - 1);
    item.pszText[n > 0 ? n : 0] = L'\0';
  }
  return 0;
}

std::string ItemText(HWND list, int item, int column) {
  char text[256] = {};
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  return text;
}

int TextWidth(HWND list, const std::string& text) {
  return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
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

int DefaultWidth(HWND list, const Field& field) { return std::max(50, TextWidth(list, field.label) + 24); }

HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

std::vector<int> ColumnOrder(HWND list) {
  std::vector<int> order(static_cast<std::size_t>(SendMessageA(HeaderOf(list), HDM_GETITEMCOUNT, 0, 0)));
  if (!order.empty()) {
    SendMessageA(list, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
  }
  return order;
}

// The names and the hidden record position keep their place and their width:
// the routing answers these notifications of the header with TRUE, which
// refuses them. The chosen columns can be resized and dragged behind them.
INT_PTR RefuseForFixedColumns(HWND, int, NMHDR* header) {
  const auto* h = reinterpret_cast<const NMHEADERA*>(header);
  return h->iItem < kFixedColumns ? TRUE : FALSE;
}

INT_PTR RefuseDropBeforeChosen(HWND, int, NMHDR* header) {
  const auto* h = reinterpret_cast<const NMHEADERA*>(header);
  return h->iItem < kFixedColumns || (h->pitem && (h->pitem->mask & HDI_ORDER) && h->pitem->iOrder < kFixedColumns)
             ? TRUE
             : FALSE;
}

void BindListEvents(HWND list) {
  HWND header = HeaderOf(list);
  for (UINT code : {HDN_BEGINTRACKA, HDN_BEGINTRACKW, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW, HDN_BEGINDRAG}) {
    BindEvent(header, WM_NOTIFY, static_cast<int>(code), OnNotify(RefuseForFixedColumns));
  }
  BindEvent(header, WM_NOTIFY, static_cast<int>(HDN_ENDDRAG), OnNotify(RefuseDropBeforeChosen));
  BindEvent(list, WM_NOTIFY, static_cast<int>(LVN_GETDISPINFOA), OnNotify(CellTextA));
  BindEvent(list, WM_NOTIFY, static_cast<int>(LVN_GETDISPINFOW), OnNotify(CellTextW));
  BindEvent(list, WM_NOTIFY, static_cast<int>(NM_CUSTOMDRAW), OnNotify(DrawPlayerCell));
}

// The kept choice: one line per column, its width and its label.
void SaveColumns(HWND list) {
  std::string kept;
  for (int column : ColumnOrder(list)) {
    const Field* field = column >= kFixedColumns ? FieldOfColumn(column) : nullptr;
    if (!field) continue;
    const auto width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    kept += std::to_string(width) + " " + field->label + "\n";
  }
  WriteSetting(kColumnsSetting, kept.empty() ? "none" : kept);
}

int SelectedItem(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Lists the sorted rows the filter keeps and selects the player at keep, or
// else the one selected before.
void ShowRows(HWND list, std::uint32_t keep) {
  if (keep == 0) {
    const auto item = static_cast<std::size_t>(SelectedItem(list));
    if (item < g.shown.size() && g.shown[item] < g.rows.size()) keep = g.rows[g.shown[item]].position;
  }
  g.shown = g.fields ? FilterRows(g.filter, *g.fields, g.sorted) : std::vector<std::size_t>{};
  SendMessageA(list, LVM_SETITEMCOUNT, g.shown.size(), 0);
  if (!keep || !SelectPlayerRow(list, keep)) {
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  }
  InvalidateRect(list, nullptr, TRUE);
}


}  // namespace

void SetUpPlayerList(HWND list) {
  AddColumn(list, 0, "FNAME", 60);
  AddColumn(list, 1, "LNAME", 65);
  AddColumn(list, 2, "", 0);
  g.columns.clear();
  const std::string kept = ReadSetting(kColumnsSetting);
  std::istringstream lines(kept);
  std::string line;
  std::vector<std::pair<const Field*, int>> chosen;
  while (std::getline(lines, line)) {
    const std::size_t blank = line.find(' ');
    const Field* field = blank == std::string::npos ? nullptr : FindField(line.substr(blank + 1));
    if (field && !field->is_name()) chosen.push_back({field, std::clamp(std::atoi(line.c_str()), 0, 2000)});
  }
  if (kept.empty()) {
    for (const char* label : kDefaultColumns) chosen.push_back({FindField(label), DefaultWidth(list, *FindField(label))});
  }
  for (const auto& [field, width] : chosen) {
    g.columns.push_back(field);
    AddColumn(list, kFixedColumns + static_cast<int>(g.columns.size()) - 1, field->label.c_str(), width);
  }
  BindListEvents(list);
}

void FillPlayerRows(HWND list, std::vector<PlayerEntry> rows, const RosterView& view) {
  g.view = &view;
  g.rows = std::move(rows);
  g.row_of.clear();
  for (std::size_t i = 0; i < g.rows.size(); ++i) g.row_of[g.rows[i].position] = i;
  g.fields = std::make_unique<ListedFields>(view, g.rows);
  g.sorted = FileOrder(g.rows.size());
  g.shown.clear();
  if (!g.rows.empty()) SizeNameColumns(list, g.rows);
  ShowRows(list, 0);
}

void ClearPlayerRows(HWND list) {
  g.shown.clear();
  g.rows.clear();
  g.row_of.clear();
  g.fields.reset();
  g.sorted.clear();
  ShowRows(list, 0);
}

std::vector<PlayerEntry> ListedRows(HWND) { return g.rows; }

void ForgetPlayerRows(HWND list) {
  if (IsWindow(list)) SaveColumns(list);
  g = ListModel{};
  ForgetBoldFont();
}

std::string PlayerCell(HWND list, int item, int column) { return ItemText(list, item, column); }

bool SelectPlayerRow(HWND list, std::uint32_t position) {
  const int item = ItemOf(position);
  if (item < 0) return false;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  SendMessageA(list, LVM_SETSELECTIONMARK, 0, item);
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
  return true;
}

void ShowSavedNames(HWND list, const SaveResult& saved) {
  const auto it = g.row_of.find(saved.position);
  if (!saved.saved || it == g.row_of.end()) return;
  g.rows[it->second].first_name = saved.first_name;
  g.rows[it->second].last_name = saved.last_name;
  if (g.fields) g.fields->Refresh(it->second);
  InvalidateRect(list, nullptr, FALSE);
}

void ShowSavedPlayers(HWND list, const std::vector<std::uint32_t>& positions) {
  for (std::uint32_t position : positions) {
    const auto it = g.row_of.find(position);
    if (it == g.row_of.end() || !g.view) continue;
    g.rows[it->second].first_name = ShownNameAt(*g.view, position + 4);
    g.rows[it->second].last_name = ShownNameAt(*g.view, position);
    if (g.fields) g.fields->Refresh(it->second);
  }
  InvalidateRect(list, nullptr, FALSE);
}

bool RereadPlayerRows(HWND list, const std::vector<PlayerEntry>& rows) {
  if (rows.size() != g.rows.size()) return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].position != g.rows[i].position) return false;
  }
  std::vector<std::uint32_t> selected;
  for (int item : SelectedItems(list)) selected.push_back(PositionAt(item));
  const auto focused = PositionAt(static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  const auto top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  g.rows = rows;
  if (g.fields) g.fields->Forget();
  ShowRows(list, focused);
  for (std::uint32_t position : selected) {
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED;
    if (const int item = ItemOf(position); item >= 0) SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  }
  // Back to the same top row: scrolled by whole rows.
  const auto now = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  if (now != top && SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) {
    SendMessageA(list, LVM_SCROLL, 0, (top - now) * (row.bottom - row.top));
  }
  return true;
}

const Field* FieldOfColumn(int column) {
  if (column == 0) return FieldAt(kVitalsTab, vitals::kFirstName);
  if (column == 1) return FieldAt(kVitalsTab, vitals::kLastName);
  const auto k = static_cast<std::size_t>(column - kFixedColumns);
  return column >= kFixedColumns && k < g.columns.size() ? g.columns[k] : nullptr;
}

std::uint32_t PositionAt(int item) {
  return item >= 0 && static_cast<std::size_t>(item) < g.shown.size() ? g.rows[g.shown[static_cast<std::size_t>(item)]].position : 0;
}

int ItemOf(std::uint32_t position) {
  for (std::size_t i = 0; i < g.shown.size(); ++i) {
    if (g.rows[g.shown[i]].position == position) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::uint32_t> ListedPositions() {
  std::vector<std::uint32_t> positions;
  positions.reserve(g.shown.size());
  for (std::size_t row : g.shown) positions.push_back(g.rows[row].position);
  return positions;
}

std::vector<std::uint32_t> FilePositions() {
  std::vector<std::uint32_t> positions;
  positions.reserve(g.rows.size());
  for (const PlayerEntry& row : g.rows) positions.push_back(row.position);
  return positions;
}

std::vector<int> SelectedItems(HWND list) {
  std::vector<int> items;
  for (int i = -1; (i = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;) {
    items.push_back(i);
  }
  return items;
}

std::vector<int> ShownColumns(HWND list) {
  std::vector<int> columns;
  for (int column : ColumnOrder(list)) {
    if (FieldOfColumn(column)) columns.push_back(column);
  }
  return columns;
}

bool CellEdited(int item, int column) {
  const Field* field = FieldOfColumn(column);
  return field && Editor().pending.Find(PositionAt(item), *field);
}

bool RowMarked(int item) { return Editor().pending.Edited(PositionAt(item)); }

void SortByListColumn(HWND list, int column, std::uint32_t keep) {
  const Field* field = FieldOfColumn(column);
  if (!field) return;
  const bool descending = NextSortOrder(g.sort, static_cast<int>(field - Fields().data())) == SortOrder::Descending;
  if (!g.fields) return;
  SortRows(g.sorted, *g.fields, *field, descending);
  ShowRows(list, keep);
}

std::string FilterPlayerRows(HWND list, const std::string& text, std::uint32_t keep) {
  FilterParse parse = ParseFilter(text);
  if (!parse.ok()) return parse.error;
  g.filter = std::move(parse.filter);
  ShowRows(list, keep);
  return {};
}

std::string Thousands(std::size_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

std::string ListedCountText() {
  return Thousands(g.shown.size()) + " of " + Thousands(g.rows.size()) + (g.rows.size() == 1 ? " player" : " players");
}

std::vector<const Field*> ShownFields(HWND list) {
  std::vector<const Field*> fields;
  for (int column : ColumnOrder(list)) {
    if (const Field* field = column >= kFixedColumns ? FieldOfColumn(column) : nullptr) fields.push_back(field);
  }
  return fields;
}

void ShowFields(HWND list, const std::vector<const Field*>& fields) {
  std::map<const Field*, int> widths;
  for (std::size_t k = 0; k < g.columns.size(); ++k) {
    const auto column = static_cast<WPARAM>(kFixedColumns + k);
    widths[g.columns[k]] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
  }
  for (auto k = g.columns.size(); k > 0; --k) SendMessageA(list, LVM_DELETECOLUMN, kFixedColumns + k - 1, 0);
  g.columns.clear();
  for (const Field* field : fields) {
    if (field->is_name()) continue;
    const auto kept = widths.find(field);
    g.columns.push_back(field);
    AddColumn(list, kFixedColumns + static_cast<int>(g.columns.size()) - 1, field->label.c_str(),
              kept != widths.end() ? kept->second : DefaultWidth(list, *field));
  }
  SaveColumns(list);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace rostrel
