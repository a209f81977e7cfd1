// Text values: NUL-terminated byte strings in code page 936 (all string literals in this program
// are compiled to code page 936). A missing text (null) reads as the empty text everywhere.
// `Text` owns a block from the allocation service and is move-only; operations whose result is
// empty return a missing Text, except concatenate_texts, which always allocates.
// All operations count and compare bytes, not characters.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace korvane {

extern const char kEmptyText[];  // the shared empty text: never released

class Text {
 public:
  Text() = default;
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  Text(Text&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = nullptr; }
  Text& operator=(Text&& other) noexcept;
  ~Text();

  // A new text holding a copy of s, or missing when s is null or empty.
  static Text copy_of(const char* s);
  static Text copy_of(const char* s, int32_t length);
  // Takes ownership of a NUL-terminated block from allocate().
  static Text adopt(char* block);

  bool missing() const { return bytes_ == nullptr; }
  // The text, or the shared empty text when missing: always readable.
  const char* c_str() const { return bytes_ ? bytes_ : kEmptyText; }
  // Null when missing, for operations that accept a missing text.
  const char* get() const { return bytes_; }
  int32_t length() const;

 private:
  char* bytes_ = nullptr;
};

// -1, 0 or 1; either side may be null (missing).
int compare_texts(const char* a, const char* b);
// Bytes before the NUL; t must not be null.
int32_t text_length(const char* t);
// Always allocated, even when every part is empty; null parts count as empty.
Text concatenate_texts(std::initializer_list<const char*> parts);
// Toward zero; outside the 64-bit range (and NaN) gives -2^63.
int64_t truncate_to_integer(double x);
// The last n bytes of t; missing when n <= 0 or the result is empty.
Text right_part(const char* t, int32_t n);
// 1-based position of the last N in T that starts on a character boundary, or -1.
// start absent searches the whole text; present, the match must lie within the first start-1 bytes.
int32_t reverse_find(const char* t, const char* needle, std::optional<int32_t> start = std::nullopt,
                     bool case_insensitive = false);
// ASCII A-Z lowered, double-byte characters untouched; missing when t is empty.
Text to_lower_case(const char* t);

}  // namespace korvane
