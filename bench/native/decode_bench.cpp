// Decoder speed against the libraries people trust, measured side by side in one run on inputs
// made here: a 100-frame 1000 x 1000 animated GIF (written with giflib), a 24-megapixel
// photo-like JPEG (written with libjpeg) and a 100-megapixel 24-bit BMP. Prints:
//   gif_vs_giflib: our frame throughput / giflib's (DGifSlurp and mapping to the same output)
//   jpeg_vs_libjpeg: libjpeg's jpeg_read_scanlines time / our whole decode to true colour
//   bmp_vs_memcpy: memcpy of the pixel bytes / our decode
// Each figure is the best of a few runs. Above 1 we are faster.
#include <gif_lib.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "tests/native/jpeg_writer.h"

#include "picture/decoders.h"
#include "picture/gif.h"

namespace {

using Clock = std::chrono::steady_clock;
volatile uint8_t sink;
using Bytes = std::vector<uint8_t>;

double best_seconds(int runs, const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    work();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    if (s < best) best = s;
  }
  return best;
}

// Photo-like content: smooth gradients, a few shapes, mild noise, shifting from frame to frame.
uint8_t photo_sample(uint32_t x, uint32_t y, uint32_t frame, uint32_t channel, uint32_t& noise) {
  noise = noise * 1664525u + 1013904223u;
  const uint32_t cx = x + frame * 7, cy = y + frame * 3;
  uint32_t v = (cx * (channel + 1) / 5 + cy / 3 + ((cx / 97 + cy / 61) % 3) * 40) & 0xFF;
  if (((cx - 300) * (cx - 300) + (cy - 400) * (cy - 400)) < 40000) v = (v + 120) & 0xFF;
  return static_cast<uint8_t>((v + (noise >> 29)) & 0xFF);
}

int write_to_bytes(GifFileType* gif, const GifByteType* data, int n) {
  Bytes* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

Bytes make_gif(int width, int height, int frames) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write_to_bytes, &error);
  ColorMapObject* global = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) global->Colors[i] = GifColorType{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)};
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, global);
  std::vector<GifPixelType> line(width);
  uint32_t noise = 1;
  for (int f = 0; f < frames; ++f) {
    GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 4, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    // Every other frame carries a local table, as real animations mix both.
    ColorMapObject* local = (f % 2) ? GifMakeMapObject(256, global->Colors) : nullptr;
    EGifPutImageDesc(gif, 0, 0, width, height, false, local);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        // Palette indices with the locality of a dithered photo: runs broken by noise.
        line[x] = static_cast<GifPixelType>((photo_sample(x / 4, y / 4, f, 0, noise) & 0xF0) | (noise >> 28));
      }
      EGifPutLine(gif, line.data(), width);
    }
    if (local) GifFreeMapObject(local);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(global);
  return out;
}

struct MemoryReader {
  const Bytes* bytes;
  size_t position;
};

int read_from_bytes(GifFileType* gif, GifByteType* out, int n) {
  MemoryReader* r = static_cast<MemoryReader*>(gif->UserData);
  const size_t left = r->bytes->size() - r->position;
  const size_t k = size_t(n) < left ? size_t(n) : left;
  std::memcpy(out, r->bytes->data() + r->position, k);
  r->position += k;
  return int(k);
}

// giflib's full decode, then each frame mapped to what ours gives: stride-4 index rows and a
// blue, green, red, 0 table.
uint64_t giflib_decode(const Bytes& file, korvane::GifFrame& out) {
  MemoryReader reader{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, read_from_bytes, &error);
  uint64_t checksum = 0;
  if (!gif || DGifSlurp(gif) != GIF_OK) std::abort();
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const int w = image.ImageDesc.Width, h = image.ImageDesc.Height, stride = (w + 3) & ~3;
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (out.capacity < size_t(stride) * h) {
      out.indices.reset(new uint8_t[size_t(stride) * h]);
      out.capacity = size_t(stride) * h;
    }
    for (int c = 0; c < map->ColorCount; ++c) {
      out.palette[c][0] = map->Colors[c].Blue;
      out.palette[c][1] = map->Colors[c].Green;
      out.palette[c][2] = map->Colors[c].Red;
      out.palette[c][3] = 0;
    }
    for (int y = 0; y < h; ++y) std::memcpy(out.indices.get() + size_t(y) * stride, image.RasterBits + size_t(y) * w, w);
    checksum += out.indices[size_t(stride) * h / 2];
  }
  DGifCloseFile(gif, &error);
  return checksum;
}

