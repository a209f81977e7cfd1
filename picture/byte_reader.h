// One bounds-checked little-endian reader over a picture's bytes, and checked 64-bit size
// arithmetic. Every read either succeeds whole or fails; a short read is an answer the decoder
// must act on, never a silent zero. Positions are absolute offsets into the span.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "values/bytes.h"

namespace korvane {

// Size arithmetic for header-supplied values. Each operand is below 2^32 where the decoders use
// them, so a 64-bit product cannot wrap; the helpers still saturate so that a caller which chains
// them never sees a small wrapped number.
constexpr uint64_t kSizeOverflow = ~uint64_t{0};

inline uint64_t checked_mul(uint64_t a, uint64_t b) {
  if (a != 0 && b > kSizeOverflow / a) return kSizeOverflow;
  return a * b;
}
inline uint64_t checked_add(uint64_t a, uint64_t b) {
  if (b > kSizeOverflow - a) return kSizeOverflow;
  return a + b;
}
inline uint64_t round_up(uint64_t value, uint64_t multiple) {
  uint64_t r = value % multiple;
  return r == 0 ? value : checked_add(value, multiple - r);
}

inline uint16_t load_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t load_u32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

class ByteReader {
 public:
  explicit ByteReader(ByteSpan span) : data_(span.data), size_(span.data ? span.size : 0) {}

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  // True when [offset, offset + count) lies inside the bytes.
  bool has(uint64_t offset, uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  bool u8(uint64_t offset, uint8_t& out) const {
    if (!has(offset, 1)) return false;
    out = data_[offset];
    return true;
  }
  bool u16(uint64_t offset, uint16_t& out) const {
    if (!has(offset, 2)) return false;
    out = load_u16(data_ + offset);
    return true;
  }
  bool u32(uint64_t offset, uint32_t& out) const {
    if (!has(offset, 4)) return false;
    out = load_u32(data_ + offset);
    return true;
  }
  bool i32(uint64_t offset, int32_t& out) const {
    uint32_t v;
    if (!u32(offset, v)) return false;
    out = static_cast<int32_t>(v);
    return true;
  }
  // A view of count bytes at offset, or failure when they are not all there.
  bool span(uint64_t offset, uint64_t count, ByteSpan& out) const {
    if (!has(offset, count)) return false;
    out = ByteSpan{data_ + offset, static_cast<size_t>(count)};
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace korvane
