// The History dialog: the writes kept beside the open roster, newest first,
// with Undo, Redo, Restore (undo every write down to the selected one) and
// Close; and the undo and redo the main window's Ctrl+Z and Ctrl+Y ask for.
// Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <optional>

#include "player/write_history.h"

namespace rostrel {

// The window's history limit: HKCU\Software\Rostrel, HistoryLimitMB (a
// DWORD of megabytes), else 64 MB.
std::uint64_t HistoryLimit();

// Undoes (down to a write) or redoes in the main window's open roster, after
// the question about unsaved edits and a Yes/No naming how many players and
// fields change; afterwards the list and the pages show what the file holds.
// True when it was done.
bool UndoFromWindow(HWND form, UndoKind kind, std::optional<std::uint32_t> down_to);

// An open History dialog lists the writes again, as the history now holds them.
void RefreshHistoryDialog();

// The bound handlers: the main window's History button, the dialog's buttons.
INT_PTR ShowHistoryHandler(HWND form, int id);
INT_PTR HistoryButtonHandler(HWND dialog, int id);

void RegisterHistoryDialog();

}  // namespace rostrel
