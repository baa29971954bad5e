// Options: the command line read into one record, the GNU way.
#ifndef FERROW_CONVERTER_OPTIONS_H
#define FERROW_CONVERTER_OPTIONS_H

#include <string>

enum Action { ACTION_CONVERT, ACTION_HELP, ACTION_VERSION };

struct Options {
  Action action = ACTION_CONVERT;
  const char* input = nullptr;      // the one FILE operand; "-" is stdin
  const char* directory = nullptr;  // -C: where daily files go; null: here
  const char* rejects = nullptr;    // --rejects: where skipped lines go
  const char* state = nullptr;      // --state: resume from this file
  bool verbose = false;             // -v: a summary on standard error
};

enum ParseOutcome {
  PARSE_OK,
  PARSE_OPERAND_COUNT,  // not exactly one FILE (none with --help, --version)
  PARSE_BAD_OPTION,     // message says which and why
};

// Reads the arguments after the program's name. Options may stand before or
// after FILE, "--" ends them, a later option overrides an earlier one.
ParseOutcome parse_options(int count, const char* const* arguments,
                           Options* options, std::string* message);

#endif
