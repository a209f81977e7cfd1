#include "picture/scaler.h"

#include <memory>
#include <numeric>
#include <vector>

namespace korvane {
namespace {

// Exact area averaging. Along one axis, source pixel i covers [i * t, (i + 1) * t) and target
// pixel j covers [j * s, (j + 1) * s) in units of 1 / (s * t) of the whole length (s source
// pixels, t target pixels), so every overlap is an integer; dividing positions by gcd(s, t) keeps
// the numbers small. A target pixel's span is cut into a partial first source pixel, whole
// interior pixels (weight `full` each) and a partial last pixel, which lets the interior be summed
// without multiplications when shrinking.
struct Span {
  int32_t first = 0;       // first source index touched
  int32_t interior = 0;    // whole source pixels after `first`, each of weight `full`
  uint64_t first_weight = 0;
  uint64_t last_weight = 0;  // of source index first + interior + 1; 0 when there is none
};

struct AxisWeights {
  std::vector<Span> spans;  // one per target pixel
  uint64_t full = 0;        // weight of a whole source pixel
  uint64_t total = 0;       // sum of one target pixel's weights
};

AxisWeights axis_weights(int32_t source, int32_t target) {
  AxisWeights axis;
  const uint64_t g = std::gcd(static_cast<uint64_t>(source), static_cast<uint64_t>(target));
  const uint64_t s = static_cast<uint64_t>(source) / g;  // a target pixel's length in units
  const uint64_t t = static_cast<uint64_t>(target) / g;  // a source pixel's length in units
  axis.full = t;
  axis.total = s;
  axis.spans.resize(static_cast<size_t>(target));
  for (int32_t j = 0; j < target; ++j) {
    const uint64_t a = static_cast<uint64_t>(j) * s;
    const uint64_t b = a + s;
    const uint64_t first = a / t;
    const uint64_t last = (b - 1) / t;
    Span& span = axis.spans[static_cast<size_t>(j)];
    span.first = static_cast<int32_t>(first);
    if (first == last) {
      span.first_weight = s;
    } else {
      span.first_weight = (first + 1) * t - a;
      span.last_weight = b - last * t;
      span.interior = static_cast<int32_t>(last - first - 1);
    }
  }
  return axis;
}

bool usable(const ImageView& v) {
  return v.rows && v.width > 0 && v.height > 0 && (v.bytes_per_pixel == 3 || v.bytes_per_pixel == 4);
}
bool usable(const MutableImageView& v) {
  return v.rows && v.width > 0 && v.height > 0 && (v.bytes_per_pixel == 3 || v.bytes_per_pixel == 4);
}

const uint8_t* row_at(const ImageView& v, int32_t y) { return v.rows + static_cast<ptrdiff_t>(y) * v.stride; }
uint8_t* row_at(const MutableImageView& v, int32_t y) { return v.rows + static_cast<ptrdiff_t>(y) * v.stride; }

// Channels averaged: blue, green, red, and the fourth byte too when both sides have one.
int32_t channels_of(const ImageView& source, const MutableImageView& target) {
  return source.bytes_per_pixel == 4 && target.bytes_per_pixel == 4 ? 4 : 3;
}

// One source row filtered horizontally: per target pixel and channel, the weighted sum of the
// source pixels it covers (at most source width * 255 * total).
template <int kSourceBpp>
void filter_row(const uint8_t* row, const AxisWeights& axis, int32_t channels, uint64_t* out) {
  // One pass over each span's interior for all channels at once: the row is read in order,
  // which is what keeps a 100-megapixel source at memory speed.
  for (const Span& span : axis.spans) {
    const uint8_t* p = row + static_cast<ptrdiff_t>(span.first) * kSourceBpp;
    uint64_t interior[4] = {0, 0, 0, 0};
    const uint8_t* q = p + kSourceBpp;
    for (int32_t k = 0; k < span.interior; ++k, q += kSourceBpp) {
      interior[0] += q[0];
      interior[1] += q[1];
      interior[2] += q[2];
      if (kSourceBpp == 4) interior[3] += q[3];
    }
    const uint8_t* last = p + static_cast<ptrdiff_t>(span.interior + 1) * kSourceBpp;
    for (int32_t c = 0; c < channels; ++c) {
      uint64_t sum = span.first_weight * p[c] + interior[c] * axis.full;
      if (span.last_weight) sum += span.last_weight * last[c];
      *out++ = sum;
    }
  }
}

void write_pixel_row(const uint64_t* sums, uint64_t total, int32_t width, int32_t channels,
                     uint8_t* out, int32_t target_bpp) {
  const uint64_t half = total / 2;
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t c = 0; c < channels; ++c) out[c] = static_cast<uint8_t>((sums[c] + half) / total);
    if (target_bpp == 4 && channels == 3) out[3] = 0;
    sums += channels;
    out += target_bpp;
  }
}

