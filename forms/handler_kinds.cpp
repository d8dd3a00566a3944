// The handlers the form table names, by ID, and the check of every binding of
// the table against the kind of handler it names.
#include "forms/event_routing.h"

#include <iterator>

namespace rostrel {

namespace {

constexpr std::size_t kMostHandlers = 256;
EventHandler g_handlers[kMostHandlers] = {};

}  // namespace

void SetEventHandler(int number, EventHandler handler) {
  if (number > 0 && static_cast<std::size_t>(number) < std::size(g_handlers)) g_handlers[number] = handler;
}
EventHandler HandlerFor(int number) {
  return number > 0 && static_cast<std::size_t>(number) < std::size(g_handlers) ? g_handlers[number] : EventHandler{};
}

HandlerKind KindForBinding(UINT message, int code) {
  switch (message) {
    case WM_COMMAND: case WM_DESTROY: case WM_CUT: case WM_COPY: case WM_PASTE: return HandlerKind::Command;
    case WM_NOTIFY: return HandlerKind::Notify;
    case WM_GETDLGCODE: return code != 0 ? HandlerKind::Key : HandlerKind::DialogCode;
    case WM_SIZE: return HandlerKind::Size;
    case WM_SETFOCUS: case WM_KILLFOCUS: return HandlerKind::Focus;
    case WM_ENABLE: return HandlerKind::Enable;
    case WM_COPYDATA: return HandlerKind::CopyData;
    case WM_MOUSEACTIVATE: return HandlerKind::MouseActivate;
    case WM_SETCURSOR: return HandlerKind::Cursor;
    case WM_HSCROLL: case WM_VSCROLL: return HandlerKind::Scroll;
    case WM_PAINT: return HandlerKind::Paint;
    case WM_DRAWITEM: case WM_MEASUREITEM: return HandlerKind::Item;
    case WM_CONTEXTMENU: return HandlerKind::ContextMenu;
    default: return HandlerKind::None;
  }
}

std::string CheckTableBindings(const std::vector<std::string>& forms) {
  std::string problems;
  for (const std::string& form : forms) {
    ControlDef control;
    for (int id = 100; FindControlDef(form, id, control); ++id) {
      for (const EventBinding& e : control.Events) {
        if (e.Message == 0) break;
        const HandlerKind wanted = KindForBinding(e.Message, e.Code);
        const EventHandler set = HandlerFor(e.Handler);
        if (set.kind() == wanted) continue;
        problems += form + " control " + std::to_string(id) + ": message " + std::to_string(e.Message) + " code " +
                    std::to_string(e.Code) + " names handler " + std::to_string(e.Handler) +
                    (set ? ", which is of another kind" : ", which is not set") + "\n";
      }
    }
  }
  return problems;
}

}  // namespace rostrel
