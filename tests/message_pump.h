// The thread's messages run as the editor's own loop runs them, for the tests
// that drive real windows: for a while (what a user's pause would let happen),
// or until a state the test needs holds. A test that reads a window waits for
// the state it reads, never for a time: a busy machine, or Wine's slower
// 32-bit start, may take far longer than usual to get there.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace rostrel::test {

// Handles every message now queued for the thread.
inline void PumpQueued() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root || !IsDialogMessageA(root, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// Runs the thread's messages for the given time.
inline void Pump(DWORD milliseconds = 60) {
  const DWORD start = GetTickCount();
  do {
    PumpQueued();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

// Runs the thread's messages until done() holds, or at most timeout
// milliseconds; whether it holds.
template <typename Done>
bool PumpUntil(Done done, DWORD timeout = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpQueued();
    if (done()) return true;
    if (GetTickCount() - start >= timeout) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace rostrel::test
