#include "values/bytes.h"

#include <cstring>

#include "values/allocation.h"

namespace korvane {

Bytes& Bytes::operator=(Bytes&& other) noexcept {
  if (this != &other) {
    release(data_);
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

Bytes::~Bytes() { release(data_); }

Bytes Bytes::allocate(int32_t n) {
  Bytes b;
  if (n <= 0) return b;
  b.data_ = static_cast<uint8_t*>(korvane::allocate(static_cast<uint32_t>(n)));
  b.size_ = n;
  return b;
}

Bytes Bytes::copy_of(ByteSpan span) {
  // A byte value's length is a signed 32-bit count.
  if (span.size == 0 || span.size > 0x7FFFFFFF) return Bytes();
  Bytes b = allocate(static_cast<int32_t>(span.size));
  std::memcpy(b.data_, span.data, span.size);
  return b;
}

}  // namespace korvane
