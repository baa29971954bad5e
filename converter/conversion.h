// Conversion: one pass over the input's lines into daily files and the
// reject file.
#ifndef FERROW_CONVERTER_CONVERSION_H
#define FERROW_CONVERTER_CONVERSION_H

#include <cstdint>
#include <cstdio>

#include "converter/options.h"
#include "converter/profile.h"
#include "converter/run_report.h"
#include "converter/write_journal.h"

// Converts options.input as the options say, printing the progress line and
// the input's open failure; any other failure is left in the report. False
// when the run failed.
bool convert(const Options& options, const ConverterProfile& profile,
             RunReport* report);

// How one pass reads and writes.
struct Pass {
  std::FILE* input;             // positioned at start
  const char* input_name;       // for messages
  uint64_t start;               // the input offset the pass begins at
  bool hold_unfinished;         // a last line without LF is left for later
  const WriteJournal* journal;  // told of each file first; may be null
  bool durable;                 // files are synced before they are closed
};

// Converts the lines from pass.start on; consumed is where the next pass
// would begin. False on failure, recorded in the report.
bool convert_lines(const Pass& pass, const Options& options,
                   const ConverterProfile& profile, RunReport* report,
                   uint64_t* consumed);

// The checks made before any input is read: the daily files' directory
// exists, and the reject and state files are neither the input nor a daily
// file. False, with the failure recorded, when one fails.
bool check_paths(const Options& options, const ConverterProfile& profile,
                 RunReport* report);

#endif
