// Daily files: one CSV file per calendar day, appended to; the last few days
// stay open, so that input whose days alternate is not slowed by reopening.
#ifndef FERROW_CONVERTER_DAILY_FILE_H
#define FERROW_CONVERTER_DAILY_FILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "converter/driver.h"
#include "converter/line_reader.h"
#include "converter/raw_record.h"
#include "converter/row_format.h"

// How many daily files may be open, and locked, at once.
constexpr int OPEN_DAYS = 4;

// One open daily file.
struct DayFile {
  std::FILE* stream;  // null while the slot is free
  int32_t year;
  int32_t day_of_year;
  char name[FILE_NAME_SIZE];
  char date_prefix[DATE_PREFIX_SIZE];
  size_t date_prefix_size;
  long written;        // the file's size after the last whole write
  uint64_t last_used;  // for choosing which day to close
};

struct DailyFiles {
  DayFile days[OPEN_DAYS];
  DayFile* current;  // the day the buffered rows belong to; null at first
  char* buffer;      // whole rows waiting to be written, owned by the caller
  size_t capacity;
  size_t size;
  uint64_t clock;
  // What a false return reports: the file, whether opening it failed (else
  // writing or closing it), and errno.
  char failed_name[FILE_NAME_SIZE];
  bool open_failed;
  int error;
};

// Room for the longest row that a line can carry, with the most values a
// profile may copy.
constexpr size_t DAILY_BUFFER_SIZE =
    DATE_PREFIX_SIZE + TIME_TEXT_MAX + 1 + MAX_LINE_SIZE + MAX_VALUE_COUNT + 2;

// Starts with no daily file open, rows collecting in buffer.
void start_daily_files(DailyFiles* files, char* buffer, size_t capacity);

// True when rows of the given day go to the current file.
bool is_current_day(const DailyFiles* files, int32_t year, int32_t day_of_year);

// Makes the given day's file current: writes the rows of the day before,
// then opens (creating when absent) and locks the day's file for appending
// unless it is still open; a file that is empty when opened gets the header
// line. The day must lie in its year. False on failure.
bool switch_day(DailyFiles* files, const ConverterProfile& profile,
                int32_t year, int32_t day_of_year);

// Adds the record's row to the current day. False when writing the rows
// collected before it failed; what that write left half done has then been
// cut away.
bool write_row(DailyFiles* files, const RawRecord& record, int32_t value_count);

// Writes what is collected and closes every file. False when any of that
// fails; the first failure is the one reported.
bool close_daily_files(DailyFiles* files);

#endif
