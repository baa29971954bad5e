// Converter driver: the command line in, the exit status out.
#ifndef FERROW_CONVERTER_DRIVER_H
#define FERROW_CONVERTER_DRIVER_H

#include "converter/profile.h"

// Exit statuses: one place decides them for every path.
constexpr int EXIT_OK = 0;
constexpr int EXIT_IO_FAILURE = 1;
constexpr int EXIT_USAGE = 2;

// Reads the arguments after the program's name, then converts the one FILE
// ("-" is standard input) into daily files, or answers --help or
// --version. Returns the exit status.
int run_conversion(int argument_count, const char* const* arguments,
                   const ConverterProfile& profile);

#endif
