#include "support/unix_programs.h"

#include <windows.h>

namespace korvane::test {

int run_unix(std::vector<std::string> args) {
  using UnixSpawn = LONG(WINAPI*)(char* const argv[], int wait);
  auto spawn = reinterpret_cast<UnixSpawn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
  if (!spawn) return -1;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return static_cast<int>(spawn(argv.data(), 1));
}

std::string unix_path(const std::string& windows_path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto to_unix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, windows_path.c_str(), -1, wide, MAX_PATH);
  char* path = to_unix ? to_unix(wide) : nullptr;
  std::string result = path ? path : "";
  if (path) HeapFree(GetProcessHeap(), 0, path);
  return result;
}

}  // namespace korvane::test
