// The three editor pages over the real controls of FORM1's tab pages, and
// their dialog procedures. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "player/pages.h"

namespace rostrel {

constexpr int kTabControlId = 104;

// The page window of tab item index of the form's tab control, or none.
HWND FindPage(HWND form, int tab);

// Every call finds the page and the control afresh; a control that is not
// there reads as empty and takes nothing.
class WindowPages : public EditorPages {
 public:
  explicit WindowPages(HWND form) : form_(form) {}
  std::string GetFieldText(int tab, int id) const override;
  void SetFieldText(int tab, int id, std::string_view text) override;
  void SetFieldLimit(int tab, int id, std::uint32_t limit) override;
  std::uint32_t GetFieldLimit(int tab, int id) const override;
  std::uint32_t GetRemembered(int tab, int id) const override;
  void SetRemembered(int tab, int id, std::uint32_t value) override;
  void SetComboIndex(int tab, int id, int item) override;
  int GetComboIndex(int tab, int id) const override;
  void SetCheck(int tab, int id, std::uint32_t v) override;
  std::uint32_t GetCheck(int tab, int id) const override;

 private:
  HWND Control(int tab, int id) const;
  HWND form_;
};

// The pages' dialog procedures: the once-only initialisation (VITALS fills
// its drop-down lists), nothing else.
// Called when the user changes a box, a drop-down list or the check box of a page.
using PageEditHandler = void (*)(HWND page, int id);
void SetPageEditHandler(PageEditHandler handler);

INT_PTR CALLBACK VitalsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK AttributesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK TendenciesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace rostrel
