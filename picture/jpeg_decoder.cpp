// JPEG through libjpeg: a silent error manager that jumps back here, an in-memory source that
// hands the library 4096 bytes at a time and a fake end-of-image marker once the data runs out
// (so a truncated file shows as far as its data goes), and default decompression parameters.
// Rows go straight into the true-colour layout (blue, green, red, bottom row first): the same
// bytes as storing red, green, blue rows top first and converting afterwards.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "picture/byte_reader.h"
#include "picture/decoders.h"

namespace korvane {
namespace {

constexpr size_t kRefillChunk = 4096;

// Hostile headers: a complete JPEG cannot describe more than a few hundred pixels per byte of
// data (every 8 x 8 block costs at least one Huffman-coded bit), so a header claiming far more
// than that is refused before the library allocates its buffers. Twice the most a complete file
// can reach leaves files that keep half their data (truncated downloads) decoding, while a
// 64 KB file can no longer ask for gigabytes.
constexpr uint64_t kMaxPixelsPerInputByte = 1024;
// Progressive files of thousands of scans would each sweep the whole coefficient buffer; real
// encoders write about ten.
constexpr int kMaxScans = 500;

struct SilentErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void error_exit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<SilentErrors*>(cinfo->err)->jump, 1);
}
void emit_message(j_common_ptr, int) {}
void output_message(j_common_ptr) {}
void format_message(j_common_ptr, char* buffer) { buffer[0] = 0; }

struct MemorySource {
  jpeg_source_mgr manager;
  const uint8_t* data;
  size_t size;
  size_t delivered;
};

const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

void init_source(j_decompress_ptr) {}

boolean fill_input_buffer(j_decompress_ptr cinfo) {
  MemorySource* source = reinterpret_cast<MemorySource*>(cinfo->src);
  if (source->delivered < source->size) {
    size_t n = source->size - source->delivered;
    if (n > kRefillChunk) n = kRefillChunk;
    source->manager.next_input_byte = source->data + source->delivered;
    source->manager.bytes_in_buffer = n;
    source->delivered += n;
    return TRUE;
  }
  if (source->delivered == 0) cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
  // Out of data: pretend the image ends here. The library warns (silently) and fills the rest.
  source->manager.next_input_byte = kFakeEndOfImage;
  source->manager.bytes_in_buffer = 2;
  return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count) {
  MemorySource* source = reinterpret_cast<MemorySource*>(cinfo->src);
  while (count > 0) {
    if (source->manager.bytes_in_buffer == 0) {
      fill_input_buffer(cinfo);
      // Past the end there is only the fake marker: leave it for the library to find.
      if (source->manager.next_input_byte == kFakeEndOfImage) return;
    }
    size_t available = source->manager.bytes_in_buffer;
    size_t n = static_cast<size_t>(count) < available ? static_cast<size_t>(count) : available;
    source->manager.next_input_byte += n;
    source->manager.bytes_in_buffer -= n;
    count -= static_cast<long>(n);
  }
}

void term_source(j_decompress_ptr) {}

void limit_scans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    cinfo->err->error_exit(cinfo);
}

// Everything the jump may cross lives here, outside the setjmp frame's registers.
struct JpegJob {
  jpeg_decompress_struct cinfo;
  SilentErrors errors;
  MemorySource source;
  jpeg_progress_mgr progress;
  DecodedPicture picture;
};

bool run(JpegJob& job, ByteSpan bytes, DecodeObserver* observer) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  if (setjmp(job.errors.jump)) return false;
  jpeg_read_header(&cinfo, TRUE);
  // libjpeg-turbo can decode arithmetic-coded files, but this program refuses them, as a
  // library built without that support does.
  if (cinfo.arith_code) return false;
  const uint64_t pixels = checked_mul(cinfo.image_width, cinfo.image_height);
  if (pixels == 0 || pixels > kMaxPicturePixels ||
      pixels > checked_mul(bytes.size, kMaxPixelsPerInputByte))
    return false;
  // Where the library would give red, green, blue or grey, it gives blue, green, red instead:
  // the same conversion with the bytes swapped, and grey repeated three times, so the rows can
  // go straight into their final place.
  const bool direct = cinfo.out_color_space == JCS_RGB || cinfo.out_color_space == JCS_GRAYSCALE;
  if (direct) cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const JDIMENSION width = cinfo.output_width, height = cinfo.output_height;
  const uint64_t row_bytes = uint64_t{width} * 3;
  if (checked_mul(width, height) > kMaxPicturePixels) return false;
  job.picture.pixels = allocate_pixel_block(row_bytes * height);
  if (!job.picture.pixels.bytes) return false;
  uint8_t* const out = job.picture.pixels.bytes.get();
  if (direct) {
    if (observer) observer->pixels_ready(out, static_cast<int32_t>(width), static_cast<int32_t>(height));
    // Bottom row first: image row r goes to block row height - 1 - r.
    constexpr int kRowsPerCall = 16;
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.output_scanline < height) {
      const JDIMENSION first = cinfo.output_scanline;
      const JDIMENSION n = height - first < kRowsPerCall ? height - first : kRowsPerCall;
      for (JDIMENSION i = 0; i < n; ++i) rows[i] = out + (height - 1 - first - i) * row_bytes;
      if (jpeg_read_scanlines(&cinfo, rows, n) == 0) return false;  // our source never suspends
      if (observer) observer->rows_complete(static_cast<int32_t>(cinfo.output_scanline));
    }
  } else {
    // CMYK and YCCK rows are read and not stored; black keeps the block defined.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               width * cinfo.output_components, 1);
    std::memset(out, 0, row_bytes * height);
    while (cinfo.output_scanline < height)
      if (jpeg_read_scanlines(&cinfo, row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&cinfo);
  job.picture.kind = PictureKind::jpeg;
  job.picture.width = static_cast<int32_t>(width);
  job.picture.height = static_cast<int32_t>(height);
  job.picture.row_bytes = static_cast<int32_t>(row_bytes);
  return true;
}

}  // namespace

std::optional<DecodedPicture> decode_jpeg(ByteSpan bytes, DecodeObserver* observer) {
  if (!bytes.data || bytes.size == 0) return std::nullopt;
  auto job = std::make_unique<JpegJob>();
  jpeg_decompress_struct& cinfo = job->cinfo;
  cinfo.err = jpeg_std_error(&job->errors.manager);
  job->errors.manager.error_exit = error_exit;
  job->errors.manager.emit_message = emit_message;
  job->errors.manager.output_message = output_message;
  job->errors.manager.format_message = format_message;
  if (setjmp(job->errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return std::nullopt;
  }
  jpeg_create_decompress(&cinfo);

  job->source.manager.init_source = init_source;
  job->source.manager.fill_input_buffer = fill_input_buffer;
  job->source.manager.skip_input_data = skip_input_data;
  job->source.manager.resync_to_restart = jpeg_resync_to_restart;
  job->source.manager.term_source = term_source;
  job->source.manager.next_input_byte = nullptr;
  job->source.manager.bytes_in_buffer = 0;
  job->source.data = bytes.data;
  job->source.size = bytes.size;
  job->source.delivered = 0;
  cinfo.src = &job->source.manager;
  job->progress.progress_monitor = limit_scans;
  cinfo.progress = &job->progress;

  const bool ok = run(*job, bytes, observer);
  // The block is still the job's here: whoever reads it beside the decoder stops first.
  if (observer) observer->decoding_ended(ok);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return std::nullopt;
  return std::move(job->picture);
}

}  // namespace korvane
