// JPEG files for tests and benchmarks, made with libjpeg's compressor at run time.
// fill_row(y, rgb) writes image row y (top row first) as width red, green, blue samples.
#pragma once
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace korvane::test {

template <class FillRow>
std::vector<uint8_t> write_jpeg(int width, int height, int quality, bool arithmetic, FillRow fill_row) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.arith_code = arithmetic;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    fill_row(static_cast<int>(cinfo.next_scanline), row.data());
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

}  // namespace korvane::test
