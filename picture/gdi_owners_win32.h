// Move-only owners for the GDI handles the capture and the badge button make. Each releases its
// handle with the call that matches how it was obtained, so "released on every path" holds by
// construction. Owned GDI objects are counted (live_gdi_objects) so tests can check for leaks on
// platforms where GetGuiResources reports nothing.
#pragma once
#include <windows.h>

#include <atomic>
#include <utility>

namespace korvane {

namespace gdi_detail {
inline std::atomic<long>& live_count() {
  static std::atomic<long> count{0};
  return count;
}
}  // namespace gdi_detail

// GDI objects (bitmaps, regions, palettes, brushes) currently held by a GdiObject owner.
inline long live_gdi_objects() { return gdi_detail::live_count().load(); }

// DeleteObject on destruction.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {
    if (handle_) ++gdi_detail::live_count();
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~GdiObject() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Gives up ownership, for calls such as SetWindowRgn that take the handle over.
  Handle release() {
    if (handle_) --gdi_detail::live_count();
    return std::exchange(handle_, nullptr);
  }
  void reset() {
    if (handle_) {
      DeleteObject(handle_);
      --gdi_detail::live_count();
      handle_ = nullptr;
    }
  }

 private:
  Handle handle_ = nullptr;
};

using BitmapOwner = GdiObject<HBITMAP>;
using RegionOwner = GdiObject<HRGN>;
using PaletteOwner = GdiObject<HPALETTE>;

// A device context from GetDC or GetWindowDC, given back with ReleaseDC to the same window
// (null window: the screen).
class WindowDc {
 public:
  static WindowDc client(HWND window) { return WindowDc(window, GetDC(window)); }
  static WindowDc whole_window(HWND window) { return WindowDc(window, GetWindowDC(window)); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  WindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
  HWND window_;
  HDC dc_;
};

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDc& operator=(MemoryDc&&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back on destruction; declared after the
// owners of the DC and the object, so it is undone before either is released.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  bool ok() const { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Selects and realizes a palette, restoring the previous palette on destruction.
class SelectedPalette {
 public:
  SelectedPalette(HDC dc, HPALETTE palette) : dc_(dc), previous_(SelectPalette(dc, palette, FALSE)) {
    if (previous_) RealizePalette(dc_);
  }
  SelectedPalette(const SelectedPalette&) = delete;
  SelectedPalette& operator=(const SelectedPalette&) = delete;
  ~SelectedPalette() {
    if (previous_) SelectPalette(dc_, previous_, FALSE);
  }

 private:
  HDC dc_;
  HPALETTE previous_;
};

}  // namespace korvane
