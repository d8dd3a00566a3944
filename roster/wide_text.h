// Windows only: the program's paths are UTF-8 text, and the system's file
// functions that take any path take wide text; the conversions between them,
// and to the system's code page. Implemented by the Windows platform adapter.
#pragma once

#include <string>
#include <string_view>

namespace rostrel {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// Characters the code page lacks become its default character.
std::string CodePageFromWide(std::wstring_view wide);

}  // namespace rostrel
