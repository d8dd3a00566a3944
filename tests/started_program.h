// A program started as a user starts it, and its first visible top-level
// window whose caption begins with a given text. Still running when this goes
// out of scope, it is ended.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace rostrel::test {

class StartedProgram {
 public:
  // arguments: the command line after the program's quoted path.
  StartedProgram(const std::string& program, const std::string& arguments, const std::string& caption) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    started_ = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_) != 0;
    if (!started_) {
      error_ = GetLastError();
      return;
    }
    // A cold start of Wine's other loader can take many seconds: the window
    // is looked for until it is there, or the program ended, or 60 s passed.
    WaitForInputIdle(info_.hProcess, 60000);
    Search search{info_.dwProcessId, caption, nullptr};
    const DWORD start = GetTickCount();
    for (;;) {
      EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
      if (search.found || GetTickCount() - start > 60000) break;
      if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    window_ = search.found;
  }
  ~StartedProgram() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool started() const { return started_; }
  DWORD error() const { return error_; }  // why CreateProcessA failed
  HWND window() const { return window_; }

  // Posts message to the window and waits for the program's end: its exit
  // code, or -1 when it does not end within 15 s.
  long CloseWith(UINT message, WPARAM wparam) {
    PostMessageA(window_, message, wparam, 0);
    if (WaitForSingleObject(info_.hProcess, 15000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  struct Search {
    DWORD process;
    const std::string& caption;
    HWND found;
  };
  static BOOL CALLBACK FindWindowOf(HWND window, LPARAM address) {
    auto* search = reinterpret_cast<Search*>(address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search->process && IsWindowVisible(window) &&
        std::string(caption).compare(0, search->caption.size(), search->caption) == 0) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  bool started_ = false;
  DWORD error_ = 0;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

}  // namespace rostrel::test
