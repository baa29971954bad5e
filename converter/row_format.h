// Row format: the texts of a daily file, formatted without the C library
// where they are written once per row.
#ifndef FERROW_CONVERTER_ROW_FORMAT_H
#define FERROW_CONVERTER_ROW_FORMAT_H

#include <cstddef>
#include <cstdint>

#include "converter/raw_record.h"

// Room for a daily file's name, terminator included.
constexpr size_t FILE_NAME_SIZE = 80;

// Room for "YYYY-MM-DD " of any 32-bit year, terminator included.
constexpr size_t DATE_PREFIX_SIZE = 24;

// The most that format_time writes: three 32-bit fields with signs.
constexpr size_t TIME_TEXT_MAX = 3 * 11 + 2;

// The daily file's name for a date and serial, terminated. Returns its
// length.
size_t format_file_name(char* out, int32_t year, int32_t month, int32_t day,
                        const char* serial_text);

// "YYYY-MM-DD " (the blank included), terminated. Returns its length.
size_t format_date_prefix(char* out, int32_t year, int32_t month, int32_t day);

// value as printf's "%0<width>d" writes it: zero-filled to width, sign
// counted in the width, wider values in full. Returns one past the last byte.
char* format_padded(char* out, int32_t value, int32_t width);

// "HH:MM:SS", each part as format_padded with width 2. Returns one past the
// last byte; nothing is terminated.
char* format_time(char* out, int32_t hour, int32_t minute, int32_t second);

// The line end of every line of a daily file.
constexpr char ROW_END[] = "\r\n";
constexpr size_t ROW_END_SIZE = 2;

// The most that format_row writes for a record whose values span
// values_size bytes.
constexpr size_t row_size_limit(size_t values_size, int32_t value_count) {
  return DATE_PREFIX_SIZE + TIME_TEXT_MAX + 1 + values_size +
         static_cast<size_t>(value_count) + ROW_END_SIZE;
}

// The record's row: the date prefix (DATE_PREFIX_SIZE bytes are read, its
// first prefix_size count), time of day, value_count values with empty
// fields for the missing ones, line end. Returns one past the last byte.
char* format_row(char* out, const char* date_prefix, size_t prefix_size,
                 const RawRecord& record, int32_t value_count);

#endif
