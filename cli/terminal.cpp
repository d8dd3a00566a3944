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

#include "roster/wide_text.h"
#endif

namespace rostrel::cli {

namespace {

// Text to standard output or error: on Windows wide to a console, else in
// the code page; elsewhere as it is.
void Write(FILE* stream, std::string_view utf8) {
#ifdef _WIN32
  HANDLE out = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode)) {
    std::fflush(stream);
    const std::wstring wide = WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string text = CodePageFromWide(WideFromUtf8(utf8));
  std::fwrite(text.data(), 1, text.size(), stream);
#else
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
#endif
}

}  // namespace

void Print(std::string_view utf8) { Write(stdout, utf8); }
void PrintError(std::string_view utf8) { Write(stderr, utf8); }

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
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
