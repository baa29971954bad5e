// Line reader: the input's byte rules, applied while reading in large blocks.
#include "converter/line_reader.h"

#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char END_OF_INPUT = 0x1A;

// CR bytes are dropped wherever they stand. The raw bytes must stay as they
// were (a rejected line is kept as it stood), so a line with a CR inside is
// squeezed into the second buffer.
FieldText without_cr(const LineReader* reader, char* begin, char* end) {
  const auto size = static_cast<size_t>(end - begin);
  if (std::memchr(begin, '\r', size) == nullptr) return {begin, end};
  char* out = reader->squeezed;
  for (const char* in = begin; in < end; ++in) {
    if (*in != '\r') *out++ = *in;
  }
  return {reader->squeezed, out};
}

// The first LF or CR in [p, end), or end.
char* find_line_break(char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int marks = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
    if (marks != 0) return p + __builtin_ctz(static_cast<unsigned>(marks));
  }
#endif
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

// Moves the undelivered bytes to the front and reads after them.
void refill(LineReader* reader) {
  const size_t pending = reader->tail - reader->head;
  if (reader->head > 0 && pending > 0) {
    std::memmove(reader->buffer, reader->buffer + reader->head, pending);
  }
  reader->base += reader->head;
  reader->head = 0;
  reader->tail = pending;

  char* fresh = reader->buffer + pending;
  const size_t wanted = READ_BUFFER_SIZE - pending;
  errno = 0;
  const size_t got = std::fread(fresh, 1, wanted, reader->stream);
  if (got < wanted) {
    reader->at_end = true;
    if (std::ferror(reader->stream)) {
      reader->failed = true;
      reader->error = errno;
    }
  }
  const auto* stop = static_cast<char*>(std::memchr(fresh, END_OF_INPUT, got));
  if (stop != nullptr) {
    reader->at_end = true;
    reader->stopped = true;
    reader->tail += static_cast<size_t>(stop - fresh);
  } else {
    reader->tail += got;
  }
}

LineKind piece(LineReader* reader, Line* line, char* end, bool last) {
  line->raw = {reader->buffer + reader->head, end};
  line->last = last;
  reader->head = static_cast<size_t>(end - reader->buffer);
  reader->in_pieces = !last;
  return LINE_PIECE;
}

// Whether a line that has no LF at the end of the input is delivered: not
// when reading failed, nor when it may yet be finished by a later write.
bool takes_unfinished(const LineReader* reader) {
  return !reader->failed && (reader->stopped || !reader->hold_unfinished);
}

}  // namespace

void start_lines(LineReader* reader, std::FILE* stream, char* buffer,
                 char* squeezed, uint64_t start, bool hold_unfinished) {
  reader->stream = stream;
  reader->buffer = buffer;
  reader->squeezed = squeezed;
  reader->head = 0;
  reader->tail = 0;
  reader->base = start;
  reader->long_start = start;
  reader->hold_unfinished = hold_unfinished;
  reader->at_end = false;
  reader->stopped = false;
  reader->in_pieces = false;
  reader->abandoned = false;
  reader->failed = false;
  reader->error = 0;
}

LineKind next_line(LineReader* reader, Line* line) {
  // The usual line has no CR but the one before its LF: one scan for the
  // first line break finds both.
  if (!reader->in_pieces) {
    char* start = reader->buffer + reader->head;
    const char* end = reader->buffer + reader->tail;
    char* brk = find_line_break(start, end);
    size_t used = 0;
    if (brk < end && *brk == '\n') {
      used = 1;
    } else if (end - brk >= 2 && brk[1] == '\n') {
      used = 2;
    }
    if (used > 0) {
      reader->head += static_cast<size_t>(brk - start) + used;
      line->text = {start, brk};
      line->raw = {start, brk + used};
      return LINE_WHOLE;
    }
  }
  if (reader->abandoned) return LINE_END;
  for (;;) {
    char* start = reader->buffer + reader->head;
    char* end = reader->buffer + reader->tail;
    const auto available = static_cast<size_t>(end - start);
    auto* lf = static_cast<char*>(std::memchr(start, '\n', available));
    if (reader->in_pieces) {
      if (lf != nullptr) return piece(reader, line, lf + 1, true);
      if (reader->at_end) {
        if (takes_unfinished(reader)) return piece(reader, line, end, true);
        reader->abandoned = true;
        return LINE_END;
      }
      if (available > 0) return piece(reader, line, end, false);
    } else if (lf != nullptr) {
      reader->head += static_cast<size_t>(lf - start) + 1;
      line->text = without_cr(reader, start, lf);
      line->raw = {start, lf + 1};
      return LINE_WHOLE;
    } else if (reader->at_end) {
      if (available == 0 || !takes_unfinished(reader)) return LINE_END;
      reader->head = reader->tail;
      line->text = without_cr(reader, start, end);
      line->raw = {start, end};
      return LINE_WHOLE;
    } else if (available == READ_BUFFER_SIZE) {
      // The line fills the whole buffer: it goes out in pieces, never cut
      // into parts that would pass for records of their own.
      reader->long_start = reader->base + reader->head;
      return piece(reader, line, end, false);
    }
    refill(reader);
  }
}

uint64_t consumed_offset(const LineReader* reader) {
  return reader->in_pieces ? reader->long_start : reader->base + reader->head;
}
