// rostrel-cli's text in and out of the system. Inside the tool every text that
// comes from or goes to the user is UTF-8: the arguments, paths, messages.
// On Linux that is what terminals and file names use. On Windows the
// arguments are read as wide text, a console is written wide text and a pipe
// or file the code page, and paths go to the wide file functions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rostrel::cli {

void Print(std::string_view utf8);       // standard output
void PrintError(std::string_view utf8);  // standard error

// The program's arguments as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// A UTF-8 path for the standard library's file functions, and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// printf's formatting into a text (MinGW's C++ library formats as C99 does).
#ifdef __MINGW32__
#define ROSTREL_PRINTF_FORMAT gnu_printf
#else
#define ROSTREL_PRINTF_FORMAT printf
#endif
std::string Formatted(const char* format, ...) __attribute__((format(ROSTREL_PRINTF_FORMAT, 1, 2)));

// A whole file's bytes; refused when it cannot be read.
std::string ReadText(const std::string& path);

}  // namespace rostrel::cli
