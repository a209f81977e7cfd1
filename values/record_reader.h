// A bounds-checked little-endian reader over stored records (the window definition and the
// controls' settings records). Every read either succeeds whole or fails and leaves the reader
// failed; a failed reader answers every later read with failure, so a parser can read a run of
// fields and test `ok()` once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "values/bytes.h"

namespace korvane {

class RecordReader {
 public:
  explicit RecordReader(ByteSpan span) : data_(span.data), size_(span.size) {}

  bool ok() const { return ok_; }
  bool at_end() const { return position_ == size_; }
  size_t position() const { return position_; }
  size_t remaining() const { return ok_ ? size_ - position_ : 0; }

  bool u32(uint32_t& out) {
    if (!need(4)) return false;
    const uint8_t* p = data_ + position_;
    out = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    position_ += 4;
    return true;
  }
  bool i32(int32_t& out) {
    uint32_t v;
    if (!u32(v)) return false;
    out = static_cast<int32_t>(v);
    return true;
  }
  // A 32-bit byte count followed by that many bytes (no NUL); the span points into the record.
  bool counted(ByteSpan& out) {
    uint32_t n;
    if (!u32(n) || !need(n)) return fail();
    out = ByteSpan{data_ + position_, n};
    position_ += n;
    return true;
  }
  // A NUL-terminated text; the span excludes the NUL.
  bool nul_terminated(ByteSpan& out) {
    if (!ok_) return false;
    const void* nul = std::memchr(data_ + position_, 0, size_ - position_);
    if (!nul) return fail();
    size_t n = static_cast<const uint8_t*>(nul) - (data_ + position_);
    out = ByteSpan{data_ + position_, n};
    position_ += n + 1;
    return true;
  }
  bool skip(size_t n) {
    if (!need(n)) return false;
    position_ += n;
    return true;
  }
  // The unread rest of the record.
  ByteSpan rest() const { return ok_ ? ByteSpan{data_ + position_, size_ - position_} : ByteSpan{}; }

 private:
  bool need(size_t n) {
    if (!ok_ || n > size_ - position_) return fail();
    return true;
  }
  bool fail() {
    ok_ = false;
    return false;
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace korvane
