// Another program's writes to the open roster, seen by the window. The roster
// is mapped, so its bytes change under the window when rostrel-cli or another
// window writes it. Twice a second, and whenever the window is activated, the
// window compares the file's size, its stored checksum (the first four bytes,
// which every write stores last) and its history's size with what it saw last;
// when they differ it reads the file again under the shared lock: the list's
// names, cells and count, the loaded player's boxes but those the user edited,
// and an open History dialog. The selection, the filter, the sort and the
// scroll position stay, and so do the edits not yet saved. A roster replaced
// by a file of another size, or by something that is no roster, is closed with
// a message; its edits are dropped, never written into the new file. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace rostrel {

constexpr UINT_PTR kWatchTimer = 0x5257;  // the main window's timer
constexpr UINT kWatchMilliseconds = 500;

// What the open roster holds now is what the window shows (after an open).
void RememberRosterState();
// Looks for another program's write and shows it; does nothing while it runs already.
void CheckRoster(HWND form);

}  // namespace rostrel
