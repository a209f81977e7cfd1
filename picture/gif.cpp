// GIF: header parser, block walker and LZW frame decoder.
//
// The LZW decoder keeps no prefix chains. Every table entry is the previous code's string plus
// one byte, and both lie next to each other in the output already written, so an entry is just
// (offset, length) into the output and decoding a code is a forward copy from earlier output.
// Output therefore goes to one linear run of width x height indices: straight into the frame
// when its rows need no padding and no interlace reordering, else into a scratch run that is
// then laid out into the frame's rows.
#include "picture/gif.h"

#include <cstring>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/picture.h"

namespace korvane {
namespace {

constexpr size_t kHeaderSize = 13;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;
// Stores run up to 8 bytes past a string's end (see copy_string).
constexpr size_t kCopySlack = 8;
// A 12-bit code yields at most 4094 pixels, so no real image decodes to more than about 2730
// pixels per byte of image data; a descriptor claiming more than this is refused before its
// buffers are sized.
constexpr uint64_t kMaxPixelsPerDataByte = 4096;
// No GIF frame larger than the player's canvas limit is decoded: every frame of an animation is
// decoded again each time it is due, so one huge frame would cost its full size forever while
// only the canvas-sized part of it could ever show.
constexpr uint64_t kMaxFramePixels = uint64_t{1} << 25;

bool has_signature(const uint8_t* b) {
  return std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0;
}

// Global table size in bytes, or 0 when there is none.
size_t global_table_bytes(uint8_t packed) {
  return (packed & 0x80) ? size_t{3} << ((packed & 7) + 1) : 0;
}

// Codes least significant bit first; past the end of the data every bit reads as one.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

