// Small move-only owners for the platform handles the services hold. Each releases its handle
// once, on every path, when it goes out of scope.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <utility>

#include "values/com_ptr.h"  // COM references

namespace korvane {

// A kernel file handle from CreateFileA; INVALID_HANDLE_VALUE means none.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(HANDLE h) : handle_(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  ~FileHandle() { close(); }

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  // Closes now and tells whether the platform reported the close as done.
  bool close() {
    if (!valid()) return true;
    BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A window this code created; destroyed with it unless the window is already gone (a child
// goes with its parent).
class WindowOwner {
 public:
  WindowOwner() = default;
  explicit WindowOwner(HWND hwnd) : hwnd_(hwnd) {}
  WindowOwner(const WindowOwner&) = delete;
  WindowOwner& operator=(const WindowOwner&) = delete;
  WindowOwner(WindowOwner&& other) noexcept : hwnd_(std::exchange(other.hwnd_, nullptr)) {}
  WindowOwner& operator=(WindowOwner&& other) noexcept {
    if (this != &other) {
      reset();
      hwnd_ = std::exchange(other.hwnd_, nullptr);
    }
    return *this;
  }
  ~WindowOwner() { reset(); }

  HWND get() const { return hwnd_; }
  void reset() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }

 private:
  HWND hwnd_ = nullptr;
};

// A storage medium filled by IDataObject::GetData; ReleaseStgMedium on the way out.
class StorageMedium {
 public:
  StorageMedium() = default;
  StorageMedium(const StorageMedium&) = delete;
  StorageMedium& operator=(const StorageMedium&) = delete;
  ~StorageMedium() {
    if (filled_) ReleaseStgMedium(&medium_);
  }
  // For GetData to fill; call mark_filled() when it succeeded.
  STGMEDIUM* out() { return &medium_; }
  void mark_filled() { filled_ = true; }
  const STGMEDIUM& get() const { return medium_; }

 private:
  STGMEDIUM medium_ = {};
  bool filled_ = false;
};

// A locked global memory block; unlocked when done.
class GlobalMemoryLock {
 public:
  explicit GlobalMemoryLock(HGLOBAL memory) : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
  GlobalMemoryLock(const GlobalMemoryLock&) = delete;
  GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
  ~GlobalMemoryLock() {
    if (data_) ::GlobalUnlock(memory_);
  }
  const void* data() const { return data_; }
  SIZE_T size() const { return data_ ? ::GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace korvane
