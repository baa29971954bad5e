// Daily files: one CSV file per calendar day, appended to; the last few days
// stay open, so that input whose days alternate is not slowed by reopening.
#include "converter/daily_file.h"

#include <cerrno>
#include <cstring>

#include "converter/calendar.h"
#include "converter/platform.h"

namespace {

constexpr char LINE_END[] = "\r\n";
constexpr size_t LINE_END_SIZE = 2;

// Records a failure, the first of a run only: closing files after it may
// fail too, but the first is what the user needs to hear of.
bool failure(DailyFiles* files, const DayFile* day, bool opening, int error) {
  if (files->failed_name[0] != '\0') return false;
  std::memcpy(files->failed_name, day->name, FILE_NAME_SIZE);
  files->open_failed = opening;
  files->error = error;
  return false;
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
    day->written += static_cast<long>(wanted);
    return true;
  }
  const int error = errno;
  truncate_file(day->stream, day->written);
  return failure(files, day, false, error);
}

bool close_day(DailyFiles* files, DayFile* day) {
  if (files->current == day) files->current = nullptr;
  errno = 0;
  const bool closed = std::fclose(day->stream) == 0;
  day->stream = nullptr;
  return closed || failure(files, day, false, errno);
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

// Opens the day's file into the slot, closing other days when the process
// has no descriptor left for it.
bool open_day(DailyFiles* files, DayFile* slot) {
  for (;;) {
    errno = 0;
    slot->stream = std::fopen(slot->name, "ab");
    if (slot->stream != nullptr) return true;
    const int error = errno;
    DayFile* spare = oldest_open(files, slot);
    if ((error != EMFILE && error != ENFILE) || spare == nullptr) {
      return failure(files, slot, true, error);
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
  errno = 0;
  return lock_file(slot->stream) || failure(files, slot, true, errno);
}

}  // namespace

void start_daily_files(DailyFiles* files, char* buffer, size_t capacity) {
  for (DayFile& day : files->days) {
    day.stream = nullptr;
    day.year = -1;
    day.day_of_year = -1;
  }
  files->current = nullptr;
  files->buffer = buffer;
  files->capacity = capacity;
  files->size = 0;
  files->clock = 0;
  files->failed_name[0] = '\0';
  files->open_failed = false;
  files->error = 0;
}

bool is_current_day(const DailyFiles* files, int32_t year,
                    int32_t day_of_year) {
  const DayFile* day = files->current;
  return day != nullptr && day->year == year && day->day_of_year == day_of_year;
}

bool switch_day(DailyFiles* files, const ConverterProfile& profile,
                int32_t year, int32_t day_of_year) {
  if (files->current != nullptr && !flush_rows(files)) return false;
  ++files->clock;
  DayFile* slot = nullptr;
  for (DayFile& day : files->days) {
    if (day.stream != nullptr && day.year == year &&
        day.day_of_year == day_of_year) {
      day.last_used = files->clock;
      files->current = &day;
      return true;
    }
    if (day.stream == nullptr && slot == nullptr) slot = &day;
  }
  if (slot == nullptr) {
    slot = oldest_open(files, nullptr);
    if (!close_day(files, slot)) return false;
  }

  int32_t month = 0;
  int32_t day = 0;
  date_from_day_of_year(day_of_year, year, &month, &day);
  format_file_name(slot->name, year, month, day, profile.serial_text);
  slot->date_prefix_size =
      format_date_prefix(slot->date_prefix, year, month, day);
  slot->year = year;
  slot->day_of_year = day_of_year;
  slot->last_used = files->clock;
  if (!open_day(files, slot)) return false;
  // Rows are collected in whole-row blocks here; the stream adds no copy.
  std::setvbuf(slot->stream, nullptr, _IONBF, 0);
  // The lock is held until the close, so that runs sharing a day take turns
  // and exactly one of them finds the file empty and writes the header.
  if (!lock_day(files, slot)) return abandon_day(slot);
  errno = 0;
  if (std::fseek(slot->stream, 0, SEEK_END) != 0 ||
      (slot->written = std::ftell(slot->stream)) < 0) {
    failure(files, slot, true, errno);
    return abandon_day(slot);
  }
  files->current = slot;
  if (slot->written == 0) {
    const size_t length = std::strlen(profile.header_line);
    std::memcpy(files->buffer, profile.header_line, length);
    std::memcpy(files->buffer + length, LINE_END, LINE_END_SIZE);
    files->size = length + LINE_END_SIZE;
  }
  return true;
}

bool write_row(DailyFiles* files, const RawRecord& record,
               int32_t value_count) {
  const auto values_size =
      static_cast<size_t>(record.values.end - record.values.begin);
  const size_t longest = DATE_PREFIX_SIZE + TIME_TEXT_MAX + 1 + values_size +
                         static_cast<size_t>(value_count) + LINE_END_SIZE;
  if (files->capacity - files->size < longest && !flush_rows(files)) {
    return false;
  }
  const DayFile* day = files->current;
  char* out = files->buffer + files->size;
  // The whole prefix array is copied, a fixed size that compiles to a few
  // moves; only its text counts.
  std::memcpy(out, day->date_prefix, DATE_PREFIX_SIZE);
  out += day->date_prefix_size;
  out = format_time(out, record.hhmm / 100, record.hhmm % 100, record.seconds);
  *out++ = ',';
  if (values_size > 0) {
    std::memcpy(out, record.values.begin, values_size);
    out += values_size;
  }
  // Missing values become empty fields: every row has all its columns.
  const int32_t present = record.value_fields > 0 ? record.value_fields : 1;
  for (int32_t i = present; i < value_count; ++i) *out++ = ',';
  std::memcpy(out, LINE_END, LINE_END_SIZE);
  out += LINE_END_SIZE;
  files->size = static_cast<size_t>(out - files->buffer);
  return true;
}

bool close_daily_files(DailyFiles* files) {
  bool ok = files->current == nullptr || flush_rows(files);
  for (DayFile& day : files->days) {
    if (day.stream != nullptr) ok = close_day(files, &day) && ok;
  }
  return ok;
}
