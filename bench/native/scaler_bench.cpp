// Time of one area-averaging and one nearest-pixel scale of a 100-megapixel picture into the
// 150 x 150 frame, and of enlarging a 100 x 50 picture, in milliseconds.
#include <chrono>
#include <cstdio>
#include <vector>

#include "picture/scaler.h"

namespace {

template <typename F>
double milliseconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  using namespace korvane;
  const int32_t w = 12500, h = 8000;  // 100 megapixels
  std::vector<uint8_t> big(size_t(w) * h * 3);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 2654435761u >> 13);
  std::vector<uint8_t> frame(150 * 150 * 3);
  const ImageView source{big.data(), w, h, ptrdiff_t(w) * 3, 3};
  const MutableImageView target{frame.data(), 150, 150, 450, 3};
  std::printf("scale_area_average_100mp_ms: %.1f\n", milliseconds([&] { scale_area_average(source, target); }));
  std::printf("scale_nearest_100mp_ms: %.1f\n", milliseconds([&] { scale_nearest(source, target); }));
  const ImageView small{big.data(), 100, 50, 300, 3};
  std::printf("scale_area_average_enlarge_100x50_ms: %.3f\n",
              milliseconds([&] { scale_area_average(small, target); }));
  volatile uint8_t sink = frame[0];  // keeps the work observable
  (void)sink;
  return 0;
}
