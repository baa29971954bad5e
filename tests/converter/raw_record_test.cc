// Tests of raw records: the leading-integer rule and cutting a record.
#include "converter/raw_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct IntegerCase {
  const char* text;
  bool fits;
  int32_t value;
};

const IntegerCase INTEGER_CASES[] = {
    {"2014", true, 2014},
    {" 2014.7", true, 2014},
    {"\t\n\v\f\r 7", true, 7},
    {"+12", true, 12},
    {"-7", true, -7},
    {"abc", true, 0},
    {"", true, 0},
    {"-", true, 0},
    {"+-5", true, 0},
    {"12abc34", true, 12},
    {"1 2", true, 1},
    {"0000000000002014", true, 2014},
    {"2147483647", true, 2147483647},
    {"-2147483648", true, -2147483647 - 1},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"99999999999999999999999", false, 0},
};

TEST(RawRecord, IntegerRule) {
  for (const IntegerCase& c : INTEGER_CASES) {
    SCOPED_TRACE(c.text);
    const std::string text = c.text;
    int32_t value = -99;
    const bool fits =
        read_integer(text.data(), text.data() + text.size(), &value) != nullptr;
    EXPECT_EQ(fits, c.fits);
    if (c.fits) {
      EXPECT_EQ(value, c.value);
    }
  }
}

struct RecordCase {
  const char* line;
  bool parsed;
  int32_t seconds, year, day_of_year, hhmm;
  const char* values;
  int32_t value_fields;
  RejectReason reason;  // when not parsed
};

// Three value fields are asked for in every case.
const RecordCase RECORD_CASES[] = {
    {"5,2014,145,1230,-7,21.5,99,extra,more", true, 5, 2014, 145, 1230,
     "-7,21.5,99", 3, REJECT_REASONS},
    {"5,2014,145,1230,-7", true, 5, 2014, 145, 1230, "-7", 1, REJECT_REASONS},
    {"5,2014,145,1230,", true, 5, 2014, 145, 1230, "", 1, REJECT_REASONS},
    {"5,2014,145,1230", true, 5, 2014, 145, 1230, "", 0, REJECT_REASONS},
    {",x,,", true, 0, 0, 0, 0, "", 0, REJECT_REASONS},
    {"5,2014,145", false, 0, 0, 0, 0, "", 0, REJECT_FIELDS},
    {"", false, 0, 0, 0, 0, "", 0, REJECT_FIELDS},
    {"5,2014,145,99999999999,1", false, 0, 0, 0, 0, "", 0, REJECT_RANGE},
    {"5,20140000000,145,1230,1", false, 0, 0, 0, 0, "", 0, REJECT_RANGE},
    // The first rule broken is the reason: here the overflow comes first.
    {"99999999999,2014", false, 0, 0, 0, 0, "", 0, REJECT_RANGE},
};

TEST(RawRecord, ParseRecord) {
  for (const RecordCase& c : RECORD_CASES) {
    SCOPED_TRACE(c.line);
    const std::string line = c.line;
    RawRecord record{};
    RejectReason reason = REJECT_REASONS;
    const bool parsed = parse_record(line.data(), line.data() + line.size(), 3,
                                     &record, &reason);
    ASSERT_EQ(parsed, c.parsed);
    if (!c.parsed) {
      EXPECT_EQ(reason, c.reason);
      continue;
    }
    EXPECT_EQ(record.seconds, c.seconds);
    EXPECT_EQ(record.year, c.year);
    EXPECT_EQ(record.day_of_year, c.day_of_year);
    EXPECT_EQ(record.hhmm, c.hhmm);
    EXPECT_EQ(std::string(record.values.begin, record.values.end), c.values);
    EXPECT_EQ(record.value_fields, c.value_fields);
  }
}

struct DateCase {
  int32_t year, day_of_year;
  bool accepted;
  RejectReason reason;
};

const DateCase DATE_CASES[] = {
    {1901, 1, true, REJECT_REASONS}, {2016, 366, true, REJECT_REASONS},
    {1900, 100, false, REJECT_YEAR}, {-1, -1, false, REJECT_YEAR},
    {2015, 366, false, REJECT_DAY},  {2100, 366, false, REJECT_DAY},
    {2014, 0, false, REJECT_DAY},    {2014, -5, false, REJECT_DAY},
};

TEST(RawRecord, CheckDate) {
  for (const DateCase& c : DATE_CASES) {
    SCOPED_TRACE(testing::Message() << c.year << '/' << c.day_of_year);
    RawRecord record{};
    record.year = c.year;
    record.day_of_year = c.day_of_year;
    RejectReason reason = REJECT_REASONS;
    EXPECT_EQ(check_date(record, &reason), c.accepted);
    EXPECT_EQ(reason, c.reason);
  }
}

}  // namespace
