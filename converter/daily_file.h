// Daily files: one CSV file per calendar day, appended to, one open at a time.
#ifndef FERROW_CONVERTER_DAILY_FILE_H
#define FERROW_CONVERTER_DAILY_FILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "converter/driver.h"
#include "converter/line_reader.h"
#include "converter/raw_record.h"
#include "converter/row_format.h"

struct DailyFile {
  std::FILE* stream;  // null while no daily file is open
  int32_t year;       // key of the day whose file is open; -1 before the first
  int32_t day_of_year;
  char name[FILE_NAME_SIZE];
  char date_prefix[DATE_PREFIX_SIZE];
  size_t date_prefix_size;
  char* buffer;  // whole rows waiting to be written, owned by the caller
  size_t capacity;
  size_t size;
  long written;  // the file's size after the last whole write
  int error;     // errno of the failure that a false return reported
};

// Room for the longest row that a line can carry, with the most values a
// profile may copy.
constexpr size_t DAILY_BUFFER_SIZE =
    DATE_PREFIX_SIZE + TIME_TEXT_MAX + 1 + MAX_LINE_SIZE + MAX_VALUE_COUNT + 2;

// Starts with no daily file open, rows collecting in buffer.
void start_daily_files(DailyFile* daily, char* buffer, size_t capacity);

// Opens (creating when absent) and locks the file of the given day for
// appending; an empty file gets the header line. The day must lie in its
// year. False, with name set, when the file cannot be opened.
bool open_daily_file(DailyFile* daily, const ConverterProfile& profile,
                     int32_t year, int32_t day_of_year);

// Adds the record's row. False when writing the rows collected before it
// failed; what that write left half done has then been cut away.
bool write_row(DailyFile* daily, const RawRecord& record, int32_t value_count);

// Writes what is collected and closes the file. False when either fails.
bool close_daily_file(DailyFile* daily);

#endif
