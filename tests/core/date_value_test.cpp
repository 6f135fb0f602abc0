#include "core/date_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/civil_days.h"
#include "tests/core/u16_print.h"

namespace korvane {
namespace {

constexpr std::int64_t Max64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min64 = std::numeric_limits<std::int64_t>::min();

TEST(ComposeDate, AcceptsAndRejectsFields) {
  struct Row {
    std::int64_t y, m, d, h, i, s;
    DateValue expected;
  };
  const Row rows[] = {
      // The table of known values.
      {1970, 1, 1, 0, 0, 0, 0},
      {1970, 1, 2, 0, 0, 0, 86400},
      {2000, 1, 1, 0, 0, 0, 946684800},
      {2000, 2, 29, 0, 0, 0, 951782400},
      {2019, 3, 22, 0, 0, 0, 1553212800},
      {2038, 1, 18, 0, 0, 0, 2147385600},
      {2038, 1, 19, 0, 0, 0, 2147472000},
      // Both ends of the valid period, and one step beyond each.
      {2038, 1, 19, 3, 14, 7, 2147483647},
      {2038, 1, 19, 3, 14, 8, InvalidDate},
      {2038, 1, 19, 3, 15, 0, InvalidDate},
      {2038, 1, 19, 4, 0, 0, InvalidDate},
      {2038, 1, 20, 0, 0, 0, InvalidDate},
      {2038, 2, 1, 0, 0, 0, InvalidDate},
      {2039, 1, 1, 0, 0, 0, InvalidDate},
      {1969, 12, 31, 23, 59, 59, InvalidDate},
      // Leap days.
      {2000, 2, 29, 0, 0, 0, 951782400},
      {2020, 2, 29, 0, 0, 0, 1582934400},
      {2036, 2, 29, 0, 0, 0, 2087856000},
      {2019, 2, 29, 0, 0, 0, InvalidDate},
      {2021, 2, 29, 0, 0, 0, InvalidDate},
      {2037, 2, 29, 0, 0, 0, InvalidDate},
      {2000, 2, 30, 0, 0, 0, InvalidDate},
      // Thirty-day months.
      {2019, 4, 30, 0, 0, 0, 1556582400},
      {2019, 4, 31, 0, 0, 0, InvalidDate},
      {2019, 6, 31, 0, 0, 0, InvalidDate},
      {2019, 9, 31, 0, 0, 0, InvalidDate},
      {2019, 11, 31, 0, 0, 0, InvalidDate},
      {2019, 12, 31, 0, 0, 0, 1577750400},
      // Each field one step out of its range.
      {2019, 0, 1, 0, 0, 0, InvalidDate},
      {2019, 13, 1, 0, 0, 0, InvalidDate},
      {2019, 1, 0, 0, 0, 0, InvalidDate},
      {2019, 1, 32, 0, 0, 0, InvalidDate},
      {2019, 1, 1, 24, 0, 0, InvalidDate},
      {2019, 1, 1, 0, 60, 0, InvalidDate},
      {2019, 1, 1, 0, 0, 60, InvalidDate},
      {2019, 1, 1, -1, 0, 0, InvalidDate},
      {2019, 1, 1, 0, -1, 0, InvalidDate},
      {2019, 1, 1, 0, 0, -1, InvalidDate},
      {2019, -3, 1, 0, 0, 0, InvalidDate},
      {-2019, 3, 1, 0, 0, 0, InvalidDate},
      {2019, 1, 1, 23, 59, 59, 1546387199},
      // Fields are read at full width: these would be 2019-03 in 32 bits.
      {4294969266, 3, 22, 0, 0, 0, InvalidDate},
      {2019, 4294967299, 22, 0, 0, 0, InvalidDate},
      {2019, 3, 4294967318, 0, 0, 0, InvalidDate},
      {Max64, Max64, Max64, Max64, Max64, Max64, InvalidDate},
      {Min64, Min64, Min64, Min64, Min64, Min64, InvalidDate},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    EXPECT_EQ(ComposeDate(r.y, r.m, r.d, r.h, r.i, r.s), r.expected)
        << "row " << n << ": " << r.y << "-" << r.m << "-" << r.d << " " << r.h
        << ":" << r.i << ":" << r.s;
  }
}

TEST(AddDays, ShiftsExactlyAndNeverWraps) {
  struct Row {
    DateValue date;
    std::int64_t count;
    DateValue expected;
  };
  const Row rows[] = {
      {InvalidDate, 0, InvalidDate},
      {InvalidDate, 1, InvalidDate},
      {InvalidDate, -1, InvalidDate},
      {1553212800, 100, 1553212800 + 100 * 86400},
      {2147385600, 1, 2147472000},
      {2147472000, 1, 2147558400},
      {0, -1, -86400},
      {0, 24855, 2147472000},
      {0, 24856, 2147558400},
      {1553212800, 4294967296, 1553212800 + 4294967296LL * 86400},
      // 2^63 - 1 days, and -2^63 days: the exact sums are far beyond 64
      // bits and saturate, never wrapping back into the valid period.
      {0, Max64, Max64},
      {0, Min64, Min64},
      {2147483647, Max64, Max64},
      {2147483647, Min64, Min64},
      // The largest counts whose product still fits.
      {0, Max64 / 86400, Max64 / 86400 * 86400},
      {0, Min64 / 86400, Min64 / 86400 * 86400},
      // A product beyond 64 bits whose exact sum still fits is kept exact:
      // -2^63 + 106751991167301 * 86400 = 30592.
      {Min64, Max64 / 86400 + 1, 30592},
      {5, 0, 5},
      {1553212800 + 3661, 1, 1553212800 + 3661 + 86400},  // time of day kept
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    EXPECT_EQ(AddDays(r.date, r.count), r.expected)
        << "row " << n << ": AddDays(" << r.date << ", " << r.count << ")";
  }
}

TEST(RenderDate, MasksAndValues) {
  struct Row {
    std::u16string_view mask;
    DateValue date;
    std::u16string_view expected;
  };
  const Row rows[] = {
      {u"%yyyy/%mm/%dd", 1553212800, u"2019/03/22"},
      {u"%yyyy/%mm/%dd", 0, u"1970/01/01"},
      {u"%yyyy/%mm/%dd", InvalidDate, u"0000/00/00"},
      {u"%yyyy/%mm/%dd", 2147483648, u"0000/00/00"},
      {u"%yyyy/%mm/%dd", 4294967296 + 86400, u"0000/00/00"},
      {u"%yyyy/%mm/%dd", -86400, u"0000/00/00"},
      {u"%yyyy/%mm/%dd", Min64, u"0000/00/00"},
      {u"%yyyy/%mm/%dd", Max64, u"0000/00/00"},
      {u"%YYYY/%MM/%DD", 1553212800, u"2019/03/22"},
      {u"%Yyyy/%mM/%dD", 1553212800, u"2019/03/22"},
      {u"%yyyy-%mm-%dd %hh:%ii:%ss", 2147483647, u"2038-01-19 03:14:07"},
      {u"%HH:%II:%SS", 2147483647, u"03:14:07"},
      {u"%yy", 2147483647, u"38"},
      {u"%yy", 946684800, u"00"},
      {u"%yyy", 1553212800, u"19y"},
      {u"%%dd", 1553212800, u"%22"},
      {u"%hh:%ii:%ss", InvalidDate, u"00:00:00"},
      {u"%", 0, u"%"},
      {u"dd%", 0, u"dd%"},
      {u"%y", 0, u"%y"},
      {u"%x%", 0, u"%x%"},
      {u"", 0, u""},
      {u"no tokens", 0, u"no tokens"},
      {u"%d%m%y", 0, u"%d%m%y"},
      {u"%ddd", 1553212800, u"22d"},
      {u"\u65e5%dd\u65e5", 1553212800, u"\u65e522\u65e5"},
      {u"%\u0130\u0130", 1553212800, u"%\u0130\u0130"},  // no Unicode case folding
      {u"%yyyy%yyyy", 86399, u"19701970"},
      {u"%hh%ii%ss", 86399, u"235959"},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    EXPECT_EQ(RenderDate(r.mask, r.date), std::u16string(r.expected))
        << "row " << n << ": mask " << Readable(r.mask) << ", date " << r.date;
  }
}

TEST(RenderDate, RendersAMaskOfAnyLength) {
  std::u16string mask;
  std::u16string expected;
  while (mask.size() < 100000) {
    mask += u"%dd.";
    expected += u"22.";
  }
  mask += u"%";
  expected += u"%";
  EXPECT_EQ(RenderDate(mask, 1553212800), expected);
}

// A naive reference: walk the calendar one day at a time from 1970-01-01.
struct NaiveDay {
  std::int64_t year = 1970, month = 1, day = 1;
  void Next() {
    const std::int64_t lengths[] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const std::int64_t length = month == 2 && leap ? 29 : lengths[month - 1];
    if (++day > length) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
};

TEST(DateRoundTrip, EveryDayOfTheValidPeriod) {
  NaiveDay naive;
  std::int64_t days = 0;
  for (;; ++days, naive.Next()) {
    // The time varies with the day but stays before 03:14:07, so that the
    // last day, 2038-01-19, composes too.
    const std::int64_t h = days % 3, i = days % 60, s = (days * 7) % 60;
    const DateValue value = ComposeDate(naive.year, naive.month, naive.day, h, i, s);
    if (value == InvalidDate) break;
    ASSERT_EQ(value, days * 86400 + h * 3600 + i * 60 + s)
        << naive.year << "-" << naive.month << "-" << naive.day;
    const std::u16string text = RenderDate(u"%yyyy %mm %dd %hh %ii %ss", value);
    char expected[40];
    std::snprintf(expected, sizeof expected, "%04d %02d %02d %02d %02d %02d",
                  static_cast<int>(naive.year), static_cast<int>(naive.month),
                  static_cast<int>(naive.day), static_cast<int>(h),
                  static_cast<int>(i), static_cast<int>(s));
    ASSERT_EQ(Readable(text), Readable(std::u16string(expected, expected + std::strlen(expected))))
        << "day " << days;
    const CivilDate civil = CivilFromDays(static_cast<std::uint32_t>(days));
    ASSERT_EQ(DaysFromCivil(civil), days);
  }
  // 1970-01-01 .. 2038-01-19: the loop must have covered every one of them.
  EXPECT_EQ(days, 24856);
  EXPECT_EQ(naive.year * 10000 + naive.month * 100 + naive.day, 20380120);
}

TEST(CivilDays, CoversTheWholeLastYear) {
  // ComposeDate stops on 2038-01-19, but the conversion serves all of 2038.
  NaiveDay naive;
  std::uint32_t days = 0;
  for (; naive.year < 2039; ++days, naive.Next()) {
    const CivilDate civil = CivilFromDays(days);
    ASSERT_EQ(civil.year * 10000 + civil.month * 100 + civil.day,
              naive.year * 10000 + naive.month * 100 + naive.day)
        << "day " << days;
    ASSERT_EQ(DaysFromCivil(civil), days) << "day " << days;
  }
  EXPECT_EQ(days, 25202u);  // 1970-01-01 .. 2038-12-31
}

}  // namespace
}  // namespace korvane
