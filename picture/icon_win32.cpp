#include "picture/icon_win32.h"

namespace korvane {

namespace {
constexpr DWORD kIconFormatVersion = 0x00030000;
}

IconHandle make_system_icon(ByteSpan file, const IconImage& image) {
  if (!file.data || image.offset > file.size || image.size > file.size - image.offset || image.size == 0)
    return IconHandle();
  // The calls take a non-const pointer but only read the bytes.
  PBYTE bits = const_cast<PBYTE>(file.data + image.offset);
  const DWORD size = static_cast<DWORD>(image.size);
  HICON icon = CreateIconFromResourceEx(bits, size, TRUE, kIconFormatVersion, image.requested_width,
                                        image.requested_height, LR_DEFAULTCOLOR);
  // At the system's default icon size instead; 16-bit images are not retried.
  if (!icon && image.bit_count != 16) icon = CreateIconFromResource(bits, size, TRUE, kIconFormatVersion);
  return IconHandle(icon);
}

}  // namespace korvane
