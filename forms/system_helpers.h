// Operating-system services beside the form framework: what a path names, and
// the temporary and special folders. Every helper answers with 0, false or an
// empty text instead of failing, and shows nothing. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace rostrel {

// 0 not found, 1 folder, 2 file.
int PathKind(const std::string& path);

// The temporary folder, ending in exactly one "\".
std::string TempFolder();
// A new empty file in the temporary folder, deleted at the next restart.
std::string TempFileName(const std::string& prefix = "tmp");
// A new folder in the temporary folder: prefix and a number, ending in "\".
std::string TempSubFolder(const std::string& prefix = "tmpfldr");
// The shell's path of a special folder by its CSIDL, as the shell gives it, in UTF-8;
// the empty text when it cannot be resolved.
std::string ShellFolderPath(int csidl);
// A special folder by its CSIDL, ending in "\"; the program-files folder falls
// back to the registry and then to "C:\Program Files".
std::string SpecialFolder(int csidl);

}  // namespace rostrel
