// Field cursor: cuts a line at a delimiter, keeping empty fields.
#include "converter/field_cursor.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint64_t ONES = 0x0101010101010101ULL;
constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7FULL;

// Sets the top bit of exactly those bytes of word that equal byte. Unlike the
// usual has-zero trick this has no false positives, so the marks can be
// counted.
uint64_t mark_bytes(uint64_t word, unsigned char byte) {
  const uint64_t t = word ^ (ONES * byte);
  return ~(((t & LOW_SEVEN) + LOW_SEVEN) | t | LOW_SEVEN);
}

int32_t count_marks(uint64_t marks) {
  return static_cast<int32_t>(((marks >> 7) * ONES) >> 56);
}

#if defined(__SSE2__)
// Bits set in each byte value: the baseline x86-64 instruction set has no
// population count, and a loop over the bits mispredicts once per block.
struct BitCounts {
  unsigned char of[256];
};

constexpr BitCounts make_bit_counts() {
  BitCounts table{};
  for (int i = 1; i < 256; ++i) {
    table.of[i] = static_cast<unsigned char>(table.of[i / 2] + (i & 1));
  }
  return table;
}

constexpr BitCounts BIT_COUNTS = make_bit_counts();

int32_t count_bits16(unsigned marks) {
  return BIT_COUNTS.of[marks & 0xFFU] + BIT_COUNTS.of[marks >> 8];
}
#endif

// Finds the n-th (n >= 1) occurrence of byte in [p, end), sixteen or eight
// bytes at a time: a row's values are most of its line, and this is the scan
// over them. Returns end when there are fewer; *seen counts the occurrences
// passed.
const char* find_nth(const char* p, const char* end, char byte, int32_t n,
                     int32_t* seen) {
  const auto target = static_cast<unsigned char>(byte);
  int32_t count = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(byte);
  while (end - p >= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    auto marks =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted)));
    const int32_t here = count_bits16(marks);
    if (count + here >= n) {
      for (int32_t skip = n - count - 1; skip > 0; --skip) marks &= marks - 1;
      *seen = n;
      return p + __builtin_ctz(marks);
    }
    count += here;
    p += 16;
  }
#endif
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const int32_t here = count_marks(mark_bytes(word, target));
    if (count + here >= n) break;
    count += here;
    p += 8;
  }
  for (; p < end; ++p) {
    if (*p == byte && ++count == n) {
      *seen = count;
      return p;
    }
  }
  *seen = count;
  return end;
}

}  // namespace

void start_fields(FieldCursor* cursor, const char* begin, const char* end) {
  cursor->next = begin;
  cursor->end = end;
}

bool next_field(FieldCursor* cursor, char delimiter, FieldText* field) {
  const char* start = cursor->next;
  if (start == nullptr) return false;
  // Leading fields are a few bytes long: a plain loop beats a library scan.
  const char* cut = start;
  while (cut < cursor->end && *cut != delimiter) ++cut;
  field->begin = start;
  field->end = cut;
  cursor->next = cut < cursor->end ? cut + 1 : nullptr;
  return true;
}

int32_t take_fields(FieldCursor* cursor, char delimiter, int32_t count,
                    FieldText* span) {
  const char* start = cursor->next;
  if (start == nullptr || count <= 0) {
    span->begin = start;
    span->end = start;
    return 0;
  }
  int32_t cuts = 0;
  const char* cut = find_nth(start, cursor->end, delimiter, count, &cuts);
  span->begin = start;
  span->end = cut;
  if (cut == cursor->end) {
    cursor->next = nullptr;
    return cuts + 1;
  }
  cursor->next = cut + 1;
  return count;
}
