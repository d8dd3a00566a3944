// The main window's file commands: Open with its dialog, Read (run by Open,
// by a drop and by the command line), Close, the dropped files' names, and
// the release of the open roster. Win32 only.
#include "app/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/player_list_view.h"
#include "app/roster_watch.h"
#include "forms/form_engine.h"
#include "forms/system_helpers.h"
#include "forms/window_data.h"
#include "player/player_list.h"
#include "roster/journal.h"
#include "roster/wide_text.h"
#include "roster/write_lock.h"

namespace rostrel {

namespace {

HWND List(HWND form) { return GetDlgItem(form, kPlayerList); }

}  // namespace

void ReleaseRosterFile() {
  CloseRosterView(Editor().view);
  Editor().player = LoadedPlayer{};
  Editor().pending.Clear();
}

void ReadPaths(HWND form, const std::string& paths) {
  Editor().path = paths;
  // Several files at once read nothing.
  if (paths.find('|') == std::string::npos) ReadRosterFile(form, kReadButton);
}

void ReadCommandLinePaths(HWND form) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string paths;
  for (int i = 1; arguments && i < count; ++i) {
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(arguments[i], static_cast<DWORD>(full.size()), full.data(), nullptr);
    full.resize(n > 0 && n < 32768 ? n : 0);
    paths += (paths.empty() ? "" : "|") + Utf8FromWide(full.empty() ? std::wstring(arguments[i]) : full);
  }
  if (arguments) LocalFree(arguments);
  if (!paths.empty()) ReadPaths(form, paths);
}

std::string CollectDroppedFiles(HDROP drop) {
  std::string names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(length);
    names += Utf8FromWide(name) + "|";
  }
  DragFinish(drop);
  while (!names.empty() && names.back() == '|') names.pop_back();
  return names;
}

INT_PTR ChooseRosterFile(HWND form, int) {
  wchar_t file[MAX_PATH] = {};
  const std::wstring folder = WideFromUtf8(SpecialFolderPath(CSIDL_APPDATA) + "\\2K Sports\\NBA 2K9\\Saves");
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = form;
  dialog.lpstrFilter = L"FXG OR ROS FILE\0*.FXG;*.ROS\0ALL TYPE(*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = L"Choose A File";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  // A cancelled dialog changes nothing: an open file stays open and listed.
  if (!GetOpenFileNameW(&dialog) || file[0] == L'\0') return 0;
  Editor().path = Utf8FromWide(file);
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
  if (!MayLeavePlayer(form)) {
    if (IsOpen(editor.view)) editor.path = editor.view.path;
    return 0;
  }
  // An interrupted write of the file is completed first. A journal that does
  // not match the file, or a completion that fails, refuses the Read: the
  // file is not opened, so nothing is written beside that journal. The file
  // is read whole, under the shared lock: never half another program's write.
  const ReadLock read = LockForReading(editor.path, LockWait());
  const RecoveryReport& recovery = read.recovery;
  if (read.busy() || recovery.what == Recovery::Mismatch || recovery.what == Recovery::Failed) {
    ShowMessage(read.busy() ? (FileNameOf(editor.path) + " is being written by another program. Try again.").c_str()
                            : recovery.message.c_str());
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
  ReleaseRosterFile();
  ClearPlayerRows(List(form));
  ShowListedCount(form);
  editor.search = SearchStart{};
  EnableControl(form, kSaveButton, false);
  MoveRosterView(editor.view, next);
  if (rows.empty()) {
    ShowFileInCaption(form, "");  // nobody to edit: the caption names no file
    return 0;
  }
  FillPlayerRows(List(form), std::move(rows), editor.view);
  ShowListedCount(form);
  RememberRosterState();
  EnableControl(form, kSaveButton, true);
  ShowFileInCaption(form, editor.path);
  return 0;
}

INT_PTR CloseRosterFile(HWND form, int) {
  if (MayLeavePlayer(form)) CloseWithoutSaving(form);
  return 0;
}

void CloseWithoutSaving(HWND form) {
  EditorState& editor = Editor();
  editor.path.clear();
  editor.search = SearchStart{};
  ClearPlayerRows(List(form));
  ShowListedCount(form);
  EnableControl(form, kSaveButton, false);
  ShowFileInCaption(form, "");
  ReleaseRosterFile();
}

}  // namespace rostrel
