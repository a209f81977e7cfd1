// Where the Windows tests find the program and a scratch folder.
#pragma once
#include <string>

namespace korvane::test {

// The folder that holds the running test program (and korvane.exe), with a trailing backslash.
std::string program_folder();
// A fresh, empty folder under the system's temporary folder, new at every call.
std::string scratch_folder();

}  // namespace korvane::test
