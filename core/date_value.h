// The date value: seconds since 1970-01-01 00:00:00 civil time, and the three
// operations every shown date passes through (compose, shift, render).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// Seconds from 1970-01-01 00:00:00, civil time, no zone; every day 86400 s.
using DateValue = std::int64_t;

// Valid period: 1970-01-01 00:00:00 .. 2038-01-19 03:14:07.
inline constexpr DateValue FirstValidDate = 0;
inline constexpr DateValue LastValidDate = 2147483647;  // INT32_MAX, not beyond

// What ComposeDate returns for rejected fields.
inline constexpr DateValue InvalidDate = -1;

// How any value outside the valid period renders through "%yyyy/%mm/%dd".
inline constexpr std::u16string_view ZeroDateText = u"0000/00/00";

// The moment of the given fields, or InvalidDate when a field is out of its
// range, the day does not exist in that month, or the moment lies outside the
// valid period. Fields are taken at full 64-bit width.
DateValue ComposeDate(std::int64_t year, std::int64_t month, std::int64_t day,
                      std::int64_t hour, std::int64_t minute,
                      std::int64_t second);

// date + count days, exactly: a sum beyond the 64-bit range saturates at its
// end, which still lies outside the valid period. InvalidDate stays invalid.
DateValue AddDays(DateValue date, std::int64_t count);

// The mask with each token (%yyyy %yy %mm %dd %hh %ii %ss, any letter case)
// replaced by the field of date; a date outside the valid period has all
// fields zero.
std::u16string RenderDate(std::u16string_view mask, DateValue date);

}  // namespace korvane
