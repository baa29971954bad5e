// File end: whether a file that is appended to ends on a finished line.
#include "converter/file_end.h"

#include "converter/platform.h"

bool ends_on_line(std::FILE* stream, int64_t size, bool* ended) {
  *ended = true;
  if (size == 0) return seek_to(stream, 0);
  if (!seek_to(stream, size - 1)) return false;
  const int last = std::fgetc(stream);
  if (last == EOF) return false;
  *ended = last == '\n';
  // A stream that was read must be positioned before it is written.
  return seek_to(stream, size);
}
