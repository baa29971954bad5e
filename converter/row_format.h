// Row format: the texts of a daily file, formatted without the C library
// where they are written once per row.
#ifndef FERROW_CONVERTER_ROW_FORMAT_H
#define FERROW_CONVERTER_ROW_FORMAT_H

#include <cstddef>
#include <cstdint>

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

#endif
