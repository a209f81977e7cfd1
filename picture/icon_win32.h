// The system icon made from an icon or cursor file's chosen image (see decode_icon).
// IconHandle owns one HICON and destroys it; it is move-only so that no icon is destroyed twice.
#pragma once
#include <windows.h>

#include "picture/picture.h"

namespace korvane {

class IconHandle {
 public:
  IconHandle() = default;
  explicit IconHandle(HICON icon) : icon_(icon) {}
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  IconHandle(IconHandle&& other) noexcept : icon_(other.icon_) { other.icon_ = nullptr; }
  IconHandle& operator=(IconHandle&& other) noexcept {
    if (this != &other) {
      reset();
      icon_ = other.icon_;
      other.icon_ = nullptr;
    }
    return *this;
  }
  ~IconHandle() { reset(); }

  HICON get() const { return icon_; }
  explicit operator bool() const { return icon_ != nullptr; }
  void reset() {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
  }

 private:
  HICON icon_ = nullptr;
};

// An empty handle when the system refuses the image. `file` is the whole input that `image`
// was located in; the image must lie inside it (decode_icon checks that).
IconHandle make_system_icon(ByteSpan file, const IconImage& image);

}  // namespace korvane
