// Daily files: one CSV file per calendar day, appended to; the last few days
// stay open, so that input whose days alternate is not slowed by reopening.
#ifndef FERROW_CONVERTER_DAILY_FILE_H
#define FERROW_CONVERTER_DAILY_FILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "converter/line_reader.h"
#include "converter/profile.h"
#include "converter/raw_record.h"
#include "converter/row_format.h"
#include "converter/run_report.h"
#include "converter/write_journal.h"

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
  int64_t written;     // the file's size after the last whole write
  uint64_t last_used;  // for choosing which day to close
};

// The set of daily files of one run. It owns the open streams: closing them
// is checked by close_daily_files, and the destructor only releases what an
// early return left open.
struct DailyFiles {
  DayFile days[OPEN_DAYS];
  DayFile* current;  // the day the buffered rows belong to; null at first
  const ConverterProfile* profile;
  std::string directory;  // prefix of every path: empty, or ends in '/'
  char* buffer;           // whole rows waiting to be written, caller's memory
  size_t capacity;
  size_t size;
  uint64_t buffered_rows;
  uint64_t clock;
  std::set<int64_t> opened;     // the days opened so far in this run
  const WriteJournal* journal;  // told of each file before it is written
  bool durable;                 // each file is synced before it is closed
  RunReport* report;            // counts and the first failure

  ~DailyFiles();
};

// Room for the longest row that a line can carry, with the most values a
// profile may copy.
constexpr size_t DAILY_BUFFER_SIZE =
    row_size_limit(MAX_LINE_SIZE, MAX_VALUE_COUNT);

// Starts with no daily file open, rows for the files in directory (empty
// for the working directory) collecting in buffer. journal may be null.
void start_daily_files(DailyFiles* files, const ConverterProfile& profile,
                       const std::string& directory, char* buffer,
                       size_t capacity, const WriteJournal* journal,
                       bool durable, RunReport* report);

// The path of a daily file in the run's directory.
std::string daily_path(const DailyFiles* files, const char* name);

// True when rows of the given day go to the current file.
bool is_current_day(const DailyFiles* files, int32_t year, int32_t day_of_year);

// Makes the given day's file current: writes the rows of the day before,
// then opens (creating when absent) and locks the day's file unless it is
// still open. A file that is empty when opened gets the header line; one
// that ends in part of a row gets a line end first, so that no row is ever
// glued to it. The day must lie in its year. False on failure.
[[nodiscard]] bool switch_day(DailyFiles* files, int32_t year,
                              int32_t day_of_year);

// Adds the record's row to the current day. False when writing the rows
// collected before it failed; what that write left half done has then been
// cut away.
[[nodiscard]] bool write_row(DailyFiles* files, const RawRecord& record);

// Writes what is collected and closes every file. False when any of that
// fails; the first failure is the one reported.
[[nodiscard]] bool close_daily_files(DailyFiles* files);

#endif
