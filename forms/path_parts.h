// The parts of a Windows path, apart from any file system.
#pragma once

#include <string>
#include <string_view>

namespace rostrel {

struct PathParts {
  std::string extension;  // after the last "." that follows the last "\" or ":"; may be empty
  std::string file_name;  // after the last "\" or ":"
  std::string folder;     // up to and including the last "\" or ":", ending in "\" when not empty
  std::string drive;      // "C:" or "\\server\share", empty when the path has none
};
PathParts SplitPath(std::string_view path);

// The text with exactly one "\" at its end (an empty text stays empty).
std::string WithOneTrailingBackslash(std::string_view folder);

}  // namespace rostrel
