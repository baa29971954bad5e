// File end: whether a file that is appended to ends on a finished line.
#ifndef FERROW_CONVERTER_FILE_END_H
#define FERROW_CONVERTER_FILE_END_H

#include <cstdint>
#include <cstdio>

// Sets *ended to whether the file of size bytes is empty or ends in LF: a
// writer cut off mid-line leaves it otherwise. Leaves the stream at the
// file's end, ready to append. False when reading fails.
bool ends_on_line(std::FILE* stream, int64_t size, bool* ended);

#endif
