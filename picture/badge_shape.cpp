#include "picture/badge_shape.h"

namespace korvane {

void build_picture_shape(const uint32_t* pixels, int32_t width, int32_t height, uint32_t key,
                         const ShapeBatchSink& deliver) {
  if (!pixels || width <= 0 || height <= 0) return;
  constexpr uint32_t kColour = 0x00FFFFFF;
  key &= kColour;
  // Room for 100 rectangles at first, growing by 100 at a time up to a batch.
  std::vector<ShapeRect> rects;
  rects.reserve(100);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * width;
    int32_t x = 0;
    while (x < width) {
      const int32_t start = x;
      while (x < width && (row[x] & kColour) != key) ++x;
      if (x > start) {
        if (rects.size() == rects.capacity()) rects.reserve(rects.capacity() + 100);
        rects.push_back(ShapeRect{start, y, x, y + 1});
        if (rects.size() == kShapeBatchSize) {
          deliver(rects.data(), rects.size());
          rects.clear();
        }
      }
      ++x;  // over the see-through pixel
    }
  }
  deliver(rects.data(), rects.size());
}

}  // namespace korvane
