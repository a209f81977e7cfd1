// Decoded pictures: what the picture box draws. Recognition looks at the first six bytes only.
//
// Pixel layouts of `DecodedPicture::pixels`, by kind:
//   bmp, jpeg  true colour: width x height pixels of 3 bytes (blue, green, red), bottom row first,
//              rows unpadded (row length exactly width * 3). pixel_size = width * height * 3.
//   pcx8       a ready-made DIB: 40-byte BITMAPINFOHEADER (height negated: rows top-down), a
//              256-entry colour table (blue, green, red, 0), then height rows of row_bytes bytes.
//   pcx1       monochrome rows top-down, row_bytes each (even), most significant bit first,
//              bit 1 white and bit 0 black.
//   icon, cursor  no pixels: `icon_image` locates the chosen image inside the input bytes; the
//              Win32 side turns it into a system icon (icon_win32.h).
//   gif        no pixels: the kind only. The picture box plays the stream itself (gif.h).
// The block is owned by the DecodedPicture. Decoders never print and never throw.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "values/bytes.h"

namespace korvane {

enum class PictureKind { unrecognised, bmp, jpeg, icon, cursor, gif, pcx8, pcx1 };

// Nothing larger decodes at all: 2^28 pixels (268 megapixels), far above any camera, keeps
// width * height * 4 below 2^31 and every size computation inside 64 bits.
constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 28;

struct PixelBlock {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
};

struct IconImage {
  size_t offset = 0;        // of the chosen image inside the input bytes
  size_t size = 0;          // its byte count, checked to lie inside the input
  int32_t requested_width = 0;
  int32_t requested_height = 0;  // half the stored height: colour and mask rows counted together
  uint16_t bit_count = 0;
};

struct DecodedPicture {
  PictureKind kind = PictureKind::unrecognised;
  int32_t width = 0;
  int32_t height = 0;
  PixelBlock pixels;
  int32_t row_bytes = 0;  // pcx8 and pcx1 rows; bmp and jpeg: width * 3
  IconImage icon_image;   // icon and cursor kinds
};

PictureKind recognise_picture(ByteSpan bytes);

// Told about a picture's rows while they are decoded, so that work on them (the picture box's
// scaling) can run beside the decoder. Only the JPEG decoder reports; the others say nothing.
// Calls come on the decoding thread, in this order: pixels_ready once, rows_complete as rows
// are done, decoding_ended once (also after a failure, before the block is released).
class DecodeObserver {
 public:
  virtual ~DecodeObserver() = default;
  // The true-colour block (bottom row first, width * 3 bytes a row) has its final place.
  virtual void pixels_ready(const uint8_t* pixels, int32_t width, int32_t height) = 0;
  // The top `rows` image rows hold their final bytes.
  virtual void rows_complete(int32_t rows) = 0;
  // After this returns the block may be released (failure) or handed to the caller (success).
  virtual void decoding_ended(bool succeeded) = 0;
};

// Recognises and decodes. For GIF it only checks the header and returns kind gif.
std::optional<DecodedPicture> decode_picture(ByteSpan bytes, DecodeObserver* observer = nullptr);

}  // namespace korvane
