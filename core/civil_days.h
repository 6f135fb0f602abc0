// Conversion between a count of days since 1970-01-01 and a Gregorian date,
// for the days of the valid period. Exact integer arithmetic, no state.
#pragma once

#include <cstdint>

namespace korvane {

struct CivilDate {
  std::uint32_t year;   // 1970 .. 2038
  std::uint32_t month;  // 1 .. 12
  std::uint32_t day;    // 1 .. 31
};

// Preconditions: 1970 <= year <= 2038, 1 <= month <= 12, 1 <= day <= the
// length of that month. Result: the day count since 1970-01-01, in [0, 25201].
std::uint32_t DaysFromCivil(CivilDate date);

// Precondition: 0 <= days <= 25201 (1970-01-01 .. 2038-12-31).
CivilDate CivilFromDays(std::uint32_t days);

bool IsLeapYear(std::int64_t year);

}  // namespace korvane
