// Line reader: the input's byte rules, applied while reading in large blocks.
#ifndef FERROW_CONVERTER_LINE_READER_H
#define FERROW_CONVERTER_LINE_READER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "converter/field_cursor.h"

// Bytes read from the input at a time. A line of this many bytes or more
// (its LF not counted) cannot be held; it is handed out in pieces.
constexpr size_t READ_BUFFER_SIZE = size_t{1} << 20;

// The longest line that is delivered as a record.
constexpr size_t MAX_LINE_SIZE = READ_BUFFER_SIZE - 1;

struct LineReader {
  std::FILE* stream;
  char* buffer;          // READ_BUFFER_SIZE bytes, owned by the caller
  char* squeezed;        // READ_BUFFER_SIZE bytes: a line with its CRs taken
                         // out, so that the buffer keeps the raw bytes
  size_t head;           // first byte not yet delivered
  size_t tail;           // one past the last byte read
  uint64_t base;         // the input offset of buffer[0]
  uint64_t long_start;   // the input offset where the line in pieces began
  bool hold_unfinished;  // a last line without LF is left for a later run
  bool at_end;     // nothing more will be read: end of file, 0x1A or error
  bool stopped;    // the input ended at a 0x1A byte
  bool in_pieces;  // inside a line too long to hold, looking for its LF
  bool abandoned;  // the line in pieces did not end: its pieces are void
  bool failed;     // reading failed; errno was saved in error
  int error;
};

enum LineKind {
  LINE_END,    // no more lines
  LINE_WHOLE,  // a line that fits: text and raw are set
  LINE_PIECE,  // part of a line too long to hold: raw is set
};

struct Line {
  FieldText text;  // LINE_WHOLE: the line without CR bytes and LF
  FieldText raw;   // the bytes as they stood, CRs and LF included
  bool last;       // LINE_PIECE: the long line ends with this piece
};

// Prepares to read stream, positioned at input offset start, through the
// two buffers. With hold_unfinished, a last line that has no LF (and is not
// cut off by 0x1A) is not delivered: it may still be being written.
void start_lines(LineReader* reader, std::FILE* stream, char* buffer,
                 char* squeezed, uint64_t start, bool hold_unfinished);

// Delivers the next line or piece; its bytes stay valid until the next
// call. LINE_END at the end of the input: the end of the file, the first
// 0x1A byte, or a read error (failed set). A line cut short by a read error
// or held back is not delivered; if it was a line in pieces, abandoned is
// set and the pieces handed out must be taken back.
LineKind next_line(LineReader* reader, Line* line);

// The input offset up to which every line has been delivered whole.
uint64_t consumed_offset(const LineReader* reader);

#endif
