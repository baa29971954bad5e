// Tests of the line reader: the input's byte rules and block boundaries.
#include "converter/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Lines {
  std::vector<std::string> lines;
  bool failed;
};

Lines read_all(std::FILE* stream) {
  std::unique_ptr<char[]> buffer(new char[READ_BUFFER_SIZE]);
  LineReader reader;
  start_lines(&reader, stream, buffer.get());
  Lines result;
  FieldText line;
  while (next_line(&reader, &line)) {
    result.lines.emplace_back(line.begin, line.end);
  }
  result.failed = reader.failed;
  return result;
}

std::vector<std::string> read_bytes(const std::string& bytes) {
  std::FILE* stream = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  Lines result = read_all(stream);
  std::fclose(stream);
  EXPECT_FALSE(result.failed);
  return result.lines;
}

struct ByteCase {
  const char* label;
  std::string bytes;
  std::vector<std::string> lines;
};

const std::string LONGEST(MAX_LINE_SIZE, 'x');
const std::string TOO_LONG(READ_BUFFER_SIZE, 'y');

const ByteCase BYTE_CASES[] = {
    {"lf and crlf", "1,2\r\n3\n", {"1,2", "3"}},
    {"cr anywhere", "a\r\rb\r\n\rc", {"ab", "c"}},
    {"only crs", "\r\r\r", {""}},
    {"no final lf", "one\ntwo", {"one", "two"}},
    {"empty input", "", {}},
    {"empty lines", "\n\n", {"", ""}},
    {"nul bytes kept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    {"sub ends the input", "x\n\x1Ay\n", {"x"}},
    {"sub in mid-line",
     "ab\x1A"
     "cd\nef\n",
     {"ab"}},
    {"a line longer than the old 4000-byte buffer stays whole",
     std::string(5000, 'z') + "\n",
     {std::string(5000, 'z')}},
    {"the longest line that fits", LONGEST + "\nok\n", {LONGEST, "ok"}},
    {"one byte more is skipped whole", TOO_LONG + "\nok\n", {"ok"}},
    {"a skipped line spanning several blocks",
     "a\n" + TOO_LONG + TOO_LONG + TOO_LONG + "\nok",
     {"a", "ok"}},
    {"a too-long last line without lf", "a\n" + TOO_LONG, {"a"}},
};

TEST(LineReader, ByteRules) {
  for (const ByteCase& c : BYTE_CASES) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(read_bytes(c.bytes), c.lines);
  }
}

// Lines of every length from 0 to 300 bytes, repeated until the input spans
// several blocks, so that lines straddle every block boundary.
TEST(LineReader, LinesAcrossBlocks) {
  std::string bytes;
  std::vector<std::string> expected;
  for (size_t n = 0; bytes.size() < 3 * READ_BUFFER_SIZE + 1000; ++n) {
    std::string line(n % 301, static_cast<char>('a' + n % 26));
    bytes += line + (n % 2 == 0 ? "\r\n" : "\n");
    expected.push_back(line);
  }
  EXPECT_EQ(read_bytes(bytes), expected);
}

TEST(LineReader, ReadErrorIsReported) {
  // A stream that refuses to be read: the read fails instead of ending.
  std::FILE* write_only = std::fopen("/dev/null", "wb");
  ASSERT_NE(write_only, nullptr);
  Lines result = read_all(write_only);
  EXPECT_TRUE(result.failed);
  EXPECT_TRUE(result.lines.empty());
  std::fclose(write_only);
}

}  // namespace
