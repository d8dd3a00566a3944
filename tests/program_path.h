// Where the build put a program of its own: beside the tests' folder.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace rostrel::test {

inline std::string BuiltProgram(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path);
  folder.resize(folder.find_last_of('\\'));  // ...\tests
  folder.resize(folder.find_last_of('\\'));  // the build folder
  return folder + "\\" + name;
}

}  // namespace rostrel::test
