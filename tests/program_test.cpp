// rostrel.exe itself, started as a user starts it: its window, its instance
// mutex, two copies side by side, and the exit when the window is closed.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/program_path.h"
#include "tests/roster_builder.h"
#include "tests/started_program.h"

#include <commctrl.h>

#include <string>

#include "app/main_window.h"

namespace rostrel {
namespace {

std::string ProgramPath() { return test::BuiltProgram("rostrel.exe"); }

// rostrel.exe as started from Explorer: by default with a roster that is not
// there, which opens nothing and says nothing, as Open does.
class Started : public test::StartedProgram {
 public:
  explicit Started(const std::string& program, const std::string& arguments = "C:\\roster.ROS",
                   const std::string& caption = kBaseCaption)
      : StartedProgram(program, arguments, caption) {}
  // Closes the window as its close button does; the exit code, or -1.
  long Close() { return CloseWith(WM_SYSCOMMAND, SC_CLOSE); }
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

// Open with... and a script: a roster's path, relative and with blanks, is
// opened as Open opens it.
TEST(Program, OpensTheRosterNamedOnItsCommandLine) {
  test::TempDir dir;
  const std::string folder = dir.File("Saved rosters");
  CreateDirectoryA(folder.c_str(), nullptr);
  test::WriteFileBytes(folder + "\\My Roster.ROS", test::RosterBuilder().AddMany(3).Build().bytes);
  char was[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, was);
  SetCurrentDirectoryA(dir.path().string().c_str());
  Started opened(ProgramPath(), "\"Saved rosters\\My Roster.ROS\"", std::string(kBaseCaption) + " - My Roster.ROS");
  SetCurrentDirectoryA(was);
  ASSERT_NE(opened.window(), nullptr);
  EXPECT_EQ(SendMessageA(GetDlgItem(opened.window(), kPlayerList), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(opened.window(), kSaveButton)));
  EXPECT_EQ(opened.Close(), 0);
}

}  // namespace
}  // namespace rostrel
