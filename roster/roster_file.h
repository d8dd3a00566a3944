// The one roster file the editor works on: path rules, the file-size query and
// the writable mapping of the whole file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "roster/platform.h"

namespace rostrel {

// Header offsets of the two kinds of file.
constexpr std::uint32_t kRosHeaderOffset = 0;
constexpr std::uint32_t kFxgHeaderOffset = 65088;  // 0xFE40

// The text after the last "." (the whole path when there is none), lower case.
std::string ExtensionOf(std::string_view path);
// The text after the last "\" (the whole path when there is none).
std::string FileNameOf(std::string_view path);
// 0 for "ros", 65088 for "fxg"; nothing for any other extension.
std::optional<std::uint32_t> HeaderOffsetFor(std::string_view path);

// The parts of a Windows path, apart from any file system (the file dialog's
// folder, the special folders).
struct PathParts {
  std::string extension;  // after the last "." that follows the last "\" or ":"; may be empty
  std::string file_name;  // after the last "\" or ":"
  std::string folder;     // up to and including the last "\" or ":", ending in "\" when not empty
  std::string drive;      // "C:" or "\\server\share", empty when the path has none
};
PathParts SplitPath(std::string_view path);

// The text with exactly one "\" at its end (an empty text stays empty).
std::string WithOneTrailingBackslash(std::string_view folder);

// Blanks, then surrounding double quotes, then blanks again removed.
std::string TrimTypedPath(std::string_view path);
// "/" becomes "\", blanks and surrounding double quotes and backslashes go.
std::string NormalizePath(std::string_view path);
// The size in the file system's directory entry; nothing for a missing path or a folder.
std::optional<std::uint64_t> GetFileSizeByName(std::string_view path);

// Bytes written through a view while a transaction is open: they are held
// here, offset by offset, and reads through the view see them, until the
// transaction puts them into the file as one unit.
struct PendingWrites {
  std::map<std::uint64_t, std::uint8_t> bytes;
};

// The open roster file. While open, file, mapping and base belong together and
// the view spans exactly size bytes, the file's length when it was opened.
// Owns its handles: they are released exactly once, by CloseRosterView or at destruction.
struct RosterView {
  std::string path;
  NativeHandle file = kNoHandle;
  NativeHandle mapping = kNoHandle;
  std::uint8_t* base = nullptr;
  std::uint64_t size = 0;
  PendingWrites* pending = nullptr;  // set while a transaction collects writes

  RosterView() = default;
  RosterView(const RosterView&) = delete;
  RosterView& operator=(const RosterView&) = delete;
  ~RosterView();
};

bool IsOpen(const RosterView& view);
// Releases an open file first, then opens and maps path. On failure the view stays closed.
OpenStatus OpenRosterView(RosterView& view, const std::string& path);
// Unmaps and closes; does nothing when no file is open. The path is kept.
void CloseRosterView(RosterView& view);
// Closes into, then hands it what from holds; from is left closed.
void MoveRosterView(RosterView& into, RosterView& from);
// Puts everything written through the view on disk before returning.
bool FlushRosterView(const RosterView& view);

// How many views are mapped in this process right now.
int OpenViewCount();

// A short sentence for a failed open, for the user.
const char* OpenStatusText(OpenStatus status);

}  // namespace rostrel
