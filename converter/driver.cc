// Converter driver: the command line in, the exit status out.
#include "converter/driver.h"

#include <cstdio>
#include <string>

#include "converter/conversion.h"
#include "converter/options.h"
#include "converter/platform.h"
#include "converter/run_report.h"
#include "converter/usage.h"

namespace {

// Messages that never reached standard output are a failure too.
int finish(int status) {
  if (std::fflush(stdout) != 0 && status == EXIT_OK) return EXIT_IO_FAILURE;
  return status;
}

}  // namespace

int run_conversion(int argument_count, const char* const* arguments,
                   const ConverterProfile& profile) {
  Options options;
  std::string message;
  switch (parse_options(argument_count, arguments, &options, &message)) {
    case PARSE_OPERAND_COUNT:
      std::fputs("Error: Invalid parameter count specified at command line.\n",
                 stdout);
      return finish(EXIT_USAGE);
    case PARSE_BAD_OPTION:
      std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n",
                   profile.program_name, message.c_str(), profile.program_name);
      return finish(EXIT_USAGE);
    case PARSE_OK:
      break;
  }
  if (options.action == ACTION_HELP) {
    print_help(profile);
    return finish(EXIT_OK);
  }
  if (options.action == ACTION_VERSION) {
    print_version(profile);
    return finish(EXIT_OK);
  }
  prepare_process();
  RunReport report;
  const bool converted = convert(options, profile, &report);
  print_failure(report.failure);
  if (options.verbose) {
    std::fflush(stdout);
    print_summary(report, profile.program_name, stderr);
  }
  return finish(converted ? EXIT_OK : EXIT_IO_FAILURE);
}
