// Daily files: one CSV file per calendar day, appended to, one open at a time.
#include "converter/daily_file.h"

#include <cerrno>
#include <cstring>

#include "converter/calendar.h"
#include "converter/platform.h"

namespace {

constexpr char LINE_END[] = "\r\n";
constexpr size_t LINE_END_SIZE = 2;

// Writes the collected rows in one piece. Should the write fail part-way,
// the file is cut back to its last whole row, so that it never ends in half
// a row and a later run appends to sound data.
bool flush_rows(DailyFile* daily) {
  if (daily->size == 0) return true;
  errno = 0;
  const size_t done = std::fwrite(daily->buffer, 1, daily->size, daily->stream);
  const size_t wanted = daily->size;
  daily->size = 0;
  if (done == wanted) {
    daily->written += static_cast<long>(wanted);
    return true;
  }
  daily->error = errno;
  truncate_file(daily->stream, daily->written);
  return false;
}

}  // namespace

void start_daily_files(DailyFile* daily, char* buffer, size_t capacity) {
  daily->stream = nullptr;
  daily->year = -1;
  daily->day_of_year = -1;
  daily->name[0] = '\0';
  daily->date_prefix_size = 0;
  daily->buffer = buffer;
  daily->capacity = capacity;
  daily->size = 0;
  daily->written = 0;
  daily->error = 0;
}

bool open_daily_file(DailyFile* daily, const ConverterProfile& profile,
                     int32_t year, int32_t day_of_year) {
  int32_t month = 0;
  int32_t day = 0;
  date_from_day_of_year(day_of_year, year, &month, &day);
  format_file_name(daily->name, year, month, day, profile.serial_text);
  daily->date_prefix_size =
      format_date_prefix(daily->date_prefix, year, month, day);
  daily->year = year;
  daily->day_of_year = day_of_year;
  daily->size = 0;

  errno = 0;
  daily->stream = std::fopen(daily->name, "ab");
  if (daily->stream == nullptr) {
    daily->error = errno;
    return false;
  }
  // Rows are collected in whole-row blocks here; the stream adds no copy.
  std::setvbuf(daily->stream, nullptr, _IONBF, 0);
  // The lock is held until the close, so that runs sharing a day take turns
  // and exactly one of them finds the file empty and writes the header.
  errno = 0;
  if (!lock_file(daily->stream) ||
      std::fseek(daily->stream, 0, SEEK_END) != 0 ||
      (daily->written = std::ftell(daily->stream)) < 0) {
    daily->error = errno;
    std::fclose(daily->stream);
    daily->stream = nullptr;
    return false;
  }
  if (daily->written == 0) {
    const size_t length = std::strlen(profile.header_line);
    std::memcpy(daily->buffer, profile.header_line, length);
    std::memcpy(daily->buffer + length, LINE_END, LINE_END_SIZE);
    daily->size = length + LINE_END_SIZE;
  }
  return true;
}

bool write_row(DailyFile* daily, const RawRecord& record, int32_t value_count) {
  const auto values_size =
      static_cast<size_t>(record.values.end - record.values.begin);
  const size_t longest = DATE_PREFIX_SIZE + TIME_TEXT_MAX + 1 + values_size +
                         static_cast<size_t>(value_count) + LINE_END_SIZE;
  if (daily->capacity - daily->size < longest && !flush_rows(daily)) {
    return false;
  }
  char* out = daily->buffer + daily->size;
  // The whole prefix array is copied, a fixed size that compiles to a few
  // moves; only its text counts.
  std::memcpy(out, daily->date_prefix, DATE_PREFIX_SIZE);
  out += daily->date_prefix_size;
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
  daily->size = static_cast<size_t>(out - daily->buffer);
  return true;
}

bool close_daily_file(DailyFile* daily) {
  bool ok = flush_rows(daily);
  errno = 0;
  if (std::fclose(daily->stream) != 0 && ok) {
    daily->error = errno;
    ok = false;
  }
  daily->stream = nullptr;
  return ok;
}
