// Raw records: one input line read as its four leading integers and values.
#include "converter/raw_record.h"

#include "converter/calendar.h"

namespace {

// The C locale's white space (blank, then tab to carriage return), tested by
// range so that no locale can change it.
bool is_blank(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}

}  // namespace

const char* read_integer(const char* begin, const char* end, int32_t* value) {
  const char* p = begin;
  while (p < end && is_blank(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const uint32_t limit = negative ? 2147483648U : 2147483647U;
  uint64_t magnitude = 0;
  for (; p < end; ++p) {
    const auto digit = static_cast<uint32_t>(static_cast<unsigned char>(*p)) -
                       static_cast<uint32_t>('0');
    if (digit > 9) break;
    magnitude = magnitude * 10 + digit;
    if (magnitude > limit) return nullptr;
  }
  // In range by now, so both conversions are exact.
  const auto signed_magnitude = static_cast<int64_t>(magnitude);
  *value =
      static_cast<int32_t>(negative ? -signed_magnitude : signed_magnitude);
  return p;
}

bool parse_record(const char* begin, const char* end, int32_t value_count,
                  RawRecord* record, RejectReason* reason) {
  FieldCursor cursor;
  start_fields(&cursor, begin, end);
  int32_t* const leading[4] = {&record->seconds, &record->year,
                               &record->day_of_year, &record->hhmm};
  for (int32_t* target : leading) {
    if (cursor.next == nullptr) {
      *reason = REJECT_FIELDS;
      return false;
    }
    // The number is read in place; the cursor then cuts what is left of the
    // field, nearly always nothing, instead of passing over it twice.
    cursor.next = read_integer(cursor.next, end, target);
    if (cursor.next == nullptr) {
      *reason = REJECT_RANGE;
      return false;
    }
    FieldText ignored;
    next_field(&cursor, ',', &ignored);
  }
  record->value_fields =
      take_fields(&cursor, ',', value_count, &record->values);
  return true;
}

bool check_date(const RawRecord& record, RejectReason* reason) {
  if (record.year <= 1900) {
    *reason = REJECT_YEAR;
    return false;
  }
  if (record.day_of_year < 1 ||
      record.day_of_year > days_in_year(record.year)) {
    *reason = REJECT_DAY;
    return false;
  }
  return true;
}
