#include "app/columns_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "app/player_list_view.h"
#include "forms/event_routing.h"
#include "forms/form_engine.h"

namespace rostrel {

namespace {

enum ColumnsControl : int { kFieldList = 100, kOk = 101, kCancel = 102 };

HWND g_main = nullptr;

// The fields a user can choose: every field but the two names, which are always shown.
std::vector<const Field*> Choosable() {
  std::vector<const Field*> fields;
  for (const Field& f : Fields()) {
    if (!f.is_name()) fields.push_back(&f);
  }
  return fields;
}

// The shown fields that stay chosen, in their order, then the newly chosen ones in page order.
std::vector<const Field*> Chosen(const std::vector<const Field*>& shown, const std::vector<const Field*>& checked) {
  std::vector<const Field*> fields;
  for (const Field* f : shown) {
    if (std::find(checked.begin(), checked.end(), f) != checked.end()) fields.push_back(f);
  }
  for (const Field* f : checked) {
    if (std::find(fields.begin(), fields.end(), f) == fields.end()) fields.push_back(f);
  }
  return fields;
}

HWND MainList() { return GetDlgItem(g_main, kPlayerList); }

void FillFieldList(HWND list) {
  const char* titles[] = {"Page", "Field"};
  const int widths[] = {90, 180};
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(titles[c]);
    column.cx = widths[c];
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
  const std::vector<const Field*> shown = ShownFields(MainList());
  const std::vector<const Field*> fields = Choosable();
  for (std::size_t k = 0; k < fields.size(); ++k) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(k);
    item.pszText = const_cast<char*>(PageName(fields[k]->tab));
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(fields[k]->label.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, k, reinterpret_cast<LPARAM>(&item));
    const bool checked = std::find(shown.begin(), shown.end(), fields[k]) != shown.end();
    LVITEMA state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, k, reinterpret_cast<LPARAM>(&state));
  }
}

INT_PTR CALLBACK ColumnsFormProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG && !GetPropA(dialog, "VD_INITDLG")) {
    SetPropA(dialog, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
    FillFieldList(GetDlgItem(dialog, kFieldList));
  }
  if (message == WM_CLOSE) DestroyWindow(dialog);
  return 0;
}

enum : UINT { kMenuColumns = 1, kMenuFirstField = 100 };

INT_PTR HeaderRightClick(HWND, int, NMHDR* header) {
  POINT at{};
  GetCursorPos(&at);
  ShowColumnMenu(GetAncestor(header->hwndFrom, GA_ROOT), at);
  return TRUE;
}

}  // namespace

INT_PTR ChooseColumnsHandler(HWND form, int) {
  HWND dialog = CreateForm("COLUMNS", form, 0);
  if (!dialog) return 0;
  g_main = form;
  ShowFormAndWait(dialog, form);
  g_main = nullptr;
  return 0;
}

INT_PTR ColumnsButtonHandler(HWND dialog, int id) {
  if (id == kOk && g_main) {
    HWND list = GetDlgItem(dialog, kFieldList);
    const std::vector<const Field*> fields = Choosable();
    std::vector<const Field*> checked;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const auto state = SendMessageA(list, LVM_GETITEMSTATE, k, LVIS_STATEIMAGEMASK);
      if ((state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)) checked.push_back(fields[k]);
    }
    ShowFields(MainList(), Chosen(ShownFields(MainList()), checked));
  }
  DestroyWindow(dialog);
  return 0;
}

void ShowColumnMenu(HWND form, POINT at) {
  HWND list = GetDlgItem(form, kPlayerList);
  const std::vector<const Field*> shown = ShownFields(list);
  const std::vector<const Field*> fields = Choosable();
  HMENU menu = CreatePopupMenu();
  HMENU pages[3] = {CreatePopupMenu(), CreatePopupMenu(), CreatePopupMenu()};
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const bool checked = std::find(shown.begin(), shown.end(), fields[k]) != shown.end();
    AppendMenuA(pages[fields[k]->tab], MF_STRING | (checked ? MF_CHECKED : 0), kMenuFirstField + k,
                fields[k]->label.c_str());
  }
  for (int tab = 0; tab < 3; ++tab) AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(pages[tab]), PageName(tab));
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kMenuColumns, L"Columns\u2026");
  // A menu of a window that is not in the foreground would take no keys.
  SetForegroundWindow(form);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, form, nullptr));
  DestroyMenu(menu);  // and its submenus
  if (chosen == kMenuColumns) {
    ChooseColumnsHandler(form, 0);
  } else if (chosen >= kMenuFirstField && chosen - kMenuFirstField < fields.size()) {
    const Field* field = fields[chosen - kMenuFirstField];
    std::vector<const Field*> now = shown;
    const auto it = std::find(now.begin(), now.end(), field);
    if (it != now.end()) now.erase(it);
    else now.push_back(field);
    ShowFields(list, now);
  }
}

void BindColumnMenu(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  BindEvent(header, WM_NOTIFY, NM_RCLICK, OnNotify(HeaderRightClick));
}

void RegisterColumnsDialog() { SetFormProcedure("COLUMNS", ColumnsFormProc); }

}  // namespace rostrel
