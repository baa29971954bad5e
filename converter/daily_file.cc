// Daily files: one CSV file per calendar day, appended to; the last few days
// stay open, so that input whose days alternate is not slowed by reopening.
#include "converter/daily_file.h"

#include <cstring>

#include "converter/calendar.h"
#include "converter/file_end.h"
#include "converter/platform.h"

namespace {

bool day_failure(DailyFiles* files, const DayFile* day, const char* action,
                 int error) {
  return record_failure(&files->report->failure, action,
                        daily_path(files, day->name), error);
}

void add_to_buffer(DailyFiles* files, const char* text, size_t size) {
  std::memcpy(files->buffer + files->size, text, size);
  files->size += size;
}

// Writes the collected rows in one piece. Should the write fail part-way,
// the file is cut back to its last whole row, so that it never ends in half
// a row and a later run appends to sound data.
bool flush_rows(DailyFiles* files) {
  DayFile* day = files->current;
  const size_t wanted = files->size;
  if (wanted == 0) return true;
  files->size = 0;
  errno = 0;
  if (std::fwrite(files->buffer, 1, wanted, day->stream) == wanted) {
    day->written += static_cast<int64_t>(wanted);
    files->report->rows_written += files->buffered_rows;
    files->buffered_rows = 0;
    return true;
  }
  const int error = last_error();
  files->buffered_rows = 0;
  truncate_file(day->stream, day->written);
  return day_failure(files, day, "write daily file", error);
}

bool close_day(DailyFiles* files, DayFile* day) {
  if (files->current == day) files->current = nullptr;
  bool ok = !files->durable || sync_file(day->stream) ||
            day_failure(files, day, "write daily file", last_error());
  errno = 0;
  if (std::fclose(day->stream) != 0) {
    ok = day_failure(files, day, "write daily file", last_error());
  }
  day->stream = nullptr;
  return ok;
}

// Closes a day that failed before anything was written to it; the failure
// is already recorded, so the close's own result does not matter.
bool abandon_day(DayFile* day) {
  std::fclose(day->stream);
  day->stream = nullptr;
  return false;
}

// The open day used longest ago, other than keep; null when there is none.
DayFile* oldest_open(DailyFiles* files, const DayFile* keep) {
  DayFile* oldest = nullptr;
  for (DayFile& day : files->days) {
    if (day.stream == nullptr || &day == keep) continue;
    if (oldest == nullptr || day.last_used < oldest->last_used) oldest = &day;
  }
  return oldest;
}

// The slot of the day if it is open, else a free slot, closing the day used
// longest ago when none is free. Null on failure.
DayFile* find_slot(DailyFiles* files, int32_t year, int32_t day_of_year,
                   bool* is_open) {
  DayFile* free_slot = nullptr;
  for (DayFile& day : files->days) {
    if (day.stream != nullptr && day.year == year &&
        day.day_of_year == day_of_year) {
      *is_open = true;
      return &day;
    }
    if (day.stream == nullptr && free_slot == nullptr) free_slot = &day;
  }
  *is_open = false;
  if (free_slot != nullptr) return free_slot;
  DayFile* oldest = oldest_open(files, nullptr);
  return close_day(files, oldest) ? oldest : nullptr;
}

// Opens the day's file into the slot, closing other days when the process
// has no descriptor left for it.
bool open_day(DailyFiles* files, DayFile* slot) {
  const std::string path = daily_path(files, slot->name);
  for (;;) {
    slot->stream = open_for_appending(path.c_str());
    if (slot->stream != nullptr) return true;
    const int error = last_error();
    DayFile* spare = oldest_open(files, slot);
    if ((error != EMFILE && error != ENFILE) || spare == nullptr) {
      return day_failure(files, slot, "open daily file", error);
    }
    if (!close_day(files, spare)) return false;
  }
}

// Takes the day's lock. Only a process that holds no other lock may wait
// for one, so that runs sharing days can never wait on each other in a
// circle.
bool lock_day(DailyFiles* files, DayFile* slot) {
  if (try_lock_file(slot->stream)) return true;
  while (DayFile* other = oldest_open(files, slot)) {
    if (!close_day(files, other)) return false;
  }
  return lock_file(slot->stream) ||
         day_failure(files, slot, "open daily file", last_error());
}

// Called with the day's lock held: finds where the file ends and what must
// come before the first row.
bool start_day(DailyFiles* files, DayFile* slot) {
  if (!file_size(slot->stream, &slot->written)) {
    return day_failure(files, slot, "open daily file", last_error());
  }
  const int64_t key = int64_t{slot->year} * 1000 + slot->day_of_year;
  if (files->opened.insert(key).second) {
    ++(slot->written == 0 ? files->report->files_created
                          : files->report->files_appended);
    int error = 0;
    if (files->journal != nullptr &&
        !files->journal->note(files->journal->context,
                              daily_path(files, slot->name), slot->written,
                              &error)) {
      return day_failure(files, slot, "open daily file", error);
    }
  }
  bool ended = true;
  if (!ends_on_line(slot->stream, slot->written, &ended)) {
    return day_failure(files, slot, "open daily file", last_error());
  }
  files->current = slot;
  if (slot->written == 0) {
    add_to_buffer(files, files->profile->header_line,
                  std::strlen(files->profile->header_line));
    add_to_buffer(files, ROW_END, ROW_END_SIZE);
  } else if (!ended) {
    // A file left by a writer that was cut off ends in part of a row.
    ++files->report->rows_ended;
    add_to_buffer(files, ROW_END, ROW_END_SIZE);
  }
  return true;
}

}  // namespace

