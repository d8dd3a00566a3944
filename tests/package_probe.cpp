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

#include "tests/started_program.h"

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

int StartAndClose(const char* file) {
  rostrel::test::StartedProgram editor(file, "", "Rostrel V");
  if (!editor.started()) {
    std::printf("cannot start: error %lu\n", static_cast<unsigned long>(editor.error()));
    return 1;
  }
  std::printf("window: %s\n", editor.window() ? "found" : "none");
  const long code = editor.window() ? editor.CloseWith(WM_CLOSE, 0) : 1;
  const unsigned long shown = code < 0 ? 1 : static_cast<unsigned long>(code);
  std::printf("exit code: %lu\n", shown);
  return static_cast<int>(shown);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "version") == 0) return PrintVersion(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "start") == 0) return StartAndClose(argv[2]);
  std::fprintf(stderr, "usage: package_probe version|start FILE\n");
  return 2;
}
