// Tests of the row texts, with the C library's printf as the oracle.
#include "converter/row_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string printf_padded(int32_t value, int32_t width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", static_cast<int>(width),
                static_cast<int>(value));
  return text;
}

const int32_t PADDED_VALUES[] = {
    0,
    5,
    9,
    10,
    99,
    100,
    101,
    -1,
    -5,
    -9,
    -10,
    -99,
    -100,
    2400,
    12345,
    2147483647,
    -2147483647 - 1,
};

TEST(RowFormat, PaddedMatchesPrintf) {
  for (int32_t width : {2, 4}) {
    for (int32_t value : PADDED_VALUES) {
      SCOPED_TRACE(testing::Message() << value << " width " << width);
      char text[32];
      char* end = format_padded(text, value, width);
      EXPECT_EQ(std::string(text, end), printf_padded(value, width));
    }
  }
}

struct TimeCase {
  int32_t hour, minute, second;
  const char* text;
};

const TimeCase TIME_CASES[] = {
    {12, 30, 5, "12:30:05"},     {0, 0, 0, "00:00:00"},
    {23, 59, 59, "23:59:59"},    {24, 0, 0, "24:00:00"},
    {12, 75, 101, "12:75:101"},  {-1, -5, -3, "-1:-5:-3"},
    {-12, -34, 7, "-12:-34:07"}, {100, 0, 60, "100:00:60"},
};

TEST(RowFormat, Time) {
  for (const TimeCase& c : TIME_CASES) {
    SCOPED_TRACE(c.text);
    char text[TIME_TEXT_MAX];
    char* end = format_time(text, c.hour, c.minute, c.second);
    EXPECT_EQ(std::string(text, end), c.text);
  }
}

// Every hour, minute and second in the two-digit table, and just past it,
// against printf.
TEST(RowFormat, TimeMatchesPrintfAcrossTheTable) {
  for (int32_t part = -101; part <= 101; ++part) {
    char text[TIME_TEXT_MAX];
    char* end = format_time(text, part, 59 - part, part * 3);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%02d:%02d:%02d",
                  static_cast<int>(part), static_cast<int>(59 - part),
                  static_cast<int>(part * 3));
    EXPECT_EQ(std::string(text, end), expected) << part;
  }
}

TEST(RowFormat, NamesAndDatePrefix) {
  char name[FILE_NAME_SIZE];
  EXPECT_EQ(format_file_name(name, 2014, 5, 25, "107"), 34u);
  EXPECT_STREQ(name, "2014-05-25_ZORL_Raw_Data_SN107.csv");
  format_file_name(name, 2147483647, 12, 31, "1057");
  EXPECT_STREQ(name, "2147483647-12-31_ZORL_Raw_Data_SN1057.csv");

  char prefix[DATE_PREFIX_SIZE];
  EXPECT_EQ(format_date_prefix(prefix, 2016, 2, 29), 11u);
  EXPECT_STREQ(prefix, "2016-02-29 ");
}

}  // namespace
