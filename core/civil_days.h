// Conversion between a count of days since 1970-01-01 and a Gregorian date,
// for the days of the valid period. Exact integer arithmetic, no state.
//
// The calendar is computational: years start on March 1, so that the leap
// day is the last day of its year. The month and year steps are the
// multiply-and-shift forms published by Neri and Schneider; every
// intermediate fits 32 bits for the days this system uses. Defined here so
// that callers inline them: a call would cost as much as the arithmetic.
#pragma once

#include <cstdint>

namespace korvane {

struct CivilDate {
  std::uint32_t year;   // 1970 .. 2038
  std::uint32_t month;  // 1 .. 12
  std::uint32_t day;    // 1 .. 31
};

bool IsLeapYear(std::int64_t year);

namespace civil {

// Days from 0000-03-01 to 1970-01-01 in the proleptic Gregorian calendar.
constexpr std::uint32_t EpochShift = 719468;
constexpr std::uint32_t DaysPer400Years = 146097;
constexpr std::uint32_t MarchToDecemberDays = 306;  // March 1 .. December 31

}  // namespace civil

// Preconditions: 1970 <= year <= 2038, 1 <= month <= 12, 1 <= day <= the
// length of that month. Result: the day count since 1970-01-01, in [0, 25201].
inline std::uint32_t DaysFromCivil(CivilDate date) {
  // January and February count as months 13 and 14 of the year before.
  const std::uint32_t inJanuaryOrFebruary = date.month <= 2;
  const std::uint32_t year = date.year - inJanuaryOrFebruary;  // [1969, 2038]
  const std::uint32_t month =
      inJanuaryOrFebruary ? date.month + 12 : date.month;  // [3, 14]
  // Year.
  const std::uint32_t century = year / 100;
  const std::uint32_t yearDays = 1461 * year / 4 - century + century / 4;
  // Month: the days from March 1 to the first of the month.
  const std::uint32_t monthDays = (979 * month - 2919) / 32;  // [0, 337]
  return yearDays + monthDays + (date.day - 1) - civil::EpochShift;
}

// Precondition: 0 <= days <= 25201 (1970-01-01 .. 2038-12-31).
inline CivilDate CivilFromDays(std::uint32_t days) {
  const std::uint32_t n = days + civil::EpochShift;  // days since 0000-03-01
  // Century.
  const std::uint32_t n1 = 4 * n + 3;
  const std::uint32_t century = n1 / civil::DaysPer400Years;           // [19, 20]
  const std::uint32_t dayOfCentury = n1 % civil::DaysPer400Years / 4;  // [0, 36524]
  // Year.
  const std::uint32_t n2 = 4 * dayOfCentury + 3;
  const std::uint64_t p2 = std::uint64_t{2939745} * n2;
  const std::uint32_t yearOfCentury = static_cast<std::uint32_t>(p2 >> 32);  // [0, 99]
  const std::uint32_t dayOfYear =
      static_cast<std::uint32_t>(p2) / 2939745 / 4;  // [0, 365], from March 1
  // Month and day.
  const std::uint32_t n3 = 2141 * dayOfYear + 197913;
  const std::uint32_t month = n3 >> 16;                   // [3, 14]
  const std::uint32_t dayOfMonth = (n3 & 0xFFFF) / 2141;  // [0, 30]
  // January and February belong to the next civil year.
  const std::uint32_t inJanuaryOrFebruary = dayOfYear >= civil::MarchToDecemberDays;
  return CivilDate{100 * century + yearOfCentury + inJanuaryOrFebruary,
                   inJanuaryOrFebruary ? month - 12 : month, dayOfMonth + 1};
}

}  // namespace korvane
