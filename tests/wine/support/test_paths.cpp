#include "support/test_paths.h"

#include <windows.h>

namespace korvane::test {

std::string program_folder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.rfind('\\') + 1);
}

std::string scratch_folder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char name[MAX_PATH];
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  std::string stem(name);
  stem = stem.substr(stem.rfind('\\') + 1);
  // Wine hands out the same process ids run after run, so the id alone would bring back an
  // earlier run's files: the counter's reading makes the name new every time.
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  std::string folder = std::string(temp) + "korvane-" + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(now.QuadPart);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

}  // namespace korvane::test
