#include "app/settings.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace rostrel {

namespace {

std::string& Key() {
  static std::string key = "Software\\Rostrel";
  return key;
}

}  // namespace

std::string ReadSetting(const char* name) {
  char text[4096] = {};
  DWORD size = sizeof text - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, Key().c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
    return {};
  }
  return text;
}

bool WriteSetting(const char* name, const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, Key().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void UseSettingsKey(const std::string& key) { Key() = key; }

}  // namespace rostrel
