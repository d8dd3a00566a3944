// rostrel.exe itself, started as a user starts it: its window, its instance
// mutex, two copies side by side, and the exit when the window is closed.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/program_path.h"

#include <commctrl.h>

#include <string>

#include "app/main_window.h"

namespace rostrel {
namespace {

std::string ProgramPath() { return test::BuiltProgram("rostrel.exe"); }

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM search_address) {
  auto* search = reinterpret_cast<Search*>(search_address);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (owner == search->process && IsWindowVisible(window) && std::string(caption) == kBaseCaption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

class Started {
 public:
  explicit Started(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // A path on the command line opens nothing: the program takes no arguments.
    std::string line = "\"" + program + "\" C:\\roster.ROS";
    ok_ = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
    if (!ok_) return;
    WaitForInputIdle(info_.hProcess, 10000);
    for (int i = 0; i < 200 && !window_; ++i) {
      Search search{info_.dwProcessId, nullptr};
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
      window_ = search.found;
      if (!window_) Sleep(50);
    }
  }
  ~Started() {
    if (!ok_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  HWND window() const { return window_; }
  // Closes the window as its close button does; the exit code, or -1.
  long Close() {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(info_.hProcess, 15000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  bool ok_ = false;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

TEST(Program, TwoCopiesRunWithNoFileAndExitWhenClosed) {
  const std::string program = ProgramPath();
  ASSERT_NE(GetFileAttributesA(program.c_str()), INVALID_FILE_ATTRIBUTES) << program;
  HICON large = nullptr, small = nullptr;
  EXPECT_EQ(ExtractIconExA(program.c_str(), -1, nullptr, nullptr, 0), 1u);  // the program carries one icon
  ExtractIconExA(program.c_str(), 0, &large, &small, 1);
  EXPECT_NE(large, nullptr);
  EXPECT_NE(small, nullptr);
  if (large) DestroyIcon(large);
  if (small) DestroyIcon(small);
  Started first(program);
  ASSERT_NE(first.window(), nullptr);
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VDAPP_rostrel.exe");
  EXPECT_NE(mutex, nullptr);
  if (mutex) CloseHandle(mutex);

  Started second(program);
  ASSERT_NE(second.window(), nullptr);
  EXPECT_NE(second.window(), first.window());

  for (HWND window : {first.window(), second.window()}) {
    EXPECT_EQ(SendMessageA(GetDlgItem(window, kPlayerList), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, kSaveButton)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, kPlayerList)));
  }
  EXPECT_EQ(second.Close(), 0);
  EXPECT_TRUE(IsWindow(first.window()));
  EXPECT_EQ(first.Close(), 0);
}

}  // namespace
}  // namespace rostrel
