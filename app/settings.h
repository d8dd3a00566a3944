// What the editor keeps per user between runs, as texts under
// HKEY_CURRENT_USER\Software\Rostrel: the list's columns and the main
// window's place. Win32 only.
#pragma once

#include <string>

namespace rostrel {

// The text kept under name, or the empty text.
std::string ReadSetting(const char* name);
// False when the value could not be written.
bool WriteSetting(const char* name, const std::string& value);
// Another key under HKEY_CURRENT_USER, for the tests' own runs.
void UseSettingsKey(const std::string& key);

}  // namespace rostrel
