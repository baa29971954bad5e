// Calendar: day of the year to month and day, Gregorian leap-year rule.
#include "converter/calendar.h"

const int32_t MONTH_LENGTHS[12] = {31, 28, 31, 30, 31, 30,
                                   31, 31, 30, 31, 30, 31};

int32_t is_leap_year(int32_t year) {
  if (year % 4 == 0 && year % 100 != 0) return 1;
  return year % 400 == 0 ? 1 : 0;
}

int32_t days_in_year(int32_t year) { return 365 + is_leap_year(year); }

void date_from_day_of_year(int32_t day_of_year, int32_t year, int32_t* month,
                           int32_t* day) {
  int32_t lengths[12];
  for (int i = 0; i < 12; ++i) lengths[i] = MONTH_LENGTHS[i];
  lengths[1] += is_leap_year(year);

  int32_t remaining = day_of_year;
  int32_t i = 0;
  while (i < 11 && remaining > lengths[i]) {
    remaining -= lengths[i];
    ++i;
  }
  *month = i + 1;
  *day = remaining;
}
