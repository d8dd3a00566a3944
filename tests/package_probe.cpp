// What a Windows user sees of a released executable, for the release test:
//   package_probe version FILE   the version resource, one "Name=Value" a line,
//                                as Explorer shows it under Properties, Details
//   package_probe start FILE     starts the editor, waits for its main window,
//                                closes it; exits with the editor's exit code
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int PrintVersion(const char* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
  if (size == 0) {
    std::printf("no version resource\n");
    return 1;
  }
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(file, 0, size, block.data())) return 1;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    std::printf("FileVersionNumbers=%lu.%lu.%lu.%lu\n", static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
  }
  for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                           "OriginalFilename", "ProductName", "ProductVersion"}) {
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    if (VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value) {
      std::printf("%s=%s\n", name, value);
    }
  }
  return 0;
}

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindEditor(HWND window, LPARAM address) {
  auto* search = reinterpret_cast<Search*>(address);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (owner == search->process && IsWindowVisible(window) && std::strncmp(caption, "Rostrel V", 9) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

int StartAndClose(const char* file) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = std::string("\"") + file + "\"";
  if (!CreateProcessA(file, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::printf("cannot start: error %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  WaitForInputIdle(info.hProcess, 10000);
  Search search{info.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !search.found; ++i) {
    EnumWindows(FindEditor, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  DWORD code = 1;
  if (search.found) {
    std::printf("window: found\n");
    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
  } else {
    std::printf("window: none\n");
  }
  if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::printf("exit code: %lu\n", static_cast<unsigned long>(code));
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "version") == 0) return PrintVersion(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "start") == 0) return StartAndClose(argv[2]);
  std::fprintf(stderr, "usage: package_probe version|start FILE\n");
  return 2;
}
