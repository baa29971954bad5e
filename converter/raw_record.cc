// Raw records: one input line read as its four leading integers and values.
#include "converter/raw_record.h"

namespace {

// The C locale's white space, listed so that no locale can change it.
bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool parse_integer_field(FieldText field, int32_t* value) {
  const char* p = field.begin;
  while (p < field.end && is_blank(*p)) ++p;
  bool negative = false;
  if (p < field.end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t magnitude = 0;
  for (; p < field.end && is_digit(*p); ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) return false;
  }
  *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

bool parse_record(const char* begin, const char* end, int32_t value_count,
                  RawRecord* record) {
  FieldCursor cursor;
  start_fields(&cursor, begin, end);
  int32_t* const leading[4] = {&record->seconds, &record->year,
                               &record->day_of_year, &record->hhmm};
  for (int32_t* target : leading) {
    FieldText field;
    if (!next_field(&cursor, ',', &field)) return false;
    if (!parse_integer_field(field, target)) return false;
  }
  record->value_fields =
      take_fields(&cursor, ',', value_count, &record->values);
  return true;
}
