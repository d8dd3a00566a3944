#include "forms/path_parts.h"

namespace rostrel {

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  const std::size_t cut = path.find_last_of("\\:");
  const std::size_t name_start = cut == std::string_view::npos ? 0 : cut + 1;
  parts.file_name = std::string(path.substr(name_start));
  const std::size_t dot = parts.file_name.rfind('.');
  if (dot != std::string::npos) parts.extension = parts.file_name.substr(dot + 1);
  parts.folder = std::string(path.substr(0, name_start));
  if (!parts.folder.empty() && parts.folder.back() == ':') parts.folder += '\\';
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = std::string(path.substr(0, 2));
  } else if (path.substr(0, 2) == "\\\\") {
    // A network path: the server and the share make up its drive.
    const std::size_t server_end = path.find('\\', 2);
    const std::size_t share_end = server_end == std::string_view::npos ? server_end : path.find('\\', server_end + 1);
    parts.drive = std::string(path.substr(0, share_end));
  }
  return parts;
}

std::string WithOneTrailingBackslash(std::string_view folder) {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  std::string result(folder);
  if (!result.empty()) result += '\\';
  return result;
}

}  // namespace rostrel
