#include "core/date_value.h"

#include <limits>

#include "core/civil_days.h"

namespace korvane {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;

struct BrokenDownDate {
  std::int64_t year, month, day, hour, minute, second;
};

bool InRange(std::int64_t value, std::int64_t low, std::int64_t high) {
  return low <= value && value <= high;
}

// Precondition: 1 <= month <= 12.
std::int64_t DaysInMonth(std::int64_t year, std::int64_t month) {
  constexpr std::int64_t lengths[12] = {31, 28, 31, 30, 31, 30,
                                        31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : lengths[month - 1];
}

// Values outside the valid period break down into six zeros.
BrokenDownDate BreakDown(DateValue date) {
  if (!InRange(date, FirstValidDate, LastValidDate)) return {};
  const auto days = static_cast<std::uint32_t>(date / SecondsPerDay);  // [0, 24855]
  const std::int64_t seconds = date % SecondsPerDay;                   // [0, 86399]
  const CivilDate civil = CivilFromDays(days);
  return {civil.year, civil.month, civil.day, seconds / 3600,
          seconds % 3600 / 60, seconds % 60};
}

// True when the mask continues at `at` with the lower-case letters of token,
// each letter matching in either case.
bool TokenAt(std::u16string_view mask, std::size_t at, std::u16string_view token) {
  if (mask.size() - at < token.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const char16_t c = mask[at + i];
    if (c != token[i] && c != token[i] - (u'a' - u'A')) return false;
  }
  return true;
}

// Appends value (>= 0) in decimal, zero-filled on the left to width digits.
void AppendDigits(std::u16string& out, std::int64_t value, int width) {
  char16_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int pad = count; pad < width; ++pad) out.push_back(u'0');
  while (count > 0) out.push_back(digits[--count]);
}

}  // namespace

DateValue ComposeDate(std::int64_t year, std::int64_t month, std::int64_t day,
                      std::int64_t hour, std::int64_t minute,
                      std::int64_t second) {
  const bool fieldsValid =
      InRange(year, 1970, 2038) && InRange(month, 1, 12) &&
      InRange(day, 1, DaysInMonth(year, month)) && InRange(hour, 0, 23) &&
      InRange(minute, 0, 59) && InRange(second, 0, 59);
  if (!fieldsValid) return InvalidDate;
  const std::uint32_t days = DaysFromCivil(
      {static_cast<std::uint32_t>(year), static_cast<std::uint32_t>(month),
       static_cast<std::uint32_t>(day)});
  // At most 2038-12-31 23:59:59, about 2.18e9: no overflow.
  const DateValue value =
      days * SecondsPerDay + hour * 3600 + minute * 60 + second;
  // Nothing after 2038-01-19 03:14:07.
  return value <= LastValidDate ? value : InvalidDate;
}

DateValue AddDays(DateValue date, std::int64_t count) {
  if (date == InvalidDate) return InvalidDate;
  // |count * 86400| < 2^80, so the exact sum fits 128 bits; beyond the 64-bit
  // range it saturates, far outside the valid period either way.
  const __int128 sum = __int128{date} + __int128{count} * SecondsPerDay;
  constexpr auto lowest = std::numeric_limits<DateValue>::min();
  constexpr auto highest = std::numeric_limits<DateValue>::max();
  if (sum < lowest) return lowest;
  if (sum > highest) return highest;
  return static_cast<DateValue>(sum);
}

std::u16string RenderDate(std::u16string_view mask, DateValue date) {
  const BrokenDownDate f = BreakDown(date);
  struct Token {
    std::u16string_view letters;
    std::int64_t value;
    int width;
  };
  // Tried in this order, so %yyyy wins over %yy.
  const Token tokens[] = {
      {u"yyyy", f.year, 4}, {u"yy", f.year % 100, 2}, {u"mm", f.month, 2},
      {u"dd", f.day, 2},    {u"hh", f.hour, 2},       {u"ii", f.minute, 2},
      {u"ss", f.second, 2},
  };
  std::u16string out;
  out.reserve(mask.size() + mask.size() / 2);
  std::size_t at = 0;
  while (at < mask.size()) {
    const char16_t c = mask[at++];
    if (c != u'%') {
      out.push_back(c);
      continue;
    }
    const Token* match = nullptr;
    for (const Token& token : tokens) {
      if (TokenAt(mask, at, token.letters)) {
        match = &token;
        break;
      }
    }
    if (match == nullptr) {
      out.push_back(u'%');  // a lone "%" stays, and the scan goes on after it
      continue;
    }
    AppendDigits(out, match->value, match->width);
    at += match->letters.size();
  }
  return out;
}

}  // namespace korvane
