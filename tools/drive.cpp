// Drives a running Rostrel window from outside, as a user would, so that a
// screenshot can show a roster loaded:
//   rostrel_drive open FILE   click Open, type FILE into the file dialog, press
//                             Enter, wait for the players, click the first row
//   rostrel_drive close       close the editor's window
// Exit code 0 when every step was seen to take effect.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Found {
  const char* prefix;
  HWND window;
};

BOOL CALLBACK ByCaption(HWND window, LPARAM found_address) {
  auto* found = reinterpret_cast<Found*>(found_address);
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (IsWindowVisible(window) && std::strncmp(caption, found->prefix, std::strlen(found->prefix)) == 0) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible top-level window whose caption starts with prefix.
HWND WaitForWindow(const char* prefix, int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    Found found{prefix, nullptr};
    EnumWindows(ByCaption, reinterpret_cast<LPARAM>(&found));
    if (found.window) return found.window;
    Sleep(50);
  }
  return nullptr;
}

void ClickScreen(int x, int y) {
  SetCursorPos(x, y);
  Sleep(100);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  Sleep(300);
}

int Open(const char* file) {
  HWND editor = WaitForWindow("Rostrel V0.3b", 30);
  if (!editor) {
    std::fprintf(stderr, "no editor window\n");
    return 1;
  }
  PostMessageA(GetDlgItem(editor, 100), BM_CLICK, 0, 0);
  HWND dialog = WaitForWindow("Choose A File", 30);
  if (!dialog) {
    std::fprintf(stderr, "no file dialog\n");
    return 1;
  }
  Sleep(500);
  // The file name box: a combo box in newer dialogs, an edit box in older ones.
  HWND name = GetDlgItem(dialog, 0x47C);
  if (!name) name = GetDlgItem(dialog, 0x480);
  SetWindowTextA(name, file);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  HWND list = GetDlgItem(editor, 101);
  for (int i = 0; i < 200 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0; ++i) Sleep(50);
  if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0) {
    std::fprintf(stderr, "no players listed\n");
    return 1;
  }
  // The first row lies just below the list's header.
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
  SetForegroundWindow(editor);
  ClickScreen(header.left + 20, header.bottom + 7);
  if (SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) < 0) {
    std::fprintf(stderr, "the first row could not be clicked\n");
    return 1;
  }
  // Where the window is, for cropping a screenshot: x y width height.
  RECT frame{};
  GetWindowRect(editor, &frame);
  std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
  return 0;
}

int Close() {
  HWND editor = WaitForWindow("Rostrel V0.3b", 5);
  if (!editor) return 1;
  PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "open") == 0) return Open(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "close") == 0) return Close();
  std::fprintf(stderr, "usage: rostrel_drive open FILE | close\n");
  return 2;
}
