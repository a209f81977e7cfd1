// The shape of a picture button: the picture's pixels that do not have the key colour, as
// rectangles of single-row runs. Input is a 32-bit buffer read top row first, `width` pixels
// per row, each pixel a little-endian word 0x00RRGGBB (blue in its lowest byte, as a 32-bit DIB
// holds it); the high byte is ignored. The buffer is borrowed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace korvane {

// Right and bottom edges excluded, as Win32 RECTs are.
struct ShapeRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Rectangles are handed over this many at a time, the most one region is made from.
constexpr size_t kShapeBatchSize = 2000;

// Walks the rows top to bottom; each run of pixels differing from `key` in red, green or blue
// becomes one rectangle. `deliver` gets every full batch of kShapeBatchSize rectangles as soon as
// it is collected, then once the remainder, possibly empty. Nothing is delivered when the sizes
// are not positive or the buffer is missing.
using ShapeBatchSink = std::function<void(const ShapeRect* rects, size_t count)>;
void build_picture_shape(const uint32_t* pixels, int32_t width, int32_t height, uint32_t key,
                         const ShapeBatchSink& deliver);

}  // namespace korvane
