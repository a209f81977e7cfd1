#include "values/text.h"

#include <cmath>
#include <cstring>

#include "values/allocation.h"

namespace korvane {

const char kEmptyText[] = "";

Text& Text::operator=(Text&& other) noexcept {
  if (this != &other) {
    release(bytes_);
    bytes_ = other.bytes_;
    other.bytes_ = nullptr;
  }
  return *this;
}

Text::~Text() { release(bytes_); }

Text Text::copy_of(const char* s) { return s ? copy_of(s, text_length(s)) : Text(); }

Text Text::copy_of(const char* s, int32_t length) {
  if (!s || length <= 0) return Text();
  char* block = static_cast<char*>(allocate(static_cast<uint32_t>(length) + 1));
  std::memcpy(block, s, static_cast<size_t>(length));
  block[length] = '\0';
  return adopt(block);
}

Text Text::adopt(char* block) {
  Text t;
  t.bytes_ = block;
  return t;
}

int32_t Text::length() const { return bytes_ ? text_length(bytes_) : 0; }

int compare_texts(const char* a, const char* b) {
  if (!a) return (!b || !*b) ? 0 : -1;
  if (!b) return *a ? 1 : 0;
  const auto* pa = reinterpret_cast<const unsigned char*>(a);
  const auto* pb = reinterpret_cast<const unsigned char*>(b);
  for (;; ++pa, ++pb) {
    if (*pa != *pb) return *pa < *pb ? -1 : 1;
    if (!*pa) return 0;
  }
}

int32_t text_length(const char* t) { return static_cast<int32_t>(std::strlen(t)); }

Text concatenate_texts(std::initializer_list<const char*> parts) {
  uint32_t total = 0;
  for (const char* p : parts) total += p ? static_cast<uint32_t>(text_length(p)) : 0;
  char* block = static_cast<char*>(allocate(total + 1));
  char* out = block;
  for (const char* p : parts) {
    if (!p) continue;
    size_t n = std::strlen(p);
    std::memcpy(out, p, n);
    out += n;
  }
  *out = '\0';
  return Text::adopt(block);
}

int64_t truncate_to_integer(double x) {
  // 2^63 is exactly representable; anything at or past it (or NaN) is out of range.
  if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(x);
}

Text right_part(const char* t, int32_t n) {
  if (n <= 0) return Text();
  int32_t length = text_length(t);
  if (n > length) n = length;
  return Text::copy_of(t + (length - n), n);
}

namespace {
bool same_bytes(const unsigned char* a, const unsigned char* b, int32_t m, bool case_insensitive) {
  for (int32_t i = 0; i < m; ++i) {
    unsigned char x = a[i], y = b[i];
    if (case_insensitive) {
      if (x >= 'A' && x <= 'Z') x += 0x20;
      if (y >= 'A' && y <= 'Z') y += 0x20;
    }
    if (x != y) return false;
  }
  return true;
}
}  // namespace

int32_t reverse_find(const char* t, const char* needle, std::optional<int32_t> start, bool case_insensitive) {
  const auto* text = reinterpret_cast<const unsigned char*>(t);
  const auto* n = reinterpret_cast<const unsigned char*>(needle);
  int32_t length = text_length(t);
  int32_t m = text_length(needle);
  int32_t limit = length;
  if (start) {
    int32_t s = *start > 0 ? *start - 1 : 0;
    limit = s == 0 ? 0 : (s < length ? s : length);
  }
  if (m == 0) return limit > 0 ? 1 : -1;
  int32_t result = -1;
  int32_t k = 0;
  while (limit - k >= m) {
    if (same_bytes(text + k, n, m, case_insensitive)) result = k + 1;
    if (text[k] & 0x80) {
      if (text[k + 1] == 0) break;
      k += 2;
    } else {
      k += 1;
    }
  }
  return result;
}

Text to_lower_case(const char* t) {
  Text copy = Text::copy_of(t);
  if (copy.missing()) return copy;
  auto* p = reinterpret_cast<unsigned char*>(const_cast<char*>(copy.get()));
  while (*p) {
    if (*p >= 'A' && *p <= 'Z') {
      *p += 0x20;
      ++p;
    } else if (*p & 0x80) {
      if (p[1] == 0) break;
      p += 2;
    } else {
      ++p;
    }
  }
  return copy;
}

}  // namespace korvane
