// Picture box speed under Wine:
//   repaint_large_vs_small  repaint time (InvalidateRect + UpdateWindow) with a 100-megapixel
//                           picture shown, divided by the time with a 150 x 150 one
//   gif_player_cpu          CPU time of the player thread per second of playing a 100-frame
//                           1000 x 1000 GIF at 10 frames a second, as a fraction of one core
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/picture_box_win32.h"
#include "tests/native/gif_writer.h"

namespace {

using korvane::ByteSpan;
using korvane::PictureBox;

LRESULT CALLBACK parent_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

HWND make_parent() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = parent_procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "KorvaneBenchParent";
  RegisterClassExA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 200, 200,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

void pump(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (GetTickCount64() >= end) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount64() < end);
}

std::unique_ptr<PictureBox> make_box(HWND parent) {
  std::vector<uint8_t> record;
  for (uint32_t v : {2u, 0u, 0x00FFFFFFu, 1u, 1u, 0u, 0u, 0u}) {
    for (int i = 0; i < 4; ++i) record.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  korvane::ControlPlace place;
  place.left = 2;
  place.top = 1;
  place.width = 150;
  place.height = 150;
  place.child_id = 120;
  auto box = PictureBox::create(ByteSpan{record.data(), record.size()}, place, parent);
  if (box) ShowWindow(box->hwnd(), SW_SHOWNA);
  return box;
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A 24-bit BMP whose pixels vary along both axes.
std::vector<uint8_t> bmp_of(int32_t width, int32_t height) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> out(54 + static_cast<size_t>(row) * static_cast<size_t>(height));
  out[0] = 'B';
  out[1] = 'M';
  put32(&out[2], static_cast<uint32_t>(out.size()));
  put32(&out[10], 54);
  put32(&out[14], 40);
  put32(&out[18], static_cast<uint32_t>(width));
  put32(&out[22], static_cast<uint32_t>(height));
  out[26] = 1;
  out[28] = 24;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = &out[54 + static_cast<size_t>(y) * row];
    for (int32_t x = 0; x < width; ++x) {
      p[x * 3] = static_cast<uint8_t>(x);
      p[x * 3 + 1] = static_cast<uint8_t>(y);
      p[x * 3 + 2] = static_cast<uint8_t>(x ^ y);
    }
  }
  return out;
}

// Seconds per repaint, the best of a few rounds (the machine is shared).
double repaint_seconds(HWND box, int repeats) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    // Each paint hands an image to the X server; let it catch up before a round, so that no
    // round pays for the one before it.
    GdiFlush();
    Sleep(300);
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < repeats; ++i) {
      InvalidateRect(box, nullptr, FALSE);
      UpdateWindow(box);
    }
    GdiFlush();
    QueryPerformanceCounter(&t1);
    best = std::min(best, static_cast<double>(t1.QuadPart - t0.QuadPart) / frequency.QuadPart / repeats);
  }
  return best;
}

double repaint_large_vs_small(PictureBox& box) {
  constexpr int kRepeats = 400;
  {
    const std::vector<uint8_t> small = bmp_of(150, 150);
    box.set_picture(ByteSpan{small.data(), small.size()});
  }
  pump(50);
  const double small_time = repaint_seconds(box.hwnd(), kRepeats);
  {
    const std::vector<uint8_t> large = bmp_of(12500, 8000);  // 100 megapixels
    box.set_picture(ByteSpan{large.data(), large.size()});
  }
  pump(50);  // the first paint scales; the repaints measured below reuse its result
  const double large_time = repaint_seconds(box.hwnd(), kRepeats);
  box.set_picture(ByteSpan{});
  pump(20);
  std::printf("repaint_small_us: %.0f\nrepaint_large_us: %.0f\n", small_time * 1e6, large_time * 1e6);
  return large_time / small_time;
}

double gif_player_cpu(PictureBox& box) {
  constexpr int kSide = 1000, kFrames = 100;
  std::vector<uint32_t> table(256);
  for (uint32_t i = 0; i < 256; ++i) table[i] = (i * 0x010203u) & 0xFFFFFF;
  std::vector<korvane::test::GifTestImage> frames(kFrames);
  for (int f = 0; f < kFrames; ++f) {
    korvane::test::GifTestImage& frame = frames[static_cast<size_t>(f)];
    frame.width = kSide;
    frame.height = kSide;
    frame.delay = 10;  // 10 frames a second
    frame.indices.resize(static_cast<size_t>(kSide) * kSide);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        frame.indices[static_cast<size_t>(y) * kSide + x] = static_cast<uint8_t>((x + y + f * 7) / 8);
  }
  {
    const std::vector<uint8_t> gif = korvane::test::make_gif(kSide, kSide, table, frames);
    box.set_picture(ByteSpan{gif.data(), gif.size()});
  }
  frames.clear();
  pump(100);  // the first paint starts the player
  HANDLE player = box.player_thread();
  if (!player) return -1;
  auto cpu_seconds = [player] {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(player, &created, &exited, &kernel, &user);
    auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
  };
  pump(500);  // past the first frames
  const double cpu0 = cpu_seconds();
  const ULONGLONG t0 = GetTickCount64();
  pump(10000);
  const double cpu1 = cpu_seconds();
  const double wall = static_cast<double>(GetTickCount64() - t0) / 1000.0;
  box.set_picture(ByteSpan{});
  pump(20);
  return (cpu1 - cpu0) / wall;
}

}  // namespace

int main() {
  HWND parent = make_parent();
  std::unique_ptr<PictureBox> box = make_box(parent);
  if (!parent || !box) {
    std::fprintf(stderr, "picture_box_bench: no window\n");
    return 1;
  }
  pump(100);
  std::printf("repaint_large_vs_small: %.3f\n", repaint_large_vs_small(*box));
  std::fflush(stdout);
  std::printf("gif_player_cpu: %.3f\n", gif_player_cpu(*box));
  std::fflush(stdout);
  box.reset();
  DestroyWindow(parent);
  return 0;
}
