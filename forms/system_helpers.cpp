#include "forms/system_helpers.h"
#include "forms/handles.h"

#include <shlobj.h>

#include "roster/roster_file.h"
#include "roster/wide_text.h"

namespace rostrel {

namespace {

std::string Trimmed(const char* text) {
  std::string_view view(text);
  while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) view.remove_prefix(1);
  while (!view.empty() && (view.back() == ' ' || view.back() == '\t')) view.remove_suffix(1);
  return std::string(view);
}

using GetLocation = HRESULT(WINAPI*)(HWND, int, LPITEMIDLIST*);
using PathFromList = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);

}  // namespace

std::string ShellFolderPath(int csidl) {
  const OwnedModule shell(LoadLibraryA("SHELL32.DLL"));
  if (!shell) return {};
  std::string folder;
  auto location =
      reinterpret_cast<GetLocation>(reinterpret_cast<void*>(GetProcAddress(shell.get(), "SHGetSpecialFolderLocation")));
  auto path_of = reinterpret_cast<PathFromList>(reinterpret_cast<void*>(GetProcAddress(shell.get(), "SHGetPathFromIDListW")));
  LPITEMIDLIST list = nullptr;
  if (location && path_of && SUCCEEDED(location(nullptr, csidl, &list)) && list) {
    const OwnedTaskMemory owned(list);
    wchar_t path[MAX_PATH] = {};
    if (path_of(list, path)) folder = Utf8FromWide(path);
  }
  return folder;
}

namespace {

std::string ProgramFilesFallback() {
  HKEY key = nullptr;
  std::string folder;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
      folder = value;
    }
    RegCloseKey(key);
  }
  if (folder.empty()) {
    char windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    folder = std::string(n >= 2 && windows[1] == ':' ? std::string(windows, 1) : std::string("C")) + ":\\Program Files";
  }
  return folder;
}

}  // namespace

int PathKind(const std::string& path) {
  const std::string normalized = NormalizePath(path);
  if (normalized.empty()) return 0;
  WIN32_FIND_DATAA data{};
  HANDLE found = FindFirstFileA(normalized.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return 0;
  FindClose(found);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 2;
}

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, path);
  if (n == 0 || n > MAX_PATH) return {};
  return WithOneTrailingBackslash(Trimmed(path));
}

std::string TempFileName(const std::string& prefix) {
  const std::string folder = TempFolder();
  char name[MAX_PATH] = {};
  if (folder.empty() || !GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, name)) return {};
  MoveFileExA(name, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return name;
}

std::string TempSubFolder(const std::string& prefix) {
  const std::string folder = TempFolder();
  if (folder.empty()) return {};
  const std::string stem = folder + (prefix.empty() ? std::string("tmpfldr") : prefix);
  for (unsigned number = GetTickCount() % 100000u, tries = 0; tries < 1000; ++number, ++tries) {
    const std::string candidate = stem + std::to_string(number);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) return candidate + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

std::string SpecialFolder(int csidl) {
  std::string folder = ShellFolderPath(csidl);
  if (folder.empty() && (csidl == CSIDL_PROGRAM_FILES)) folder = ProgramFilesFallback();
  return WithOneTrailingBackslash(folder);
}

}  // namespace rostrel
