// Run report: what a run did, counted as it goes, and its first failure.
#ifndef FERROW_CONVERTER_RUN_REPORT_H
#define FERROW_CONVERTER_RUN_REPORT_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "converter/raw_record.h"

// The first failure of a run, as the message that reports it.
struct Failure {
  std::string message;  // empty while nothing has failed
};

struct RunReport {
  uint64_t lines_read = 0;  // lines up to the end of the input or a 0x1A
  uint64_t rows_written = 0;
  uint64_t rejected[REJECT_REASONS] = {};
  uint64_t files_created = 0;   // daily files empty when first opened
  uint64_t files_appended = 0;  // daily files that held data already
  uint64_t rows_ended = 0;      // daily files that ended in part of a row
  bool incremental = false;
  uint64_t start_offset = 0;  // where an incremental run began
  uint64_t consumed = 0;      // bytes it took from there
  Failure failure;
};

// Keeps the first failure of a run only, as "Error: Unable to <action>
// <name>: <reason>.": what follows it (closing files after a failed write)
// may fail too, but the first is the one to hear of. Returns false, so that
// a caller can return its result.
bool record_failure(Failure* failure, const char* action,
                    const std::string& name, int error);

// The same for a failure that the system did not report: message is the
// whole sentence after "Error: ".
bool record_refusal(Failure* failure, const std::string& message);

// The failure, if any, on standard output.
void print_failure(const Failure& failure);

uint64_t lines_skipped(const RunReport& report);

// The counts, in two lines for a terminal or a cron mail.
void print_summary(const RunReport& report, const char* program,
                   std::FILE* out);

#endif
