// Row format: the texts of a daily file, formatted without the C library
// where they are written once per row.
#include "converter/row_format.h"

#include <cstdio>
#include <cstring>

namespace {

// "00" to "99" back to back: one copy per part of a time of day.
struct TwoDigits {
  char text[200];
};

constexpr TwoDigits make_two_digits() {
  TwoDigits table{};
  for (size_t i = 0; i < 100; ++i) {
    table.text[2 * i] = static_cast<char>('0' + i / 10);
    table.text[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return table;
}

constexpr TwoDigits TWO_DIGITS = make_two_digits();

bool is_two_digit(int32_t value) { return value >= 0 && value <= 99; }

char* put_two_digits(char* out, int32_t value) {
  std::memcpy(out, TWO_DIGITS.text + 2 * static_cast<size_t>(value), 2);
  return out + 2;
}

}  // namespace

size_t format_file_name(char* out, int32_t year, int32_t month, int32_t day,
                        const char* serial_text) {
  const int length = std::snprintf(
      out, FILE_NAME_SIZE, "%04d-%02d-%02d_ZORL_Raw_Data_SN%s.csv",
      static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
      serial_text);
  return length < 0 ? 0 : static_cast<size_t>(length);
}

size_t format_date_prefix(char* out, int32_t year, int32_t month, int32_t day) {
  const int length = std::snprintf(
      out, DATE_PREFIX_SIZE, "%04d-%02d-%02d ", static_cast<int>(year),
      static_cast<int>(month), static_cast<int>(day));
  return length < 0 ? 0 : static_cast<size_t>(length);
}

char* format_padded(char* out, int32_t value, int32_t width) {
  // Widened first, so that the most negative value has a magnitude.
  int64_t magnitude = value;
  if (magnitude < 0) {
    *out++ = '-';
    magnitude = -magnitude;
    --width;
  }
  char digits[12];
  int32_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  for (int32_t fill = width - count; fill > 0; --fill) *out++ = '0';
  while (count > 0) *out++ = digits[--count];
  return out;
}

char* format_time(char* out, int32_t hour, int32_t minute, int32_t second) {
  if (is_two_digit(hour) && is_two_digit(minute) && is_two_digit(second)) {
    out = put_two_digits(out, hour);
    *out++ = ':';
    out = put_two_digits(out, minute);
    *out++ = ':';
    return put_two_digits(out, second);
  }
  out = format_padded(out, hour, 2);
  *out++ = ':';
  out = format_padded(out, minute, 2);
  *out++ = ':';
  return format_padded(out, second, 2);
}

char* format_row(char* out, const char* date_prefix, size_t prefix_size,
                 const RawRecord& record, int32_t value_count) {
  // The whole prefix array is copied, a fixed size that compiles to a few
  // moves; only its text counts.
  std::memcpy(out, date_prefix, DATE_PREFIX_SIZE);
  out += prefix_size;
  out = format_time(out, record.hhmm / 100, record.hhmm % 100, record.seconds);
  *out++ = ',';
  const auto values_size =
      static_cast<size_t>(record.values.end - record.values.begin);
  if (values_size > 0) {
    std::memcpy(out, record.values.begin, values_size);
    out += values_size;
  }
  // Missing values become empty fields: every row has all its columns.
  const int32_t present = record.value_fields > 0 ? record.value_fields : 1;
  for (int32_t i = present; i < value_count; ++i) *out++ = ',';
  std::memcpy(out, ROW_END, ROW_END_SIZE);
  return out + ROW_END_SIZE;
}
