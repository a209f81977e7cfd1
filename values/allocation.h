// The allocation service: every text and byte value the program returns is allocated here.
// allocate() never returns null: on exhaustion it calls the installed failure handler, which on
// Windows is the fatal error report and does not return.
#pragma once
#include <cstdint>

namespace korvane {

using AllocationFailureHandler = void (*)(uint32_t size);

void* allocate(uint32_t size);
void release(void* block);  // null is ignored

// The handler must not return; if it does (or none is installed) the process aborts.
void set_allocation_failure_handler(AllocationFailureHandler handler);

// The fatal report's message for a failed allocation: "分配 %d 字节内存失败!" in code page 936.
void allocation_failure_message(uint32_t size, char* out, int out_size);

}  // namespace korvane
