#include "cli/terminal.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "cli/common.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>
#endif

namespace rostrel::cli {

namespace {

#ifdef _WIN32
std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide, UINT code_page) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
  return text;
}

void Write(DWORD which, FILE* stream, std::string_view utf8) {
  HANDLE out = GetStdHandle(which);
  DWORD mode = 0;
  if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode)) {
    std::fflush(stream);
    const std::wstring wide = Wide(utf8);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string text = Narrow(Wide(utf8), CP_ACP);
  std::fwrite(text.data(), 1, text.size(), stream);
}
#endif

}  // namespace

void Print(std::string_view utf8) {
#ifdef _WIN32
  Write(STD_OUTPUT_HANDLE, stdout, utf8);
#else
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
#endif
}

void PrintError(std::string_view utf8) {
#ifdef _WIN32
  Write(STD_ERROR_HANDLE, stderr, utf8);
#else
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
#endif
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i], CP_UTF8));
    LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::string Formatted(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int n = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) throw Refused{path + ": cannot be read"};
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace rostrel::cli
