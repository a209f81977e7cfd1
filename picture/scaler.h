// Scaling a picture into the picture box's frame.
// Images are described by `ImageView`: `rows` points at the top row's first byte and `stride` is
// the signed distance from one row to the row below, so a bottom-up buffer has its last stored
// row as `rows` and a negative stride. Pixels are blue, green, red (3 bytes) or blue, green,
// red, unused (4 bytes).
#pragma once
#include <cstddef>
#include <cstdint>

namespace korvane {

struct ImageView {
  const uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t stride = 0;
  int32_t bytes_per_pixel = 3;
};

struct MutableImageView {
  uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t stride = 0;
  int32_t bytes_per_pixel = 3;
};

// Area averaging (stands for HALFTONE): each destination pixel is the mean of the source area
// it covers, weighted by coverage; works for shrinking and enlarging, each axis on its own.
void scale_area_average(const ImageView& source, const MutableImageView& target);

// The same for target rows [first_row, end_row) only, weighted exactly as the whole would be:
// separate row ranges can be computed at the same time, on separate threads.
void scale_area_average_rows(const ImageView& source, const MutableImageView& target, int32_t first_row,
                             int32_t end_row);

// A source that is still being written, top row first: the area-averaging scaler asks before it
// reads each source row. wait_for_rows(n) returns once the top n rows are there, or false to
// abandon the scale (the target is then left partly written).
class RowGate {
 public:
  virtual ~RowGate() = default;
  virtual bool wait_for_rows(int32_t rows) = 0;
};
// Area averaging of a source that arrives row by row; true when it ran to the end.
bool scale_area_average(const ImageView& source, const MutableImageView& target, RowGate& gate);

// Nearest pixel (stands for COLORONCOLOR): whole rows and columns are dropped or repeated.
void scale_nearest(const ImageView& source, const MutableImageView& target);

}  // namespace korvane
