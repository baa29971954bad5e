// Usage: what the programs say when asked for help or their version.
#ifndef FERROW_CONVERTER_USAGE_H
#define FERROW_CONVERTER_USAGE_H

#include "converter/profile.h"

// The --help text, on standard output.
void print_help(const ConverterProfile& profile);

// "<program> <version>", on standard output.
void print_version(const ConverterProfile& profile);

#endif
