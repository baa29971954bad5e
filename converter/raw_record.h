// Raw records: one input line read as its four leading integers and values.
#ifndef FERROW_CONVERTER_RAW_RECORD_H
#define FERROW_CONVERTER_RAW_RECORD_H

#include <cstdint>

#include "converter/field_cursor.h"

// Why an input line does not become a row; the first rule it breaks.
enum RejectReason {
  REJECT_FIELDS,  // fewer than four fields
  REJECT_RANGE,   // a leading number does not fit in 32-bit signed
  REJECT_YEAR,    // year 1900 or earlier
  REJECT_DAY,     // no such day in its year
  REJECT_LENGTH,  // the line is too long to hold
  REJECT_REASONS
};

struct RawRecord {
  int32_t seconds;
  int32_t year;
  int32_t day_of_year;
  int32_t hhmm;
  // Value fields 5 onward as one span, commas between them included, so that
  // a row copies them in one piece.
  FieldText values;
  // How many value fields the span holds: 0 when the line ends after its
  // fourth field, never more than the count asked for.
  int32_t value_fields;
};

// Reads the number at the start of [begin, end) by the leading-integer
// rule: blanks skipped, one optional sign, then digits up to the first
// non-digit; no digits read as 0. Returns where reading stopped, or null
// when the digits do not fit in 32-bit signed.
const char* read_integer(const char* begin, const char* end, int32_t* value);

// Cuts the line [begin, end) at commas into *record, taking at most
// value_count value fields. False, with the reason, when the line has fewer
// than four fields or a leading field overflows.
bool parse_record(const char* begin, const char* end, int32_t value_count,
                  RawRecord* record, RejectReason* reason);

// True when the record's date is one a daily file can hold: a year after
// 1900 and a day of that year. Otherwise false, with the reason.
bool check_date(const RawRecord& record, RejectReason* reason);

#endif