uint64_t our_gif_decode(const Bytes& file, int frames, korvane::GifFrame& frame) {
  korvane::GifStream state;
  if (!korvane::parse_gif_header(korvane::ByteSpan{file.data(), file.size()}, state)) std::abort();
  uint64_t checksum = 0;
  for (int i = 0; i < frames; ++i) {
    if (!korvane::next_gif_frame(state, frame)) std::abort();
    checksum += frame.indices[size_t(frame.stride) * frame.height / 2];
  }
  return checksum;
}

Bytes make_jpeg(int width, int height) {
  uint32_t noise = 7;
  return korvane::test::write_jpeg(width, height, 90, false, [&](int y, JSAMPLE* row) {
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) row[size_t(x) * 3 + c] = photo_sample(x, y, 0, c, noise);
  });
}

// libjpeg alone: every scanline into one new buffer (ours gets a new block too).
void libjpeg_decode(const Bytes& file) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), file.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  const size_t row = size_t(cinfo.output_width) * cinfo.output_components;
  std::unique_ptr<uint8_t[]> image(new uint8_t[row * cinfo.output_height]);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW p = image.get() + row * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

Bytes make_bmp(uint32_t width, uint32_t height) {
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t{3};
  Bytes file(54 + stride * height);
  uint8_t* h = file.data();
  auto put32 = [](uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); };
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 2, uint32_t(file.size()));
  put32(h + 10, 54);
  put32(h + 14, 40);
  put32(h + 18, width);
  put32(h + 22, height);
  h[26] = 1;
  h[28] = 24;
  for (size_t i = 54; i < file.size(); ++i) file[i] = uint8_t(i * 2654435761u >> 24);
  return file;
}

}  // namespace

int main() {
  {
    const int frames = 100;
    const Bytes gif = make_gif(1000, 1000, frames);
    korvane::GifFrame ours, theirs;
    uint64_t a = 0, b = 0;
    const double t_ours = best_seconds(3, [&] { a = our_gif_decode(gif, frames, ours); });
    const double t_giflib = best_seconds(3, [&] { b = giflib_decode(gif, theirs); });
    if (a != b) std::fprintf(stderr, "decode_bench: GIF decodes differ\n");
    std::printf("gif_vs_giflib: %.2f\n", t_giflib / t_ours);
    std::fflush(stdout);
  }
  {
    const Bytes jpeg = make_jpeg(6000, 4000);
    const double t_libjpeg = best_seconds(3, [&] { libjpeg_decode(jpeg); });
    const double t_ours = best_seconds(3, [&] {
      if (!korvane::decode_jpeg(korvane::ByteSpan{jpeg.data(), jpeg.size()})) std::abort();
    });
    std::printf("jpeg_vs_libjpeg: %.2f\n", t_libjpeg / t_ours);
    std::fflush(stdout);
  }
  {
    const Bytes bmp = make_bmp(10000, 10000);
    const size_t pixel_bytes = size_t(10000) * 10000 * 3;
    // Into a new block each time, as the decoder's result is: both pay for fresh pages.
    const double t_memcpy = best_seconds(3, [&] {
      std::unique_ptr<uint8_t[]> copy(new uint8_t[pixel_bytes]);
      std::memcpy(copy.get(), bmp.data() + 54, pixel_bytes);
      sink = sink + copy[pixel_bytes / 3];  // keeps the copy from being optimised away
    });
    const double t_ours = best_seconds(3, [&] {
      if (!korvane::decode_bmp(korvane::ByteSpan{bmp.data(), bmp.size()})) std::abort();
    });
    std::printf("bmp_vs_memcpy: %.2f\n", t_memcpy / t_ours);
  }
  return 0;
}
