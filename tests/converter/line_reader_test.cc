// Tests of the line reader: the input's byte rules and block boundaries.
#include "converter/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Lines {
  std::vector<std::string> lines;  // the text of each line that fits
  std::vector<std::string> raws;   // every line as it stood, pieces joined
  bool failed;
  bool abandoned;
  uint64_t consumed;
};

Lines read_all(std::FILE* stream, uint64_t start = 0, bool hold = false) {
  std::unique_ptr<char[]> buffer(new char[READ_BUFFER_SIZE]);
  std::unique_ptr<char[]> squeezed(new char[READ_BUFFER_SIZE]);
  LineReader reader;
  start_lines(&reader, stream, buffer.get(), squeezed.get(), start, hold);
  Lines result;
  Line line;
  std::string pieces;
  for (LineKind kind; (kind = next_line(&reader, &line)) != LINE_END;) {
    const std::string raw(line.raw.begin, line.raw.end);
    if (kind == LINE_WHOLE) {
      result.lines.emplace_back(line.text.begin, line.text.end);
      result.raws.push_back(raw);
    } else if (line.last) {
      result.raws.push_back(pieces + raw);
      pieces.clear();
    } else {
      pieces += raw;
    }
  }
  result.failed = reader.failed;
  result.abandoned = reader.abandoned;
  result.consumed = consumed_offset(&reader);
  return result;
}

Lines read_file(const std::string& bytes, uint64_t start = 0,
                bool hold = false) {
  std::FILE* stream = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fseek(stream, static_cast<long>(start), SEEK_SET);
  Lines result = read_all(stream, start, hold);
  std::fclose(stream);
  EXPECT_FALSE(result.failed);
  return result;
}

std::vector<std::string> read_bytes(const std::string& bytes) {
  return read_file(bytes).lines;
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

// What a rejected line is kept as: its bytes as they stood, a line too long
// to hold joined from its pieces.
TEST(LineReader, RawBytes) {
  const Lines result = read_file("a\r\rb\r\n" + TOO_LONG + "\r\nc,\rd\ntail\r");
  EXPECT_EQ(result.lines, (std::vector<std::string>{"ab", "c,d", "tail"}));
  EXPECT_EQ(result.raws,
            (std::vector<std::string>{"a\r\rb\r\n", TOO_LONG + "\r\n",
                                      "c,\rd\n", "tail\r"}));
}

struct HoldCase {
  const char* label;
  std::string bytes;
  uint64_t start;
  std::vector<std::string> lines;
  uint64_t consumed;
  bool abandoned;
};

const HoldCase HOLD_CASES[] = {
    {"an unfinished last line waits", "a\nb", 0, {"a"}, 2, false},
    {"so does one of only a CR", "a\n\r", 0, {"a"}, 2, false},
    {"0x1A ends the input for good", "a\nb\x1A", 0, {"a", "b"}, 3, false},
    {"nothing after 0x1A", "a\n\x1A", 0, {"a"}, 2, false},
    {"from an offset", "xx\na\r\nb\n", 3, {"a", "b"}, 8, false},
    {"an unfinished long line is taken back",
     "a\n" + TOO_LONG,
     0,
     {"a"},
     2,
     true},
    {"a finished long line is consumed",
     "a\n" + TOO_LONG + "\n",
     0,
     {"a"},
     READ_BUFFER_SIZE + 3,
     false},
};

// A file that is still being written: only finished lines are delivered,
// and the offset says where the next run begins.
TEST(LineReader, HoldUnfinished) {
  for (const HoldCase& c : HOLD_CASES) {
    SCOPED_TRACE(c.label);
    const Lines result = read_file(c.bytes, c.start, true);
    EXPECT_EQ(result.lines, c.lines);
    EXPECT_EQ(result.consumed, c.consumed);
    EXPECT_EQ(result.abandoned, c.abandoned);
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
