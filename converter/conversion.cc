// Conversion: one pass over the input's lines into daily files and the
// reject file.
#include "converter/conversion.h"

#include <cstring>
#include <string>

#include "converter/daily_file.h"
#include "converter/incremental.h"
#include "converter/line_reader.h"
#include "converter/platform.h"
#include "converter/raw_record.h"
#include "converter/reject_file.h"

namespace {

// The run's only large memory, fixed whatever the input: the block being
// read, a line with its CRs squeezed out, the rows and the rejected lines
// waiting to be written.
char input_block[READ_BUFFER_SIZE];
char squeezed_line[READ_BUFFER_SIZE];
char row_block[DAILY_BUFFER_SIZE];
char reject_block[REJECT_BUFFER_SIZE];

bool reject(RejectFile* rejects, RunReport* report, RejectReason reason,
            FieldText raw) {
  ++report->rejected[reason];
  return !keeps_rejects(rejects) || keep_line(rejects, raw);
}

// True when the file name has the form of a daily file's, in any folder.
bool is_daily_name(const char* path, const ConverterProfile& profile) {
  const char* slash = std::strrchr(path, '/');
  const char* name = slash == nullptr ? path : slash + 1;
  const std::string tail =
      std::string("_ZORL_Raw_Data_SN") + profile.serial_text + ".csv";
  const size_t length = std::strlen(name);
  return length == 10 + tail.size() &&
         std::strcmp(name + 10, tail.c_str()) == 0;
}

bool check_own_file(const char* option, const char* path,
                    const Options& options, const ConverterProfile& profile,
                    RunReport* report) {
  if (path == nullptr) return true;
  if (std::strcmp(options.input, "-") != 0 && same_file(path, options.input)) {
    return record_refusal(
        &report->failure,
        std::string("The ") + option + " file " + path + " is the input file.");
  }
  if (is_daily_name(path, profile)) {
    return record_refusal(&report->failure,
                          std::string("The ") + option + " file " + path +
                              " has the name of a daily file.");
  }
  return true;
}

}  // namespace

bool check_paths(const Options& options, const ConverterProfile& profile,
                 RunReport* report) {
  int error = 0;
  if (options.directory != nullptr &&
      !is_directory(options.directory, &error)) {
    return record_failure(&report->failure, "use directory", options.directory,
                          error);
  }
  if (options.rejects != nullptr && options.state != nullptr &&
      same_file(options.rejects, options.state)) {
    return record_refusal(&report->failure, std::string("The reject file ") +
                                                options.rejects +
                                                " is the state file.");
  }
  return check_own_file("reject", options.rejects, options, profile, report) &&
         check_own_file("state", options.state, options, profile, report);
}

// The per-line functions are shared with the undo's replay, so the
// compiler no longer inlines them by itself; here, where every line of a
// conversion goes through them, it must.
[[gnu::flatten]] bool convert_lines(const Pass& pass, const Options& options,
                                    const ConverterProfile& profile,
                                    RunReport* report, uint64_t* consumed) {
  LineReader reader;
  start_lines(&reader, pass.input, input_block, squeezed_line, pass.start,
              pass.hold_unfinished);
  DailyFiles files{};
  start_daily_files(
      &files, profile, options.directory == nullptr ? "" : options.directory,
      row_block, DAILY_BUFFER_SIZE, pass.journal, pass.durable, report);
  RejectFile rejects{};
  start_rejects(&rejects, options.rejects == nullptr ? "" : options.rejects,
                reject_block, pass.journal, pass.durable, &report->failure);

  // Counted here, not through the report, so that the count stays in a
  // register on the path every line takes.
  uint64_t lines_read = 0;
  bool in_pieces = false;
  Line line;
  for (;;) {
    const LineKind kind = next_line(&reader, &line);
    if (kind == LINE_WHOLE) {
      ++lines_read;
      RawRecord record;
      RejectReason reason;
      if (!parse_record(line.text.begin, line.text.end, profile.value_count,
                        &record, &reason)) {
        if (!reject(&rejects, report, reason, line.raw)) break;
        continue;
      }
      // A record of the current day was accepted with that day's first.
      if (!is_current_day(&files, record.year, record.day_of_year)) {
        if (!check_date(record, &reason)) {
          if (!reject(&rejects, report, reason, line.raw)) break;
          continue;
        }
        if (!switch_day(&files, record.year, record.day_of_year)) break;
      }
      if (!write_row(&files, record)) break;
    } else if (kind == LINE_PIECE) {
      const bool first = !in_pieces;
      in_pieces = !line.last;
      if (keeps_rejects(&rejects) &&
          !keep_piece(&rejects, line.raw, first, line.last)) {
        break;
      }
      if (line.last) {
        ++lines_read;
        ++report->rejected[REJECT_LENGTH];
      }
    } else {
      if (reader.abandoned && keeps_rejects(&rejects) &&
          !drop_pieces(&rejects)) {
        break;
      }
      if (reader.failed) {
        record_failure(&report->failure, "read input file", pass.input_name,
                       reader.error);
      }
      break;
    }
  }
  report->lines_read += lines_read;
  // Every failure is recorded where it happens, and only the first is kept:
  // after one, closing only releases the files.
  const bool rejects_closed = close_rejects(&rejects);
  const bool files_closed = close_daily_files(&files);
  *consumed = consumed_offset(&reader);
  return rejects_closed && files_closed && report->failure.message.empty();
}

bool convert(const Options& options, const ConverterProfile& profile,
             RunReport* report) {
  if (!check_paths(options, profile, report)) return false;
  if (options.state != nullptr) {
    return convert_incrementally(options, profile, report);
  }
  const bool from_stdin = std::strcmp(options.input, "-") == 0;
  std::FILE* input = from_stdin ? stdin : open_for_reading(options.input);
  std::printf("Processing %s . . .\n", options.input);
  if (input == nullptr) {
    std::fputs("Error: Unable to open input file.\n", stdout);
    return false;
  }
  // The block reads go straight into the converter's own buffer.
  std::setvbuf(input, nullptr, _IONBF, 0);
  const Pass pass = {input, options.input, 0, false, nullptr, false};
  uint64_t consumed = 0;
  const bool ok = convert_lines(pass, options, profile, report, &consumed);
  if (!from_stdin) std::fclose(input);
  return ok;
}
