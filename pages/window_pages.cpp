#include "pages/window_pages.h"

#include <commctrl.h>

#include "forms/form_engine.h"
#include "player/vitals_table.h"

namespace rostrel {

namespace {

// Each control's remembered 32-bit value, and the mark of a box that takes no
// text (an edit box's limit of 0 would mean no limit at all).
constexpr const char* kRememberedProp = "VD_REMEMBERED";
constexpr const char* kNoTextProp = "VD_NOTEXT";

bool InitialiseOnce(HWND page) {
  if (GetPropA(page, "VD_INITDLG")) return false;
  SetPropA(page, "VD_INITDLG", reinterpret_cast<HANDLE>(1));
  return true;
}

}  // namespace

HWND FindPage(HWND form, int tab) { return FindPageOfTab(GetDlgItem(form, kTabControlId), tab); }

HWND WindowPages::Control(int tab, int id) const {
  HWND page = FindPage(form_, tab);
  return page ? GetDlgItem(page, id) : nullptr;
}

std::string WindowPages::GetFieldText(int tab, int id) const {
  HWND control = Control(tab, id);
  if (!control) return {};
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

void WindowPages::SetFieldText(int tab, int id, std::string_view text) {
  if (HWND control = Control(tab, id)) SetWindowTextA(control, std::string(text).c_str());
}

void WindowPages::SetFieldLimit(int tab, int id, std::uint32_t limit) {
  HWND control = Control(tab, id);
  if (!control) return;
  if (limit == 0) {
    SetPropA(control, kNoTextProp, reinterpret_cast<HANDLE>(1));
    SendMessageA(control, EM_SETREADONLY, TRUE, 0);
    SendMessageA(control, EM_LIMITTEXT, 1, 0);
    return;
  }
  if (RemovePropA(control, kNoTextProp)) SendMessageA(control, EM_SETREADONLY, FALSE, 0);
  SendMessageA(control, EM_LIMITTEXT, limit, 0);
}

std::uint32_t WindowPages::GetFieldLimit(int tab, int id) const {
  HWND control = Control(tab, id);
  if (!control || GetPropA(control, kNoTextProp)) return 0;
  return static_cast<std::uint32_t>(SendMessageA(control, EM_GETLIMITTEXT, 0, 0));
}

std::uint32_t WindowPages::GetRemembered(int tab, int id) const {
  HWND control = Control(tab, id);
  return control ? static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetPropA(control, kRememberedProp)))
                 : 0;
}

void WindowPages::SetRemembered(int tab, int id, std::uint32_t value) {
  HWND control = Control(tab, id);
  if (!control) return;
  if (value == 0) RemovePropA(control, kRememberedProp);
  else SetPropA(control, kRememberedProp, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value)));
}

// An item that is not in the list selects nothing. Windows clears the
// selection for any index past the last item; Wine keeps the previous one, so
// the index -1 is sent for every such item. Wine also keeps the list's caret
// on the item selected before, and the first key pressed in a list without a
// selection picks the caret's item: the caret is put on the first item, by
// selecting it, before the selection is cleared.
void WindowPages::SetComboIndex(int tab, int id, int item) {
  HWND control = Control(tab, id);
  if (!control) return;
  const auto count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
  if (item >= 1 && item <= count) {
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(item - 1), 0);
    return;
  }
  if (count > 0) SendMessageA(control, CB_SETCURSEL, 0, 0);
  SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int WindowPages::GetComboIndex(int tab, int id) const {
  HWND control = Control(tab, id);
  return control ? static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0)) + 1 : 0;
}

void WindowPages::SetCheck(int tab, int id, std::uint32_t v) {
  if (HWND control = Control(tab, id)) SendMessageA(control, BM_SETCHECK, v == 4 ? BST_UNCHECKED : BST_CHECKED, 0);
}

std::uint32_t WindowPages::GetCheck(int tab, int id) const {
  HWND control = Control(tab, id);
  return control && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

namespace {

PageEditHandler g_page_edited = nullptr;

void NotePageEdit(HWND page, UINT message, WPARAM wparam) {
  const WORD code = HIWORD(wparam);
  if (message == WM_COMMAND && g_page_edited && (code == EN_CHANGE || code == CBN_SELCHANGE || code == BN_CLICKED)) {
    g_page_edited(page, LOWORD(wparam));
  }
}

}  // namespace

void SetPageEditHandler(PageEditHandler handler) { g_page_edited = handler; }

INT_PTR CALLBACK VitalsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
  NotePageEdit(page, message, wparam);
  if (message == WM_INITDIALOG && InitialiseOnce(page)) {
    for (const VitalsField& f : VitalsFields()) {
      if (!f.list) continue;
      HWND list = GetDlgItem(page, f.control);
      for (const char* item : f.list->items()) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
  }
  return 0;
}

INT_PTR CALLBACK AttributesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
  NotePageEdit(page, message, wparam);
  if (message == WM_INITDIALOG) InitialiseOnce(page);
  return 0;
}

INT_PTR CALLBACK TendenciesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
  NotePageEdit(page, message, wparam);
  if (message == WM_INITDIALOG) InitialiseOnce(page);
  return 0;
}

}  // namespace rostrel
