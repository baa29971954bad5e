// Line reader: the input's byte rules, applied while reading in large blocks.
#ifndef FERROW_CONVERTER_LINE_READER_H
#define FERROW_CONVERTER_LINE_READER_H

#include <cstddef>
#include <cstdio>

#include "converter/field_cursor.h"

// Bytes read from the input at a time. A line of this many bytes or more
// (its LF not counted) cannot be held, and is skipped whole.
constexpr size_t READ_BUFFER_SIZE = size_t{1} << 20;

// The longest line that is delivered as a record.
constexpr size_t MAX_LINE_SIZE = READ_BUFFER_SIZE - 1;

struct LineReader {
  std::FILE* stream;
  char* buffer;   // READ_BUFFER_SIZE bytes, owned by the caller
  size_t head;    // first byte not yet delivered
  size_t tail;    // one past the last byte read
  bool at_end;    // nothing more will be read: end of file, 0x1A or error
  bool skipping;  // inside a line too long to hold, looking for its LF
  bool failed;    // reading failed; errno was saved in error
  int error;
};

// Prepares to read stream through buffer.
void start_lines(LineReader* reader, std::FILE* stream, char* buffer);

// Delivers the next line without its LF and with every CR byte removed; the
// bytes stay valid until the next call. False at the end of the input, which
// is the end of the file, the first 0x1A byte, or a read error (failed set).
bool next_line(LineReader* reader, FieldText* line);

#endif
