// Options: the command line read into one record, the GNU way.
#include "converter/options.h"

#include <cstring>

namespace {

enum OptionId {
  OPT_DIRECTORY,
  OPT_REJECTS,
  OPT_STATE,
  OPT_VERBOSE,
  OPT_HELP,
  OPT_VERSION
};

struct OptionSpec {
  const char* long_name;
  char short_name;  // 0: long form only
  bool takes_value;
  OptionId id;
};

const OptionSpec OPTIONS[] = {
    {"directory", 'C', true, OPT_DIRECTORY},
    {"rejects", 0, true, OPT_REJECTS},
    {"state", 0, true, OPT_STATE},
    {"verbose", 'v', false, OPT_VERBOSE},
    {"help", 0, false, OPT_HELP},
    {"version", 0, false, OPT_VERSION},
};

void apply(OptionId id, const char* value, Options* options) {
  switch (id) {
    case OPT_DIRECTORY:
      options->directory = value;
      break;
    case OPT_REJECTS:
      options->rejects = value;
      break;
    case OPT_STATE:
      options->state = value;
      break;
    case OPT_VERBOSE:
      options->verbose = true;
      break;
    case OPT_HELP:
      options->action = ACTION_HELP;
      break;
    case OPT_VERSION:
      options->action = ACTION_VERSION;
      break;
  }
}

bool bad(std::string* message, const std::string& text) {
  *message = text;
  return false;
}

// A long option, exact or an unambiguous prefix, as getopt_long takes it.
const OptionSpec* find_long(const std::string& name, std::string* message) {
  const OptionSpec* found = nullptr;
  int matches = 0;
  for (const OptionSpec& spec : OPTIONS) {
    if (name == spec.long_name) return &spec;
    if (std::strncmp(spec.long_name, name.c_str(), name.size()) == 0) {
      found = &spec;
      ++matches;
    }
  }
  if (matches == 1) return found;
  *message = (matches == 0 ? "unrecognized option '--" : "option '--") + name +
             (matches == 0 ? "'" : "' is ambiguous");
  return nullptr;
}

// The value of an option, from "=value", the rest of a short cluster, or
// the next argument; an empty one is refused, as it names no file.
bool take_value(const std::string& shown, const char* attached, int* index,
                int count, const char* const* arguments, const char** value,
                std::string* message) {
  if (attached == nullptr) {
    if (*index + 1 >= count) {
      return bad(message, "option '" + shown + "' requires an argument");
    }
    attached = arguments[++*index];
  }
  if (*attached == '\0') {
    return bad(message, "option '" + shown + "' requires a non-empty argument");
  }
  *value = attached;
  return true;
}

bool parse_long(const char* argument, int* index, int count,
                const char* const* arguments, Options* options,
                std::string* message) {
  const char* equals = std::strchr(argument, '=');
  const std::string name =
      equals == nullptr
          ? std::string(argument)
          : std::string(argument, static_cast<size_t>(equals - argument));
  const OptionSpec* spec = find_long(name, message);
  if (spec == nullptr) return false;
  const std::string shown = std::string("--") + spec->long_name;
  const char* value = nullptr;
  if (!spec->takes_value) {
    if (equals != nullptr) {
      return bad(message, "option '" + shown + "' doesn't allow an argument");
    }
  } else if (!take_value(shown, equals == nullptr ? nullptr : equals + 1, index,
                         count, arguments, &value, message)) {
    return false;
  }
  apply(spec->id, value, options);
  return true;
}

// A cluster of short options: "-v", "-C DIR", "-CDIR", "-vC DIR".
bool parse_short(const char* argument, int* index, int count,
                 const char* const* arguments, Options* options,
                 std::string* message) {
  for (const char* p = argument + 1; *p != '\0'; ++p) {
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& candidate : OPTIONS) {
      if (candidate.short_name != 0 && candidate.short_name == *p) {
        spec = &candidate;
      }
    }
    if (spec == nullptr) {
      return bad(message, std::string("invalid option -- '") + *p + "'");
    }
    const char* value = nullptr;
    if (spec->takes_value) {
      if (!take_value(std::string("-") + *p, p[1] == '\0' ? nullptr : p + 1,
                      index, count, arguments, &value, message)) {
        return false;
      }
      apply(spec->id, value, options);
      return true;
    }
    apply(spec->id, value, options);
  }
  return true;
}

}  // namespace

ParseOutcome parse_options(int count, const char* const* arguments,
                           Options* options, std::string* message) {
  int operands = 0;
  bool only_operands = false;
  for (int i = 0; i < count; ++i) {
    const char* argument = arguments[i];
    const bool is_option =
        !only_operands && argument[0] == '-' && argument[1] != '\0';
    if (!is_option) {
      if (operands++ == 0) options->input = argument;
    } else if (std::strcmp(argument, "--") == 0) {
      only_operands = true;
    } else if (argument[1] == '-') {
      if (!parse_long(argument + 2, &i, count, arguments, options, message)) {
        return PARSE_BAD_OPTION;
      }
    } else if (!parse_short(argument, &i, count, arguments, options, message)) {
      return PARSE_BAD_OPTION;
    }
  }
  // --help and --version stand alone, as they always have: with a FILE they
  // are a wrong count like any other.
  const int wanted = options->action == ACTION_CONVERT ? 1 : 0;
  if (operands != wanted) return PARSE_OPERAND_COUNT;
  if (options->state != nullptr && std::strcmp(options->input, "-") == 0) {
    *message = "option '--state' cannot resume standard input";
    return PARSE_BAD_OPTION;
  }
  return PARSE_OK;
}
