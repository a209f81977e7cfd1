// Whole-file read and write. Names are code page 936 paths handed to the platform unchanged;
// no file stays open between calls. Neither operation shows anything: failure is the result.
// Implemented on the platform's file functions in file_io_win32.cpp.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "values/bytes.h"

namespace korvane {

// The whole content of a file on disk, or missing: an empty name, a file that cannot be opened
// for reading with reading shared (missing, a folder, held open for writing elsewhere), an
// empty file, one of 2 GiB or more, no memory for the working buffer, or a read error. A short
// read gives the bytes that arrived.
Bytes read_file(const char* name);

// Writes the contents one after the other, each in one request, into a temporary file in the
// target's folder, and only when all of it was written and closed puts that file in the
// target's place. 1 when the new content is in place; 0 otherwise, with the target left exactly
// as it was (also when another program holds it open) and no temporary file left behind.
int write_file(const char* name, std::initializer_list<ByteSpan> contents);

// Test seam: limits how many bytes the write requests of later write_file calls may still
// write in all, as a full disk would; a request past the limit writes only what is left and
// reports the short count. A negative budget removes the limit.
void set_write_budget_for_testing(int64_t bytes);

}  // namespace korvane
