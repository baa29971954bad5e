// Usage: what the programs say when asked for help or their version.
#include "converter/usage.h"

#include <cstdio>

#ifndef FERROW_VERSION
#error "the build sets FERROW_VERSION"
#endif

void print_help(const ConverterProfile& profile) {
  std::printf(
      "Usage: %s FILE\n"
      "Writes the records of FILE, a raw record file of %s\n"
      "(serial %s), into one CSV file per calendar day in the current\n"
      "directory: YYYY-MM-DD_ZORL_Raw_Data_SN%s.csv. Each row holds a\n"
      "timestamp and the record's %d values, copied unchanged. Rows are\n"
      "appended; a new daily file starts with the header line.\n"
      "FILE - reads standard input.\n"
      "\n"
      "  --help     show this help and exit\n"
      "  --version  show the version and exit\n"
      "\n"
      "Exit status: 0 when every record was read and every row written,\n"
      "1 when the input could not be read or a daily file not written,\n"
      "2 when not given exactly one argument.\n",
      profile.program_name, profile.instrument, profile.serial_text,
      profile.serial_text, static_cast<int>(profile.value_count));
}

void print_version(const ConverterProfile& profile) {
  std::printf("%s %s\n", profile.program_name, FERROW_VERSION);
}
