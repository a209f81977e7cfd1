// Shared by the picture tests: a scratch folder, ImageMagick to make fixtures and to decode them
// for comparison, small byte writers for fixtures we build ourselves, and the decoded picture
// as top-down blue-green-red rows (ImageMagick's "bgr:" layout).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "picture/picture.h"
#include "picture/true_colour.h"

namespace korvane::test {

using ByteVector = std::vector<uint8_t>;

inline ByteSpan span_of(const ByteVector& v) { return ByteSpan{v.data(), v.size()}; }

inline const std::string& scratch_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/korvane-picture-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

inline std::string scratch_path(const std::string& name) { return scratch_dir() + "/" + name; }

inline ByteVector read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::string& path, const ByteVector& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs ImageMagick's convert with the arguments; true on success.
inline bool convert(const std::string& arguments) {
  const std::string command = "convert " + arguments + " 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

// ImageMagick's decode of a file (its first frame, flattened on white) as top-down BGR rows.
inline ByteVector imagemagick_bgr(const std::string& path, const std::string& options = "") {
  const std::string out = path + ".bgr";
  if (!convert("'" + path + "[0]' " + options + " -background white -flatten -depth 8 bgr:'" + out + "'")) return {};
  return read_bytes(out);
}

// Our decode as top-down BGR rows.
inline ByteVector our_bgr(const ByteVector& file, int32_t* width = nullptr, int32_t* height = nullptr) {
  const ByteSpan bytes = span_of(file);
  std::optional<DecodedPicture> picture = decode_picture(bytes);
  if (!picture) return {};
  std::optional<TrueColourImage> image = to_true_colour(*picture, bytes);
  if (!image) return {};
  if (width) *width = image->width;
  if (height) *height = image->height;
  const size_t row = size_t(image->width) * 3;
  ByteVector top_down(image->pixels.size());
  for (int32_t y = 0; y < image->height; ++y)
    std::copy_n(image->pixels.data() + size_t(image->height - 1 - y) * row, row, top_down.data() + size_t(y) * row);
  return top_down;
}

inline void put16(ByteVector& v, size_t at, uint32_t x) {
  if (v.size() < at + 2) v.resize(at + 2);
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
inline void put32(ByteVector& v, size_t at, uint32_t x) {
  put16(v, at, x);
  put16(v, at + 2, x >> 16);
}
inline void append(ByteVector& v, std::initializer_list<int> bytes) {
  for (int b : bytes) v.push_back(uint8_t(b));
}

}  // namespace korvane::test
