// Converter driver: turns one raw record file into daily CSV files.
#include "converter/driver.h"

#include <cstdio>
#include <cstring>

#include "converter/calendar.h"
#include "converter/daily_file.h"
#include "converter/line_reader.h"
#include "converter/platform.h"
#include "converter/raw_record.h"
#include "converter/usage.h"

namespace {

// The run's only memory besides the stack, fixed whatever the input: the
// block being read and the rows waiting to be written.
char input_block[READ_BUFFER_SIZE];
char row_block[DAILY_BUFFER_SIZE];

bool is_accepted(const RawRecord& record) {
  return record.year > 1900 && record.day_of_year >= 1 &&
         record.day_of_year <= days_in_year(record.year);
}

void report(const char* action, const char* name, int error) {
  std::printf("Error: Unable to %s %s: %s.\n", action, name,
              std::strerror(error));
}

// Reads every record and writes the accepted ones; on the first failure,
// reports it and stops. The input stays open for the caller to close.
int convert(std::FILE* input, const char* path,
            const ConverterProfile& profile) {
  LineReader reader;
  start_lines(&reader, input, input_block);
  DailyFiles files{};
  start_daily_files(&files, row_block, DAILY_BUFFER_SIZE);

  int status = EXIT_OK;
  FieldText line;
  while (next_line(&reader, &line)) {
    RawRecord record;
    if (!parse_record(line.begin, line.end, profile.value_count, &record)) {
      continue;
    }
    // A record of the current day was accepted with that day's first.
    if (!is_current_day(&files, record.year, record.day_of_year)) {
      if (!is_accepted(record)) continue;
      if (!switch_day(&files, profile, record.year, record.day_of_year)) {
        status = EXIT_IO_FAILURE;
        break;
      }
    }
    if (!write_row(&files, record, profile.value_count)) {
      status = EXIT_IO_FAILURE;
      break;
    }
  }
  if (status == EXIT_OK && reader.failed) {
    report("read input file", path, reader.error);
    close_daily_files(&files);
    return EXIT_IO_FAILURE;
  }
  // After a failure this only releases the files; the failure reported is
  // the first.
  if (!close_daily_files(&files) || status != EXIT_OK) {
    report(files.open_failed ? "open daily file" : "write daily file",
           files.failed_name, files.error);
    return EXIT_IO_FAILURE;
  }
  return EXIT_OK;
}

// Messages that never reached standard output are a failure too.
int finish(int status) {
  if (std::fflush(stdout) != 0 && status == EXIT_OK) return EXIT_IO_FAILURE;
  return status;
}

}  // namespace

int run_conversion(int argument_count, const char* const* arguments,
                   const ConverterProfile& profile) {
  if (argument_count != 1) {
    std::fputs("Error: Invalid parameter count specified at command line.\n",
               stdout);
    return finish(EXIT_USAGE);
  }
  const char* path = arguments[0];
  if (std::strcmp(path, "--help") == 0) {
    print_help(profile);
    return finish(EXIT_OK);
  }
  if (std::strcmp(path, "--version") == 0) {
    print_version(profile);
    return finish(EXIT_OK);
  }
  prepare_process();
  const bool from_stdin = std::strcmp(path, "-") == 0;
  std::FILE* input = from_stdin ? stdin : std::fopen(path, "rb");
  std::printf("Processing %s . . .\n", path);
  if (input == nullptr) {
    std::fputs("Error: Unable to open input file.\n", stdout);
    return finish(EXIT_IO_FAILURE);
  }
  // The block reads go straight into the converter's own buffer.
  std::setvbuf(input, nullptr, _IONBF, 0);
  const int status = convert(input, path, profile);
  if (!from_stdin) std::fclose(input);
  return finish(status);
}
