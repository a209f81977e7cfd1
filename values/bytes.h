// Byte values: a counted block of bytes (file contents, pictures, captures). A missing value
// (no block) reads as the empty byte value. `Bytes` owns its block, which comes from the
// allocation service, and is move-only; no block of length 0 is ever allocated.
// `ByteSpan` is a borrowed view used for arguments.
#pragma once
#include <cstddef>
#include <cstdint>

namespace korvane {

struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool empty() const { return size == 0; }
};

class Bytes {
 public:
  Bytes() = default;
  Bytes(const Bytes&) = delete;
  Bytes& operator=(const Bytes&) = delete;
  Bytes(Bytes&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  Bytes& operator=(Bytes&& other) noexcept;
  ~Bytes();

  // An uninitialised value of n bytes (missing when n is 0).
  static Bytes allocate(int32_t n);
  static Bytes copy_of(ByteSpan span);
  static Bytes copy_of(const void* data, size_t size) {
    return copy_of(ByteSpan{static_cast<const uint8_t*>(data), size});
  }

  bool missing() const { return data_ == nullptr; }
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  int32_t size() const { return size_; }
  ByteSpan span() const { return ByteSpan{data_, static_cast<size_t>(size_)}; }

 private:
  uint8_t* data_ = nullptr;
  int32_t size_ = 0;
};

}  // namespace korvane
