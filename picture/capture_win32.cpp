#include "picture/capture_win32.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "picture/bmp_file.h"
#include "picture/display_win32.h"
#include "picture/gdi_owners_win32.h"

namespace korvane {
namespace {

// HALFTONE only pays on a display with more than 16 bits per pixel; when the mode cannot be read
// the cheaper mode is used.
int stretch_mode_for_display() { return display_deeper_than_16_bits() ? HALFTONE : COLORONCOLOR; }

// A palette-based display reads back through a palette made of its current system palette; only
// its first 255 entries are taken. Any other display uses the stock palette (not owned).
struct ReadBackPalette {
  PaletteOwner owned;
  HPALETTE handle = nullptr;
};

ReadBackPalette read_back_palette(HDC screen) {
  ReadBackPalette palette;
  if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
    constexpr int kEntries = 255;
    struct {
      WORD version;
      WORD count;
      PALETTEENTRY entries[kEntries];
    } logical = {};
    logical.version = 0x300;
    logical.count = kEntries;
    GetSystemPaletteEntries(screen, 0, kEntries, logical.entries);
    palette.owned = PaletteOwner(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
    palette.handle = palette.owned.get();
  }
  if (!palette.handle) palette.handle = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  return palette;
}

// A bitmap of width x height in the display's format holding a copy of `source`'s rectangle
// (0, 0, source_width, source_height), stretched when the sizes differ.
BitmapOwner copy_pixels(HDC source, int32_t source_width, int32_t source_height, int32_t width, int32_t height) {
  BitmapOwner bitmap(CreateCompatibleBitmap(source, width, height));
  MemoryDc memory(source);
  if (!bitmap || !memory) return BitmapOwner();
  SelectedObject selected(memory.get(), bitmap.get());
  if (!selected.ok()) return BitmapOwner();
  BOOL copied;
  if (width == source_width && height == source_height) {
    copied = BitBlt(memory.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(memory.get(), stretch_mode_for_display());
    SetBrushOrgEx(memory.get(), 0, 0, nullptr);  // HALFTONE wants the brush origin reset
    copied = StretchBlt(memory.get(), 0, 0, width, height, source, 0, 0, source_width, source_height, SRCCOPY);
  }
  return copied ? std::move(bitmap) : BitmapOwner();
}

Bytes read_back(HBITMAP bitmap, int32_t width, int32_t height) {
  const std::optional<BmpLayout> layout = bmp_layout(width, height);
  if (!layout) return Bytes();
  WindowDc screen = WindowDc::client(nullptr);
  if (!screen) return Bytes();
  ReadBackPalette palette = read_back_palette(screen.get());
  SelectedPalette realized(screen.get(), palette.handle);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  // The first call only fills in biSizeImage; the rows are laid out as bmp_layout computes them
  // whatever it says, so a value that disagrees is a read-back this code does not understand.
  if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), nullptr, &info, DIB_RGB_COLORS)) {
    return Bytes();
  }
  if (info.bmiHeader.biSizeImage != 0 && info.bmiHeader.biSizeImage != static_cast<DWORD>(layout->image_size)) {
    return Bytes();
  }
  info.bmiHeader.biSizeImage = 0;
  Bytes file = Bytes::allocate(layout->file_size);
  std::memset(file.data(), 0, static_cast<size_t>(layout->file_size));  // row padding reads as zeros
  const int rows = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), file.data() + kBmpHeaderSize,
                             &info, DIB_RGB_COLORS);
  if (rows != height) return Bytes();
  write_bmp_headers(file.data(), width, height, layout->image_size);
  return file;
}

}  // namespace

int32_t capture_target_size(int32_t natural, int32_t requested) {
  if (requested == 0) return natural;
  if (requested > 0) return requested;
  const int64_t percent = std::max<int64_t>(-int64_t{requested}, 10);
  return MulDiv(natural, static_cast<int>(std::min<int64_t>(percent, INT32_MAX)), 100);
}

Bytes capture_window(HWND window, int32_t width, int32_t height) {
  int32_t natural_width;
  int32_t natural_height;
  std::optional<WindowDc> source;
  if (!window) {
    natural_width = GetSystemMetrics(SM_CXSCREEN);
    natural_height = GetSystemMetrics(SM_CYSCREEN);
    source.emplace(WindowDc::client(nullptr));
  } else {
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) return Bytes();
    natural_width = rect.right - rect.left;
    natural_height = rect.bottom - rect.top;
    source.emplace(WindowDc::whole_window(window));
  }
  // A window of no area captures to nothing.
  if (!*source || natural_width <= 0 || natural_height <= 0) return Bytes();

  BitmapOwner pixels = copy_pixels(source->get(), natural_width, natural_height, natural_width, natural_height);
  if (!pixels) return Bytes();
  const int32_t target_width = capture_target_size(natural_width, width);
  const int32_t target_height = capture_target_size(natural_height, height);
  if (target_width <= 0 || target_height <= 0) return Bytes();
  if (target_width != natural_width || target_height != natural_height) {
    BitmapOwner scaled;
    {
      MemoryDc natural(source->get());
      if (!natural) return Bytes();
      SelectedObject selected(natural.get(), pixels.get());
      if (!selected.ok()) return Bytes();
      scaled = copy_pixels(natural.get(), natural_width, natural_height, target_width, target_height);
    }  // the natural-size bitmap is deselected here, before it is deleted
    if (!scaled) return Bytes();
    pixels = std::move(scaled);
  }
  return read_back(pixels.get(), target_width, target_height);
}

}  // namespace korvane
