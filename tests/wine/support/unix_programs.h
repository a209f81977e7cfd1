// Running the machine's own (Linux) programs from a Windows test under Wine, such as the
// xdnd-drop tool that drops files on a window as a file manager does.
#pragma once
#include <string>
#include <vector>

namespace korvane::test {

// Runs a Unix program through Wine's own spawn entry point and waits for it: its exit status,
// or -1 where there is no such entry point (not Wine).
int run_unix(std::vector<std::string> args);

// The Unix path of a Windows path, or empty when Wine cannot say.
std::string unix_path(const std::string& windows_path);

}  // namespace korvane::test
