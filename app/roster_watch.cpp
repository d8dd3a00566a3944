#include "app/roster_watch.h"

#include <cstdint>

#include "app/history_dialog.h"
#include "app/main_window.h"
#include "app/player_list_view.h"
#include "pages/form_table.h"
#include "player/memory_pages.h"
#include "roster/history.h"
#include "roster/write_lock.h"

namespace rostrel {

namespace {

struct Seen {
  std::string path;
  std::uint64_t size = 0;
  std::uint32_t checksum = 0;
  std::uint64_t history_size = 0;
  bool operator==(const Seen&) const = default;
};
Seen g_seen;
bool g_checking = false;

// Only the size is asked of the file system: the checksum is read from the
// view only when the file is still as long as the view.
std::optional<Seen> SeenNow() {
  const RosterView& view = Editor().view;
  Seen now;
  now.path = view.path;
  now.size = GetFileSizeByName(view.path).value_or(view.size);  // a file gone for a moment is no other file
  if (now.size != view.size) return std::nullopt;
  for (int i = 3; i >= 0; --i) now.checksum = (now.checksum << 8) | view.base[i];
  now.history_size = GetFileSizeByName(HistoryPathFor(view.path)).value_or(0);
  return now;
}

// The loaded player's boxes again, if the file changed him: those the user
// edited keep his text.
void ShowLoadedPlayerIfChanged(HWND form) {
  EditorState& editor = Editor();
  if (!editor.player.loaded) return;
  MemoryPages fresh;
  LoadedPlayer again;
  if (!LoadPlayer(editor.view, editor.player.position, fresh, again)) return;
  const LoadedState &was = editor.player.state, &now = again.state;
  if (was.texts == now.texts && was.items == now.items && was.iff_check == now.iff_check) return;
  NoteLoadedPlayer(form);
  ShowLoadedPlayer(form);
}

void CloseReplaced(HWND form, const std::string& why) {
  const std::string name = FileNameOf(Editor().view.path);
  Editor().pending.Clear();  // never written into the new file
  CloseWithoutSaving(form);
  ShowMessage((name + " " + why + ", so it was closed. Edits that were not saved are lost.").c_str());
}

}  // namespace

void RememberRosterState() {
  const std::optional<Seen> now = IsOpen(Editor().view) ? SeenNow() : Seen{};
  if (now) g_seen = *now;
}

void CheckRoster(HWND form) {
  if (g_checking) return;
  g_checking = true;
  struct Done {
    ~Done() { g_checking = false; }
  } done;
  if (!IsOpen(Editor().view)) {
    g_seen = Seen{};
    return;
  }
  const std::optional<Seen> now = SeenNow();
  if (!now) return CloseReplaced(form, "was replaced by a file of another size");
  if (*now == g_seen) return;
  const bool history_only = now->path == g_seen.path && now->checksum == g_seen.checksum;
  if (!history_only) {
    EditorState& editor = Editor();
    const ReadLock read = LockForReading(editor.view.path, std::chrono::milliseconds(0));
    if (read.busy()) return;  // being written: the next look sees the whole write
    const std::optional<std::uint32_t> header = HeaderOffsetFor(editor.view.path);
    ListReport report;
    const std::vector<PlayerEntry> rows = FillPlayerList(editor.view.path, header.value_or(0), &report);
    HWND list = GetDlgItem(form, kPlayerList);
    if (!header || report.unreadable || rows.empty() || !RereadPlayerRows(list, rows)) {
      return CloseReplaced(form, "was replaced by something that is not the same roster");
    }
    ShowListedCount(form);
    ShowLoadedPlayerIfChanged(form);
  }
  RefreshHistoryDialog();
  RememberRosterState();
}

}  // namespace rostrel
