// Tests of the command line: each argument vector and what it gives.
#include "converter/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct OptionCase {
  std::vector<const char*> arguments;
  ParseOutcome outcome;
  // When parsed: what the options record holds ("" for null).
  Action action;
  const char* input;
  const char* directory;
  const char* rejects;
  const char* state;
  bool verbose;
  // When refused: the message.
  const char* message;
};

const OptionCase OPTION_CASES[] = {
    {{"in.raw"}, PARSE_OK, ACTION_CONVERT, "in.raw", "", "", "", false, ""},
    {{"-"}, PARSE_OK, ACTION_CONVERT, "-", "", "", "", false, ""},
    // Values attached, separate, in a short cluster; options after FILE.
    {{"-C", "out", "in.raw"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "out",
     "",
     "",
     false,
     ""},
    {{"-Cout", "in.raw"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "out",
     "",
     "",
     false,
     ""},
    {{"-vCout", "in.raw"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "out",
     "",
     "",
     true,
     ""},
    {{"in.raw", "--directory=out", "--rejects", "bad.raw", "--verbose"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "out",
     "bad.raw",
     "",
     true,
     ""},
    {{"--state=s", "in.raw"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "",
     "",
     "s",
     false,
     ""},
    // An unambiguous prefix is the option; "=" may stand in a value.
    {{"--dir=a=b", "--rej", "r", "in.raw"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "a=b",
     "r",
     "",
     false,
     ""},
    // A repeated option: the last one counts.
    {{"-C", "a", "in.raw", "-C", "b"},
     PARSE_OK,
     ACTION_CONVERT,
     "in.raw",
     "b",
     "",
     "",
     false,
     ""},
    // "--" ends the options: a file may start with "-".
    {{"--", "-x"}, PARSE_OK, ACTION_CONVERT, "-x", "", "", "", false, ""},
    {{"-v", "--", "--help"},
     PARSE_OK,
     ACTION_CONVERT,
     "--help",
     "",
     "",
     "",
     true,
     ""},
    {{"--help"}, PARSE_OK, ACTION_HELP, "", "", "", "", false, ""},
    {{"--version"}, PARSE_OK, ACTION_VERSION, "", "", "", "", false, ""},
    {{"--help", "--version"},
     PARSE_OK,
     ACTION_VERSION,
     "",
     "",
     "",
     "",
     false,
     ""},
    // The operand count.
    {{}, PARSE_OPERAND_COUNT, ACTION_CONVERT, "", "", "", "", false, ""},
    {{"a", "b"},
     PARSE_OPERAND_COUNT,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     ""},
    {{"-v"}, PARSE_OPERAND_COUNT, ACTION_CONVERT, "", "", "", "", false, ""},
    {{"--help", "in.raw"},
     PARSE_OPERAND_COUNT,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     ""},
    // Refused options, each named.
    {{"--bogus", "in.raw"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "unrecognized option '--bogus'"},
    {{"-x"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "invalid option -- 'x'"},
    {{"in.raw", "-C"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '-C' requires an argument"},
    {{"in.raw", "--state"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '--state' requires an argument"},
    {{"--rejects=", "in.raw"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '--rejects' requires a non-empty argument"},
    {{"--help=me"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '--help' doesn't allow an argument"},
    {{"--ver", "in.raw"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '--ver' is ambiguous"},
    {{"--state=s", "-"},
     PARSE_BAD_OPTION,
     ACTION_CONVERT,
     "",
     "",
     "",
     "",
     false,
     "option '--state' cannot resume standard input"},
};

std::string text(const char* value) { return value == nullptr ? "" : value; }

TEST(Options, ArgumentVectors) {
  for (const OptionCase& c : OPTION_CASES) {
    std::string shown;
    for (const char* argument : c.arguments)
      shown += std::string(argument) + " ";
    SCOPED_TRACE(shown);
    Options options;
    std::string message;
    const ParseOutcome outcome =
        parse_options(static_cast<int>(c.arguments.size()), c.arguments.data(),
                      &options, &message);
    ASSERT_EQ(outcome, c.outcome);
    if (outcome == PARSE_BAD_OPTION) {
      EXPECT_EQ(message, c.message);
    }
    if (outcome != PARSE_OK) continue;
    EXPECT_EQ(options.action, c.action);
    EXPECT_EQ(text(options.input), c.input);
    EXPECT_EQ(text(options.directory), c.directory);
    EXPECT_EQ(text(options.rejects), c.rejects);
    EXPECT_EQ(text(options.state), c.state);
    EXPECT_EQ(options.verbose, c.verbose);
  }
}

}  // namespace