DailyFiles::~DailyFiles() {
  for (DayFile& day : days) {
    if (day.stream != nullptr) std::fclose(day.stream);
  }
}

void start_daily_files(DailyFiles* files, const ConverterProfile& profile,
                       const std::string& directory, char* buffer,
                       size_t capacity, const WriteJournal* journal,
                       bool durable, RunReport* report) {
  for (DayFile& day : files->days) {
    day.stream = nullptr;
    day.year = -1;
    day.day_of_year = -1;
  }
  files->current = nullptr;
  files->profile = &profile;
  files->directory = directory;
  if (!directory.empty() && directory.back() != '/') {
    files->directory += '/';
  }
  files->buffer = buffer;
  files->capacity = capacity;
  files->size = 0;
  files->buffered_rows = 0;
  files->clock = 0;
  files->opened.clear();
  files->journal = journal;
  files->durable = durable;
  files->report = report;
}

std::string daily_path(const DailyFiles* files, const char* name) {
  return files->directory + name;
}

bool is_current_day(const DailyFiles* files, int32_t year,
                    int32_t day_of_year) {
  const DayFile* day = files->current;
  return day != nullptr && day->year == year && day->day_of_year == day_of_year;
}

bool switch_day(DailyFiles* files, int32_t year, int32_t day_of_year) {
  if (files->current != nullptr && !flush_rows(files)) return false;
  ++files->clock;
  bool is_open = false;
  DayFile* slot = find_slot(files, year, day_of_year, &is_open);
  if (slot == nullptr) return false;
  slot->last_used = files->clock;
  if (is_open) {
    files->current = slot;
    return true;
  }

  int32_t month = 0;
  int32_t day = 0;
  date_from_day_of_year(day_of_year, year, &month, &day);
  format_file_name(slot->name, year, month, day, files->profile->serial_text);
  slot->date_prefix_size =
      format_date_prefix(slot->date_prefix, year, month, day);
  slot->year = year;
  slot->day_of_year = day_of_year;
  if (!open_day(files, slot)) return false;
  // Rows are collected in whole-row blocks here; the stream adds no copy.
  std::setvbuf(slot->stream, nullptr, _IONBF, 0);
  // The lock is held until the close, so that runs sharing a day take turns
  // and exactly one of them finds the file empty and writes the header.
  if (!lock_day(files, slot) || !start_day(files, slot)) {
    return abandon_day(slot);
  }
  return true;
}

bool write_row(DailyFiles* files, const RawRecord& record) {
  const int32_t value_count = files->profile->value_count;
  const size_t longest = row_size_limit(
      static_cast<size_t>(record.values.end - record.values.begin),
      value_count);
  if (files->capacity - files->size < longest && !flush_rows(files)) {
    return false;
  }
  const DayFile* day = files->current;
  char* end = format_row(files->buffer + files->size, day->date_prefix,
                         day->date_prefix_size, record, value_count);
  files->size = static_cast<size_t>(end - files->buffer);
  ++files->buffered_rows;
  return true;
}

bool close_daily_files(DailyFiles* files) {
  bool ok = files->current == nullptr || flush_rows(files);
  for (DayFile& day : files->days) {
    if (day.stream != nullptr) ok = close_day(files, &day) && ok;
  }
  return ok;
}
