#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "services/file_io.h"
#include "services/owners_win32.h"

namespace korvane {

namespace {

int64_t g_write_budget = -1;  // bytes the write requests may still write; negative = no limit

// One write request, under the test budget when one is set.
bool write_all(HANDLE file, ByteSpan content) {
  if (content.size > MAXDWORD) return false;
  DWORD asked = static_cast<DWORD>(content.size);
  DWORD allowed = asked;
  if (g_write_budget >= 0 && static_cast<int64_t>(asked) > g_write_budget) allowed = static_cast<DWORD>(g_write_budget);
  DWORD written = 0;
  BOOL ok = WriteFile(file, content.data, allowed, &written, nullptr);
  if (g_write_budget >= 0) g_write_budget -= written;
  return ok && written == asked;
}

// The folder part of a path, separator included ("" for a bare name). Walked character by
// character: in code page 936 a trail byte may be 0x5C, which is then no separator.
std::string folder_of(const std::string& path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c & 0x80) {
      ++i;
    } else if (c == '\\' || c == '/' || c == ':') {
      end = i + 1;
    }
  }
  return path.substr(0, end);
}

// A new, empty file beside the target that no one else can open while it is being written.
FileHandle create_temporary_beside(const std::string& target, std::string& temporary) {
  static unsigned counter = 0;
  const std::string folder = folder_of(target);
  for (int attempt = 0; attempt < 16; ++attempt) {
    char stem[40];
    std::snprintf(stem, sizeof stem, "~korvane-%lx-%x.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  ++counter);
    temporary = folder + stem;
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) return file;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  temporary.clear();
  return FileHandle();
}

}  // namespace

void set_write_budget_for_testing(int64_t bytes) { g_write_budget = bytes; }

Bytes read_file(const char* name) {
  if (!name || !*name) return Bytes();
  FileHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Bytes();
  // Only disk files: a pipe or a device named by a hostile drop could block the read forever.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return Bytes();
  LARGE_INTEGER zero = {}, end = {};
  if (!SetFilePointerEx(file.get(), zero, &end, FILE_END) || !SetFilePointerEx(file.get(), zero, nullptr, FILE_BEGIN)) {
    return Bytes();
  }
  // Lengths that do not fit a positive 32-bit count (empty, 2 GiB or more) read as missing.
  if (end.QuadPart <= 0 || end.QuadPart > INT32_MAX) return Bytes();
  const DWORD length = static_cast<DWORD>(end.QuadPart);
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[length]);
  if (!buffer) return Bytes();
  DWORD got = 0;
  if (!ReadFile(file.get(), buffer.get(), length, &got, nullptr) || got == 0 || got > length) return Bytes();
  file.close();
  return Bytes::copy_of(buffer.get(), got);
}

int write_file(const char* name, std::initializer_list<ByteSpan> contents) {
  if (!name || !*name) return 0;
  const std::string target = name;

  // Prove the target can be written and that no one holds it open (share mode 0 fails against
  // any other open handle), without emptying it. The target is created only when absent, and
  // removed again if the write does not go through.
  bool target_created = false;
  {
    FileHandle probe(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) return 0;
    target_created = GetLastError() != ERROR_ALREADY_EXISTS;
    const bool disk_file = GetFileType(probe.get()) == FILE_TYPE_DISK;
    probe.close();
    if (!disk_file) {
      if (target_created) DeleteFileA(name);
      return 0;
    }
  }

  std::string temporary;
  FileHandle file = create_temporary_beside(target, temporary);
  bool ok = file.valid();
  for (const ByteSpan& content : contents) {
    if (!ok) break;
    if (content.size > 0) ok = write_all(file.get(), content);
  }
  if (ok) ok = FlushFileBuffers(file.get()) != FALSE;
  if (!file.close()) ok = false;
  if (ok) ok = MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) {
    if (!temporary.empty()) DeleteFileA(temporary.c_str());
    if (target_created) DeleteFileA(name);
    return 0;
  }
  return 1;
}

}  // namespace korvane
