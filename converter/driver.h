// Converter driver: turns one raw record file into daily CSV files.
#ifndef FERROW_CONVERTER_DRIVER_H
#define FERROW_CONVERTER_DRIVER_H

#include <cstdint>

// What one program is built with: the instrument it converts for.
struct ConverterProfile {
  const char* header_line;   // first line of every daily file, no line end
  const char* serial_text;   // the serial number in every daily file's name
  int32_t value_count;       // value fields copied into each row, at least 1
  const char* program_name;  // as the user types it, for help and version
  const char* instrument;    // a few words naming the instrument, for help
};

// The most value fields a profile may copy; it sizes the row buffer.
constexpr int32_t MAX_VALUE_COUNT = 64;

// Exit statuses: one place decides them for every path.
constexpr int EXIT_OK = 0;
constexpr int EXIT_IO_FAILURE = 1;
constexpr int EXIT_USAGE = 2;

// Converts the file named by the one argument (the arguments after the
// program's name; "-" is standard input) into daily files in the working
// directory, or answers --help or --version. Returns the exit status.
int run_conversion(int argument_count, const char* const* arguments,
                   const ConverterProfile& profile);

#endif
