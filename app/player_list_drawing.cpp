// How the player list draws its rows (edited cells bold until saved, an
// edited player's row with a 4-pixel orange mark at its left) and sizes its
// name columns. Win32 only.
#include "app/player_list_view.h"

#include "forms/handles.h"

namespace rostrel {

namespace {

OwnedFont g_bold;  // the list's font, bold: made at the first edited cell drawn

}  // namespace

INT_PTR DrawPlayerCell(HWND, int, NMHDR* header) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  const auto item = static_cast<int>(draw->nmcd.dwItemSpec);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return RowMarked(item) ? CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      HWND list = draw->nmcd.hdr.hwndFrom;
      if (!g_bold) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        g_bold.reset(CreateFontIndirectA(&font));
      }
      const bool bold = CellEdited(item, draw->iSubItem);
      SelectObject(draw->nmcd.hdc, bold ? g_bold.get() : reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
      return CDRF_NEWFONT;
    }
    case CDDS_ITEMPOSTPAINT: {
      RECT row{LVIR_BOUNDS, 0, 0, 0};
      SendMessageA(draw->nmcd.hdr.hwndFrom, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
      row.right = row.left + 4;
      const OwnedBrush mark(CreateSolidBrush(RGB(230, 120, 0)));
      FillRect(draw->nmcd.hdc, &row, mark.get());
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

void ForgetBoldFont() { g_bold.reset(); }

// The widest texts are found from the font's character widths.
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
  const std::string* widest[2] = {&rows[0].first_name, &rows[0].last_name};
  for (const PlayerEntry& row : rows) {
    if (width(row.first_name) > width(*widest[0])) widest[0] = &row.first_name;
    if (width(row.last_name) > width(*widest[1])) widest[1] = &row.last_name;
  }
  // The list's own autosize adds 12 pixels of margin to the text.
  for (int column : {0, 1}) {
    const auto text = reinterpret_cast<LPARAM>(widest[column]->c_str());
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, text) + 12);
  }
}

}  // namespace rostrel
