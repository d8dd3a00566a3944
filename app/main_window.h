// The main window FORM1: its dialog procedure, the handlers its controls are
// bound to, and the one roster file the editor works on. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "player/pending_edits.h"
#include "player/player_cycle.h"
#include "roster/roster_file.h"

namespace rostrel {

constexpr const char* kBaseCaption = "Rostrel V0.3b - by the Rostrel developers";
constexpr const char* kMessageCaption = "Rostrel";

enum MainControl : int {
  kOpenButton = 100,
  kPlayerList = 101,
  kSearchBox = 103,
  kSaveButton = 105,
  kReadButton = 106,
  kCloseButton = 107,
  kVerse = 108,
  kHistoryButton = 109,
  kFilterLabel = 110,
  kFilterBox = 111,
  kListedCount = 112,
  kColumnsButton = 113,
  kSetButton = 114,
};

// What the editor holds while it runs: the remembered path, the open file,
// the player shown in the pages and the edits of every player not yet saved.
struct EditorState {
  std::string path;
  RosterView view;
  LoadedPlayer player;
  SearchStart search;
  PendingEdits pending;
};
EditorState& Editor();

// Registers the form procedures and the handlers of FORM1's bindings.
void RegisterMainWindow();
// Every binding of the four forms checked against its handler's kind: the
// empty text when all agree, else what does not.
std::string CheckMainWindowBindings();

// The program's message boxes: OK only, no icon, task-modal, no owner. The
// text is UTF-8, as the program's paths are.
void ShowMessage(const char* text);
// Asks with the buttons given (MB_YESNO, MB_YESNOCANCEL, MB_RETRYCANCEL),
// task-modal like the program's other messages; the button pressed.
int Ask(const std::string& text, UINT buttons);
// "First Last" of the player at position, with his edits.
std::string PlayerName(std::uint32_t position);
// Puts the focus into a box of a page, its text selected, showing the page first.
void FocusBox(HWND form, int tab, int id);
// The caption: the program's name, and the open file's name when there is one.
void ShowFileInCaption(HWND form, const std::string& path);

INT_PTR CALLBACK MainFormProc(HWND form, UINT message, WPARAM wparam, LPARAM lparam);

// The bound handlers.
INT_PTR ChooseRosterFile(HWND form, int id);
INT_PTR ReadRosterFile(HWND form, int id);
INT_PTR CloseRosterFile(HWND form, int id);
// Closes the roster, asking nothing: edits not saved are dropped
// (app/file_commands.cpp, with Open, Read and Close).
void CloseWithoutSaving(HWND form);
// Unmaps the open roster and forgets the loaded player and every edit.
void ReleaseRosterFile();
// The player whose row stays selected through sorts and filters: the loaded one.
std::uint32_t KeptPlayer();
// "312 of 1,204 players" under the filter.
void ShowListedCount(HWND form);
// The tooltip that says why a filter cannot be read (app/search_boxes.cpp,
// with the Filter: and search boxes' handlers), made and destroyed with the window.
void MakeFilterTip(HWND form);
void DestroyFilterTip();
INT_PTR SavePlayerHandler(HWND form, int id);
INT_PTR LoadPlayerHandler(HWND form, int id, NMHDR* header);
INT_PTR OnColumnClick(HWND form, int id, NMHDR* header);
INT_PTR ListKey(HWND form, int id, WPARAM* key, LPARAM key_lparam);
INT_PTR OnSearchKey(HWND form, int id, WPARAM* key, LPARAM key_lparam);
INT_PTR OnSearchChar(HWND form, int id, WPARAM* key, LPARAM key_lparam);
INT_PTR FilterChanged(HWND form, int id);
INT_PTR FilterKey(HWND form, int id, WPARAM* key, LPARAM key_lparam);

// Before the file is left or written otherwise (Open, a drop, Close, closing
// the window, an undo of a write): every player's unsaved edits are saved or
// dropped as the user says. False when the action must not go ahead.
bool MayLeavePlayer(HWND form);
// Writes every player's edits as one save (app/save_edits.cpp), after the
// check of fields another program changed since they were edited and of texts
// the file would not hold as typed; true when the file now holds them.
bool SaveEdits(HWND form);
// The loaded player's boxes kept as his edits.
void NoteLoadedPlayer(HWND form);
// The loaded player's pages again: what the file holds, with his edits.
void ShowLoadedPlayer(HWND form);
// Loads the player at position into the pages, with his edits.
void ShowPlayer(HWND form, std::uint32_t position);

// Reads paths (full names in UTF-8, joined by "|") as a drop of those files
// is read: one as Open reads it, several not at all.
void ReadPaths(HWND form, const std::string& paths);
// The paths on the program's command line (Open with..., a drop on the
// program's icon, a shortcut, a script), read as wide text and made full,
// read as ReadPaths does.
void ReadCommandLinePaths(HWND form);
// Asks the main window to read the command line's paths (ReadCommandLinePaths).
constexpr UINT kReadCommandLineMessage = WM_APP + 3;
// The dropped files' full names, in UTF-8, joined by "|"; finishes the drop.
std::string CollectDroppedFiles(HDROP drop);
// The file-system path of a special folder in UTF-8, or the empty text.
std::string SpecialFolderPath(int csidl);
// The 1-based number of the first selected row, 0 for none.
int GetSelectedRow(HWND form, int list_id);

}  // namespace rostrel
