// Incremental conversion: a growing input converted exactly once across
// runs and crashes, its progress kept in a state file.
#ifndef FERROW_CONVERTER_INCREMENTAL_H
#define FERROW_CONVERTER_INCREMENTAL_H

#include "converter/options.h"
#include "converter/profile.h"
#include "converter/run_report.h"

// Converts the finished lines of options.input after the position saved in
// options.state, first undoing a run that was cut short, then saves the new
// position. Refuses when the input is not the one the state was made from.
bool convert_incrementally(const Options& options,
                           const ConverterProfile& profile, RunReport* report);

#endif
