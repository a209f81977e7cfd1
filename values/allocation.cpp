#include "values/allocation.h"

#include <cstdio>
#include <cstdlib>

namespace korvane {
namespace {
AllocationFailureHandler g_failure_handler = nullptr;
}

void* allocate(uint32_t size) {
  // malloc(0) may legally return null; a one-byte block keeps "never returns null" true.
  void* block = std::malloc(size ? size : 1);
  if (!block) {
    if (g_failure_handler) g_failure_handler(size);
    std::abort();
  }
  return block;
}

void release(void* block) { std::free(block); }

void set_allocation_failure_handler(AllocationFailureHandler handler) { g_failure_handler = handler; }

void allocation_failure_message(uint32_t size, char* out, int out_size) {
  // The size is a 32-bit count printed as %d, as the report has always shown it.
  std::snprintf(out, out_size, "分配 %d 字节内存失败!", static_cast<int>(size));
}

}  // namespace korvane
