// Run report: what a run did, counted as it goes, and its first failure.
#include "converter/run_report.h"

#include <cinttypes>

#include "converter/platform.h"

bool record_failure(Failure* failure, const char* action,
                    const std::string& name, int error) {
  return record_refusal(failure, std::string("Unable to ") + action + " " +
                                     name + ": " + error_text(error) + ".");
}

bool record_refusal(Failure* failure, const std::string& message) {
  if (failure->message.empty()) failure->message = "Error: " + message + "\n";
  return false;
}

void print_failure(const Failure& failure) {
  std::fputs(failure.message.c_str(), stdout);
}

uint64_t lines_skipped(const RunReport& report) {
  uint64_t skipped = 0;
  for (uint64_t count : report.rejected) skipped += count;
  return skipped;
}

void print_summary(const RunReport& report, const char* program,
                   std::FILE* out) {
  const uint64_t* why = report.rejected;
  std::fprintf(out,
               "%s: %" PRIu64 " lines read, %" PRIu64 " rows written, %" PRIu64
               " skipped: %" PRIu64 " short, %" PRIu64 " overflow, %" PRIu64
               " year, %" PRIu64 " day, %" PRIu64 " too long\n",
               program, report.lines_read, report.rows_written,
               lines_skipped(report), why[REJECT_FIELDS], why[REJECT_RANGE],
               why[REJECT_YEAR], why[REJECT_DAY], why[REJECT_LENGTH]);
  std::fprintf(out,
               "%s: daily files: %" PRIu64 " created, %" PRIu64 " appended to",
               program, report.files_created, report.files_appended);
  if (report.rows_ended > 0) {
    std::fprintf(out, ", %" PRIu64 " with a cut-off row ended first",
                 report.rows_ended);
  }
  if (report.incremental) {
    std::fprintf(out, "; from byte %" PRIu64 ", %" PRIu64 " bytes consumed",
                 report.start_offset, report.consumed);
  }
  std::fputc('\n', out);
}
