// Tests of the calendar: hand-picked edges, then every day of eight centuries
// against the C library's own calendar.
#include "converter/calendar.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

struct LeapCase {
  int32_t year;
  int32_t leap;
};

const LeapCase LEAP_CASES[] = {
    {2000, 1}, {1900, 0}, {2100, 0}, {2400, 1}, {2024, 1},
    {2023, 0}, {2016, 1}, {1904, 1}, {2001, 0},
};

TEST(Calendar, LeapYear) {
  for (const LeapCase& c : LEAP_CASES) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(is_leap_year(c.year), c.leap);
    EXPECT_EQ(days_in_year(c.year), 365 + c.leap);
  }
}

struct DayCase {
  int32_t year, day_of_year, month, day;
};

const DayCase DAY_CASES[] = {
    {2014, 1, 1, 1},     {2014, 31, 1, 31},   {2014, 32, 2, 1},
    {2014, 145, 5, 25},  {2000, 60, 2, 29},   {2004, 60, 2, 29},
    {2016, 60, 2, 29},   {1900, 60, 3, 1},    {2001, 60, 3, 1},
    {2100, 60, 3, 1},    {2015, 365, 12, 31}, {2016, 365, 12, 30},
    {2016, 366, 12, 31}, {2016, 61, 3, 1},    {2015, 59, 2, 28},
};

TEST(Calendar, MonthAndDay) {
  for (const DayCase& c : DAY_CASES) {
    SCOPED_TRACE(testing::Message() << c.year << '/' << c.day_of_year);
    int32_t month = 0;
    int32_t day = 0;
    date_from_day_of_year(c.day_of_year, c.year, &month, &day);
    EXPECT_EQ(month, c.month);
    EXPECT_EQ(day, c.day);
  }
}

// A leap year's February must not leak into the next common year.
TEST(Calendar, LeapDayLeavesLaterYearsAlone) {
  int32_t month = 0;
  int32_t day = 0;
  date_from_day_of_year(60, 2016, &month, &day);
  date_from_day_of_year(60, 2017, &month, &day);
  EXPECT_EQ(month, 3);
  EXPECT_EQ(day, 1);
  EXPECT_EQ(MONTH_LENGTHS[1], 28);
}

// The oracle counts seconds from 1 January with timegm and reads the date
// back with gmtime, so it shares nothing with the walk under test.
TEST(Calendar, EveryDayAgreesWithCLibrary) {
  for (int32_t year = 1600; year <= 2400; ++year) {
    std::tm start{};
    start.tm_year = year - 1900;
    start.tm_mday = 1;
    const std::time_t first = timegm(&start);
    ASSERT_NE(first, static_cast<std::time_t>(-1));
    const int32_t length = days_in_year(year);
    std::tm next_year{};
    next_year.tm_year = year + 1 - 1900;
    next_year.tm_mday = 1;
    ASSERT_EQ((timegm(&next_year) - first) / 86400, length) << year;
    for (int32_t day_of_year = 1; day_of_year <= length; ++day_of_year) {
      const std::time_t moment = first + (day_of_year - 1) * 86400;
      std::tm expected{};
      gmtime_r(&moment, &expected);
      int32_t month = 0;
      int32_t day = 0;
      date_from_day_of_year(day_of_year, year, &month, &day);
      ASSERT_EQ(month, expected.tm_mon + 1) << year << '/' << day_of_year;
      ASSERT_EQ(day, expected.tm_mday) << year << '/' << day_of_year;
    }
  }
}

}  // namespace
