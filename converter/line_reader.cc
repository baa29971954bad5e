// Line reader: the input's byte rules, applied while reading in large blocks.
#include "converter/line_reader.h"

#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char END_OF_INPUT = 0x1A;

// CR bytes are dropped wherever they stand; nearly always there is one, just
// before the LF, so the common case moves nothing.
FieldText without_cr(char* begin, char* end) {
  auto* cr = static_cast<char*>(
      std::memchr(begin, '\r', static_cast<size_t>(end - begin)));
  if (cr == nullptr) return {begin, end};
  char* out = cr;
  for (const char* in = cr; in < end; ++in) {
    if (*in != '\r') *out++ = *in;
  }
  return {begin, out};
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
    reader->tail += static_cast<size_t>(stop - fresh);
  } else {
    reader->tail += got;
  }
}

}  // namespace

void start_lines(LineReader* reader, std::FILE* stream, char* buffer) {
  reader->stream = stream;
  reader->buffer = buffer;
  reader->head = 0;
  reader->tail = 0;
  reader->at_end = false;
  reader->skipping = false;
  reader->failed = false;
  reader->error = 0;
}

bool next_line(LineReader* reader, FieldText* line) {
  // The usual line has no CR but the one before its LF: one scan for the
  // first line break finds both.
  if (!reader->skipping) {
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
      *line = {start, brk};
      return true;
    }
  }
  for (;;) {
    char* start = reader->buffer + reader->head;
    const size_t available = reader->tail - reader->head;
    auto* lf = static_cast<char*>(std::memchr(start, '\n', available));
    if (reader->skipping) {
      if (lf != nullptr) {
        reader->skipping = false;
        reader->head += static_cast<size_t>(lf - start) + 1;
        continue;
      }
      reader->head = reader->tail;
      if (reader->at_end) return false;
    } else if (lf != nullptr) {
      reader->head += static_cast<size_t>(lf - start) + 1;
      *line = without_cr(start, lf);
      return true;
    } else if (reader->at_end) {
      // A line cut short by a read error is not a record.
      if (available == 0 || reader->failed) return false;
      reader->head = reader->tail;
      *line = without_cr(start, start + available);
      return true;
    } else if (available == READ_BUFFER_SIZE) {
      // The line fills the whole buffer: it is dropped, never cut in pieces
      // that would pass for records of their own.
      reader->skipping = true;
      reader->head = reader->tail;
    }
    refill(reader);
  }
}