  uint32_t code(int width) {
    if (count_ < width) refill();
    const uint32_t c = static_cast<uint32_t>(bits_ & ((uint64_t{1} << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return c;
  }

 private:
  void refill() {
    if (end_ - p_ >= 8) {
      uint64_t v;
      std::memcpy(&v, p_, 8);  // little-endian hosts only (x86-64 and the Windows target)
      bits_ |= v << count_;
      p_ += (63 - count_) >> 3;
      count_ |= 56;
      return;
    }
    while (count_ <= 56) {
      const uint64_t byte = p_ < end_ ? *p_++ : 0xFF;
      bits_ |= byte << count_;
      count_ += 8;
    }
  }

  const uint8_t* p_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// Copies len bytes from src to dst, where src + len <= dst: in 8-byte steps, each loaded before
// it is stored, so the bytes needed are never the ones just written. Writes up to 7 bytes past
// dst + len and reads up to 7 past src + len; callers leave kCopySlack for that.
inline void copy_string(uint8_t* dst, const uint8_t* src, size_t len) {
  for (size_t i = 0; i < len; i += 8) {
    uint64_t v;
    std::memcpy(&v, src + i, 8);
    std::memcpy(dst + i, &v, 8);
  }
}

// Decodes into out[0, total); out has kCopySlack bytes beyond total. Returns false when the
// frame is refused. Whatever the data does not reach is set to index 0.
bool decode_lzw(const uint8_t* data, size_t size, int min_code_size, uint8_t* out, size_t total) {
  struct Entry {
    uint32_t offset;
    uint32_t length;
  };
  static_assert(sizeof(Entry) == 8, "");
  Entry table[kTableSize];

  const uint32_t clear = 1u << min_code_size;
  const uint32_t end = clear + 1;
  const uint32_t first_free = clear + 2;
  int width = min_code_size + 1;
  uint32_t next_free = first_free;
  uint32_t grow_at = 1u << width;
  size_t prev_pos = 0, prev_len = 0;  // prev_len 0: no previous code (start, or after a clear)
  size_t pos = 0;
  BitReader bits(data, size);

  while (pos < total) {
    const uint32_t code = bits.code(width);
    if (code == clear) {
      width = min_code_size + 1;
      grow_at = 1u << width;
      next_free = first_free;
      prev_len = 0;
      continue;
    }
    if (code == end) break;
    if (prev_len == 0) {
      if (code > end) return false;  // the first code after a clear must be a root
      out[pos] = static_cast<uint8_t>(code);
      prev_pos = pos++;
      prev_len = 1;
      continue;
    }
    size_t len;
    if (code < clear) {
      len = 1;
      out[pos] = static_cast<uint8_t>(code);
    } else if (code < next_free) {
      const Entry e = table[code];
      len = e.length;
      if (len > total - pos) {
        std::memcpy(out + pos, out + e.offset, total - pos);
        pos = total;
        break;
      }
      copy_string(out + pos, out + e.offset, len);
    } else if (code == next_free && next_free < kTableSize) {
      // The code being defined: the previous string and its own first byte.
      len = prev_len + 1;
      if (len > total - pos) {
        std::memcpy(out + pos, out + prev_pos, total - pos);
        pos = total;
        break;
      }
      copy_string(out + pos, out + prev_pos, prev_len);
      out[pos + prev_len] = out[prev_pos];
    } else {
      return false;  // past the next free entry
    }
    if (next_free < kTableSize) {
      table[next_free] = Entry{static_cast<uint32_t>(prev_pos), static_cast<uint32_t>(prev_len + 1)};
      if (++next_free >= grow_at && width < kMaxCodeBits) grow_at = 1u << ++width;
    }
    prev_pos = pos;
    prev_len = len;
    pos += len;
  }
  if (pos < total) std::memset(out + pos, 0, total - pos);
  return true;
}

// Frame rows in stream order: straight, or the four interlace passes.
void lay_out_rows(const uint8_t* linear, uint8_t* rows, int32_t width, int32_t height,
                  int32_t stride, bool interlaced) {
  static const int kPassStart[4] = {0, 4, 2, 1};
  static const int kPassStep[4] = {8, 8, 4, 2};
  const int passes = interlaced ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int32_t start = interlaced ? kPassStart[pass] : 0;
    const int32_t step = interlaced ? kPassStep[pass] : 1;
    for (int32_t y = start; y < height; y += step, linear += width)
      std::memcpy(rows + size_t(y) * stride, linear, size_t(width));
  }
}

bool reserve(std::vector<uint8_t>& v, size_t n) {
  if (v.size() >= n) return true;
  try {
    v.resize(n);
  } catch (...) {
    return false;
  }
  return true;
}

// Skips a chain of sub-blocks; false when it runs past the end.
bool skip_sub_blocks(const std::vector<uint8_t>& s, size_t& pos) {
  for (;;) {
    if (pos >= s.size()) return false;
    const size_t n = s[pos++];
    if (n == 0) return true;
    if (n > s.size() - pos) return false;
    pos += n;
  }
}

// Joins the image's sub-blocks into state.image_data and leaves the read position after the
// terminator. A chain that runs past the end keeps what there is: the rest reads as ones.
// False when there is no memory for the joined data.
bool gather_image_data(GifStream& state) {
  const std::vector<uint8_t>& s = state.stream;
  size_t& pos = state.read_position;
  state.image_data.clear();
  while (pos < s.size()) {
    const size_t n = s[pos++];
    if (n == 0) return true;
    const size_t take = n < s.size() - pos ? n : s.size() - pos;
    try {
      state.image_data.insert(state.image_data.end(), s.begin() + pos, s.begin() + pos + take);
    } catch (...) {  // the player thread must never see an exception
      state.image_data.clear();
      return false;
    }
    pos += take;
  }
  return true;
}

bool rewind_and_fail(GifStream& state) {
  state.read_position = 0;
  return false;
}

bool decode_frame(GifStream& state, GifFrame& frame) {
  const std::vector<uint8_t>& s = state.stream;
  size_t& pos = state.read_position;
  // A descriptor or table cut off by the end of the stream: start again next time.
  if (s.size() - pos < 9) return rewind_and_fail(state);
  const uint8_t* d = s.data() + pos;
  state.frame_left = load_u16(d);
  state.frame_top = load_u16(d + 2);
  state.frame_width = load_u16(d + 4);
  state.frame_height = load_u16(d + 6);
  const uint8_t packed = d[8];
  pos += 9;
  const uint8_t* table = state.global_colour_count ? state.global_table : nullptr;
  size_t colours = static_cast<size_t>(state.global_colour_count);
  if (packed & 0x80) {
    colours = size_t{2} << (packed & 7);
    if (s.size() - pos < 3 * colours) return rewind_and_fail(state);
    table = s.data() + pos;
    pos += 3 * colours;
  }
  if (pos >= s.size()) return rewind_and_fail(state);
  const int min_code_size = s[pos++];
  if (!gather_image_data(state)) return false;

  // Entries past the table, and frames with no table at all, show black.
  std::memset(frame.palette, 0, sizeof frame.palette);
  for (size_t i = 0; table && i < colours; ++i) {
    frame.palette[i][0] = table[3 * i + 2];
    frame.palette[i][1] = table[3 * i + 1];
    frame.palette[i][2] = table[3 * i];
  }
  if (state.transparency) {
    const uint8_t* key = frame.palette[state.transparent_index];
    state.key_blue = key[0];
    state.key_green = key[1];
    state.key_red = key[2];
  }

  const int32_t width = state.frame_width, height = state.frame_height;
  const uint64_t total = uint64_t(width) * uint64_t(height);
  if (total == 0 || min_code_size < 1 || min_code_size > 8) return false;
  if (total > kMaxPicturePixels || total > kMaxFramePixels ||
      total > checked_mul(state.image_data.size() + 1, kMaxPixelsPerDataByte))
    return false;
  const int32_t stride = (width + 3) & ~3;
  const size_t frame_bytes = size_t(stride) * size_t(height);
  const bool in_place = stride == width && !(packed & 0x40);
  const size_t needed = frame_bytes + kCopySlack;
  if (frame.capacity < needed) {
    frame.indices.reset(new (std::nothrow) uint8_t[needed]);
    frame.capacity = frame.indices ? needed : 0;
    if (!frame.indices) return false;
  }
  uint8_t* const rows = frame.indices.get();
  const uint8_t* data = state.image_data.data();
  const size_t data_size = state.image_data.size();
  if (in_place) {
    if (!decode_lzw(data, data_size, min_code_size, rows, size_t(total))) return false;
  } else {
    if (!reserve(state.stream_order, size_t(total) + kCopySlack)) return false;
    uint8_t* linear = state.stream_order.data();
    if (!decode_lzw(data, data_size, min_code_size, linear, size_t(total))) return false;
    lay_out_rows(linear, rows, width, height, stride, packed & 0x40);
    if (stride != width)
      for (int32_t y = 0; y < height; ++y) std::memset(rows + size_t(y) * stride + width, 0, stride - width);
  }
  frame.width = width;
  frame.height = height;
  frame.stride = stride;
  return true;
}

}  // namespace

bool parse_gif_header(ByteSpan bytes, GifStream& state) {
  if (!bytes.data || bytes.size <= kHeaderSize || !has_signature(bytes.data)) return false;
  const uint8_t* b = bytes.data;
  const size_t table_bytes = global_table_bytes(b[10]);
  if (bytes.size <= kHeaderSize + table_bytes) return false;
  state = GifStream{};
  state.screen_width = load_u16(b + 6);
  state.screen_height = load_u16(b + 8);
  state.background_index = b[11];
  state.global_colour_count = static_cast<int>(table_bytes / 3);
  std::memcpy(state.global_table, b + kHeaderSize, table_bytes);
  try {
    state.stream.assign(b + kHeaderSize + table_bytes, b + bytes.size);
  } catch (...) {
    return false;
  }
  state.read_position = 0;
  return true;
}

bool next_gif_frame(GifStream& state, GifFrame& frame) {
  const std::vector<uint8_t>& s = state.stream;
  size_t& pos = state.read_position;
  // The walker never ends a stream: the trailer rewinds it. A stream with no image in it would
  // go round for ever, so a second rewind within one call gives no frame.
  int rewinds = 0;
  for (;;) {
    if (pos >= s.size()) break;
    const uint8_t block = s[pos++];
    if (block == 0x00 || block == 0x3B) {
      pos = 0;
      if (++rewinds > 1) return false;
      continue;
    }
    if (block == 0x2C) return decode_frame(state, frame);
    if (block != 0x21) return false;
    if (pos >= s.size()) break;
    const uint8_t label = s[pos++];
    if (label == 0xF9) {
      // Block size, packed byte, delay, transparent index, terminator.
      if (s.size() - pos < 6) break;
      const uint8_t packed = s[pos + 1];
      state.disposal_code = packed & 0x1C;
      state.transparency = (packed & 1) != 0;
      state.delay = load_u16(&s[pos + 2]);
      state.transparent_index = s[pos + 4];
      pos += 6;
      continue;
    }
    size_t fixed = 0;
    if (label == 0x01) fixed = 13;       // plain text: its 12-byte block and the size byte
    else if (label == 0xFF) fixed = 12;  // application: its 11-byte block and the size byte
    else if (label != 0xFE) return false;
    if (s.size() - pos < fixed) break;
    pos += fixed;
    if (!skip_sub_blocks(s, pos)) break;
  }
  // Ran past the end of the stream: start again next time.
  pos = 0;
  return false;
}

void rewind_gif(GifStream& state) { state.read_position = 0; }

std::optional<DecodedPicture> check_gif(ByteSpan bytes) {
  if (!bytes.data || bytes.size <= kHeaderSize || !has_signature(bytes.data)) return std::nullopt;
  if (bytes.size <= kHeaderSize + global_table_bytes(bytes.data[10])) return std::nullopt;
  DecodedPicture picture;
  picture.kind = PictureKind::gif;
  picture.width = load_u16(bytes.data + 6);
  picture.height = load_u16(bytes.data + 8);
  return picture;
}

}  // namespace korvane
