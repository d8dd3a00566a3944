#include "roster/roster_file.h"


namespace rostrel {

namespace {

int g_open_views = 0;
IoStepHook g_io_step_hook = nullptr;

std::string_view AfterLast(std::string_view text, char separator) {
  const auto at = text.rfind(separator);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text, bool (*drop)(char)) {
  while (!text.empty() && drop(text.front())) text.remove_prefix(1);
  while (!text.empty() && drop(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string ExtensionOf(std::string_view path) {
  std::string extension(AfterLast(path, '.'));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

std::string FileNameOf(std::string_view path) { return std::string(AfterLast(path, '\\')); }

std::optional<std::uint32_t> HeaderOffsetFor(std::string_view path) {
  const std::string extension = ExtensionOf(path);
  if (extension == "fxg") return kFxgHeaderOffset;
  if (extension == "ros") return kRosHeaderOffset;
  return std::nullopt;
}

std::string TrimTypedPath(std::string_view path) {
  path = Trim(path, IsBlank);
  path = Trim(path, [](char c) { return c == '"'; });
  return std::string(Trim(path, IsBlank));
}

std::string NormalizePath(std::string_view path) {
  std::string slashed(path);
  for (char& c : slashed) {
    if (c == '/') c = '\\';
  }
  const std::string trimmed = TrimTypedPath(slashed);
  return std::string(Trim(trimmed, [](char c) { return c == '\\'; }));
}

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

std::optional<std::uint64_t> GetFileSizeByName(std::string_view path) { return PlatformDirectorySize(path); }

RosterView::~RosterView() { CloseRosterView(*this); }

bool IsOpen(const RosterView& view) { return view.base != nullptr; }

OpenStatus OpenRosterView(RosterView& view, const std::string& path) {
  CloseRosterView(view);
  const OpenStatus status = PlatformMapFile(path, view);
  if (status == OpenStatus::Ok) {
    view.path = path;
    ++g_open_views;
  }
  return status;
}

void CloseRosterView(RosterView& view) {
  if (!IsOpen(view)) return;
  PlatformUnmapFile(view);
  view.file = kNoHandle;
  view.mapping = kNoHandle;
  view.base = nullptr;
  view.size = 0;
  --g_open_views;
}

void MoveRosterView(RosterView& into, RosterView& from) {
  if (&into == &from) return;
  CloseRosterView(into);
  into.path = std::move(from.path);
  into.file = from.file;
  into.mapping = from.mapping;
  into.base = from.base;
  into.size = from.size;
  from.file = kNoHandle;
  from.mapping = kNoHandle;
  from.base = nullptr;
  from.size = 0;
}

bool FlushRosterView(const RosterView& view) { return IsOpen(view) && PlatformFlushFile(view); }

int OpenViewCount() { return g_open_views; }

void SetIoStepHook(IoStepHook hook) { g_io_step_hook = hook; }
bool IoStepMayRun(IoStep step) { return !g_io_step_hook || g_io_step_hook(step); }

const char* OpenStatusText(OpenStatus status) {
  switch (status) {
    case OpenStatus::Ok: return "";
    case OpenStatus::NotFound: return "The file cannot be found.";
    case OpenStatus::NotWritable: return "The file cannot be opened for writing.";
    case OpenStatus::Empty: return "The file is empty.";
    case OpenStatus::TooLarge: return "The file is too large.";
    case OpenStatus::CannotMap: return "The file cannot be mapped into memory.";
  }
  return "";
}

}  // namespace rostrel
