#include "fuzz/fuzz_checks.h"
#include "picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (auto picture = korvane::decode_jpeg(korvane::ByteSpan{data, size})) korvane::check_decoded(*picture);
  return 0;
}