// Streams the source once, top to bottom: each source row is filtered horizontally once (the
// last filtered row is kept, since neighbouring target rows can share a source row) and added,
// weighted, into the current target row's sums.
template <int kSourceBpp>
bool area_average(const ImageView& source, const MutableImageView& target, int32_t first_row, int32_t end_row,
                  RowGate* gate) {
  const int32_t channels = channels_of(source, target);
  const AxisWeights columns = axis_weights(source.width, target.width);
  const AxisWeights rows = axis_weights(source.height, target.height);
  const size_t row_values = static_cast<size_t>(target.width) * static_cast<size_t>(channels);
  std::vector<uint64_t> filtered(row_values);
  std::vector<uint64_t> sums(row_values);
  int32_t filtered_index = -1;
  bool abandoned = false;
  auto filtered_row = [&](int32_t y) -> const uint64_t* {
    if (y != filtered_index && gate && !abandoned && !gate->wait_for_rows(y + 1)) abandoned = true;
    if (abandoned) return filtered.data();
    if (y != filtered_index) {
      filter_row<kSourceBpp>(row_at(source, y), columns, channels, filtered.data());
      filtered_index = y;
    }
    return filtered.data();
  };
  auto add = [&](int32_t y, uint64_t weight) {
    const uint64_t* f = filtered_row(y);
    for (size_t i = 0; i < row_values; ++i) sums[i] += weight * f[i];
  };
  const uint64_t total = columns.total * rows.total;
  for (int32_t ty = first_row; ty < end_row; ++ty) {
    const Span& span = rows.spans[static_cast<size_t>(ty)];
    std::fill(sums.begin(), sums.end(), 0);
    add(span.first, span.first_weight);
    for (int32_t k = 1; k <= span.interior; ++k) add(span.first + k, rows.full);
    if (span.last_weight) add(span.first + span.interior + 1, span.last_weight);
    if (abandoned) return false;
    write_pixel_row(sums.data(), total, target.width, channels, row_at(target, ty), target.bytes_per_pixel);
  }
  return true;
}

// The sums above stay below total * 255; beyond this many weight units per target pixel they
// could leave 64 bits, and the nearest-pixel scaler stands in (no real picture comes near: the
// decoders refuse anything above 2^28 pixels).
constexpr uint64_t kMaxTotal = uint64_t{1} << 55;

}  // namespace

void scale_nearest(const ImageView& source, const MutableImageView& target) {
  if (!usable(source) || !usable(target)) return;
  const int32_t channels = channels_of(source, target);
  // Each target pixel takes the source pixel under its centre.
  std::vector<int32_t> columns(static_cast<size_t>(target.width));
  for (int32_t x = 0; x < target.width; ++x) {
    columns[static_cast<size_t>(x)] = static_cast<int32_t>(
        (static_cast<uint64_t>(2 * static_cast<int64_t>(x) + 1) * static_cast<uint64_t>(source.width)) /
        (2 * static_cast<uint64_t>(target.width)));
  }
  for (int32_t y = 0; y < target.height; ++y) {
    const int32_t sy = static_cast<int32_t>(
        (static_cast<uint64_t>(2 * static_cast<int64_t>(y) + 1) * static_cast<uint64_t>(source.height)) /
        (2 * static_cast<uint64_t>(target.height)));
    const uint8_t* in = row_at(source, sy);
    uint8_t* out = row_at(target, y);
    for (int32_t x = 0; x < target.width; ++x) {
      const uint8_t* p = in + static_cast<ptrdiff_t>(columns[static_cast<size_t>(x)]) * source.bytes_per_pixel;
      for (int32_t c = 0; c < channels; ++c) out[c] = p[c];
      if (target.bytes_per_pixel == 4 && channels == 3) out[3] = 0;
      out += target.bytes_per_pixel;
    }
  }
}

void scale_area_average(const ImageView& source, const MutableImageView& target) {
  scale_area_average_rows(source, target, 0, usable(target) ? target.height : 0);
}

namespace {
bool scale_rows(const ImageView& source, const MutableImageView& target, int32_t first_row, int32_t end_row,
                RowGate* gate) {
  if (!usable(source) || !usable(target)) return false;
  if (first_row < 0) first_row = 0;
  if (end_row > target.height) end_row = target.height;
  if (first_row >= end_row) return false;
  const uint64_t gx = std::gcd(static_cast<uint64_t>(source.width), static_cast<uint64_t>(target.width));
  const uint64_t gy = std::gcd(static_cast<uint64_t>(source.height), static_cast<uint64_t>(target.height));
  const uint64_t x_total = static_cast<uint64_t>(source.width) / gx;
  const uint64_t y_total = static_cast<uint64_t>(source.height) / gy;
  if (x_total > kMaxTotal / y_total) {
    if (gate && !gate->wait_for_rows(source.height)) return false;
    scale_nearest(source, target);
    return true;
  }
  return source.bytes_per_pixel == 4 ? area_average<4>(source, target, first_row, end_row, gate)
                                     : area_average<3>(source, target, first_row, end_row, gate);
}
}  // namespace

void scale_area_average_rows(const ImageView& source, const MutableImageView& target, int32_t first_row,
                             int32_t end_row) {
  scale_rows(source, target, first_row, end_row, nullptr);
}

bool scale_area_average(const ImageView& source, const MutableImageView& target, RowGate& gate) {
  return scale_rows(source, target, 0, usable(target) ? target.height : 0, &gate);
}

}  // namespace korvane
