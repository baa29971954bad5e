// Usage: what the programs say when asked for help or their version.
#include "converter/usage.h"

#include <cstdio>

#ifndef FERROW_VERSION
#error "the build sets FERROW_VERSION"
#endif

void print_help(const ConverterProfile& profile) {
  std::printf(
      "Usage: %s [OPTION]... FILE\n"
      "Writes the records of FILE, a raw record file of %s\n"
      "(serial %s), into one CSV file per calendar day:\n"
      "YYYY-MM-DD_ZORL_Raw_Data_SN%s.csv. Each row holds a timestamp and the\n"
      "record's %d values, copied unchanged. Rows are appended; a new daily\n"
      "file starts with the header line. FILE - reads standard input.\n"
      "\n"
      "  -C, --directory=DIR  write the daily files into DIR, not the current\n"
      "                       directory\n"
      "      --rejects=FILE   append every line that gives no row to FILE, as\n"
      "                       it stood, to be mended and converted again\n"
      "      --state=FILE     convert only what FILE has not seen yet, "
      "exactly\n"
      "                       once across runs and crashes, and save the new\n"
      "                       position in FILE\n"
      "  -v, --verbose        print what the run did on standard error\n"
      "      --help           show this help and exit\n"
      "      --version        show the version and exit\n"
      "\n"
      "Examples:\n"
      "  %s -C station42 station42.raw\n"
      "  %s --rejects=skipped.raw -v station42.raw\n"
      "  %s --state=station42.state -C station42 station42.raw\n"
      "\n"
      "Exit status: 0 when every record was read and every row written,\n"
      "1 when the input could not be read or a file not written, or a\n"
      "--state run was refused, 2 for a wrong command line.\n",
      profile.program_name, profile.instrument, profile.serial_text,
      profile.serial_text, static_cast<int>(profile.value_count),
      profile.program_name, profile.program_name, profile.program_name);
}

void print_version(const ConverterProfile& profile) {
  std::printf("%s %s\n", profile.program_name, FERROW_VERSION);
}
