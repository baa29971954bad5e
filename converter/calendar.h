// Calendar: day of the year to month and day, Gregorian leap-year rule.
#ifndef FERROW_CONVERTER_CALENDAR_H
#define FERROW_CONVERTER_CALENDAR_H

#include <cstdint>

// Days in each month of a common year, January first.
extern const int32_t MONTH_LENGTHS[12];

// 1 when the year has a 29 February, else 0.
int32_t is_leap_year(int32_t year);

// 366 for a leap year, 365 otherwise.
int32_t days_in_year(int32_t year);

// Month (1..12) and day of month for a day of the year.
// Requires 1 <= day_of_year <= days_in_year(year).
void date_from_day_of_year(int32_t day_of_year, int32_t year, int32_t* month,
                           int32_t* day);

#endif
