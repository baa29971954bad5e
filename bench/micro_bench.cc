// Micro-benchmarks of the per-record work: cutting fields, reading the
// leading integers and formatting a row, on a typical one-second record.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "converter/daily_file.h"
#include "converter/field_cursor.h"
#include "converter/raw_record.h"
#include "converter/row_format.h"
#include "profiles/ferrow.h"

namespace {

const std::string LINE =
    "17,2016,60,1342,-7,21.53,101.325,22.10,45.0,1438.348,704.500,2479.937,"
    "356.303,536.064,1042.140,12.6,13.0";

void BM_ParseRecord(benchmark::State& state) {
  RawRecord record;
  RejectReason reason;
  for (auto _ : state) {
    benchmark::DoNotOptimize(parse_record(
        LINE.data(), LINE.data() + LINE.size(), 11, &record, &reason));
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(LINE.size()));
}
BENCHMARK(BM_ParseRecord);

void BM_TakeValueFields(benchmark::State& state) {
  const char* values = LINE.data() + 16;
  for (auto _ : state) {
    FieldCursor cursor;
    start_fields(&cursor, values, LINE.data() + LINE.size());
    FieldText span;
    benchmark::DoNotOptimize(take_fields(&cursor, ',', 11, &span));
    benchmark::DoNotOptimize(span);
  }
}
BENCHMARK(BM_TakeValueFields);

void BM_ReadInteger(benchmark::State& state) {
  const char* year = LINE.data() + 3;
  int32_t value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(read_integer(year, year + 4, &value));
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ReadInteger);

void BM_FormatTime(benchmark::State& state) {
  char text[TIME_TEXT_MAX];
  int32_t second = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format_time(text, 13, 42, second));
    second = (second + 1) % 60;
  }
}
BENCHMARK(BM_FormatTime);

// A row into the collecting buffer; the buffer is emptied before it would
// need writing, so no file is touched.
void BM_WriteRow(benchmark::State& state) {
  static char buffer[DAILY_BUFFER_SIZE];
  RunReport report;
  DailyFiles files{};
  start_daily_files(&files, FERROW_PROFILE, "", buffer, DAILY_BUFFER_SIZE,
                    nullptr, false, &report);
  DayFile& day = files.days[0];
  day.date_prefix_size = format_date_prefix(day.date_prefix, 2016, 2, 29);
  files.current = &day;
  RawRecord record;
  RejectReason reason;
  parse_record(LINE.data(), LINE.data() + LINE.size(), 11, &record, &reason);
  for (auto _ : state) {
    if (files.size > DAILY_BUFFER_SIZE / 2) files.size = 0;
    benchmark::DoNotOptimize(write_row(&files, record));
  }
  benchmark::DoNotOptimize(buffer);
}
BENCHMARK(BM_WriteRow);

}  // namespace
