#include "core/numeric_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/core/u16_print.h"

namespace korvane {
namespace {

constexpr std::int64_t Min64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Max64 = std::numeric_limits<std::int64_t>::max();

TEST(ParseInteger, ReadsLenientlyAndWraps) {
  struct Row {
    std::u16string_view text;
    std::int64_t value;
    bool overflowed;
  };
  const Row rows[] = {
      {u"", 0, false},
      {u"42", 42, false},
      {u"  \t42", 42, false},
      {u"42\n", 42, false},
      {u"\n42", 0, false},
      {u"\r42", 0, false},
      {u"\u00a042", 0, false},  // no-break space is not a blank
      {u"\u300042", 0, false},  // nor is the ideographic space
      {u"-42", -42, false},
      {u"+42", 42, false},
      {u"- 42", 0, false},
      {u"--42", 0, false},
      {u"-+42", 0, false},
      {u"42abc", 42, false},
      {u"4 2", 4, false},
      {u"3.9", 3, false},
      {u"1e3", 1, false},
      {u"10,000", 10, false},
      {u"007", 7, false},
      {u"0002019", 2019, false},
      {u"abc", 0, false},
      {u"year", 0, false},
      {u"\uff12\uff10\uff11\uff19", 0, false},  // full-width digits
      {u"$1F", 31, false},
      {u"$1f", 31, false},
      {u"-$1F", -31, false},
      {u"$-1F", 0, false},
      {u"$7E3", 2019, false},
      {u"$07E3", 2019, false},
      {u"$", 0, false},
      {u"$G1", 0, false},
      {u"0x1F", 0, false},
      {u"%101", 5, false},
      {u"%102", 2, false},
      {u"%2", 0, false},
      {u"%11110", 30, false},
      // Decimal: the signed 64-bit range is exact on both sides.
      {u"9223372036854775807", Max64, false},
      {u"9223372036854775808", Min64, true},
      {u"-9223372036854775808", Min64, false},
      {u"-9223372036854775809", Max64, true},
      {u"18446744073709551615", -1, true},
      {u"18446744073709551616", 0, true},
      {u"18446744073709551617", 1, true},
      {u"18446744073709553632", 2016, true},
      {u"00000000000000000000009223372036854775807", Max64, false},
      // Hexadecimal and binary: 64 significant bits, read as two's complement.
      {u"$FFFFFFFFFFFFFFFF", -1, false},
      {u"-$FFFFFFFFFFFFFFFF", 1, false},
      {u"$8000000000000000", Min64, false},
      {u"$0000FFFFFFFFFFFFFFFF", -1, false},
      {u"$10000000000000000", 0, true},
      {u"$1FFFFFFFFFFFFFFFF", -1, true},
      {u"%1111111111111111111111111111111111111111111111111111111111111111", -1, false},
      {u"%10000000000000000000000000000000000000000000000000000000000000000", 0, true},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    const ReadNumber read = ReadInteger(r.text);
    EXPECT_EQ(ParseInteger(r.text), r.value) << "row " << n << ": " << Readable(r.text);
    EXPECT_EQ(read.value, r.value) << "row " << n << ": " << Readable(r.text);
    EXPECT_EQ(read.overflowed, r.overflowed) << "row " << n << ": " << Readable(r.text);
  }
}

TEST(TakeSubstring, CutsWithinTheText) {
  struct Row {
    std::u16string_view text;
    std::int64_t start, length;
    std::u16string_view expected;
  };
  const Row rows[] = {
      {u"2019/03/22", 1, 4, u"2019"},
      {u"2019/03/22", 6, 2, u"03"},
      {u"2019/03/22", 9, 2, u"22"},
      {u"0000/00/00", 6, 2, u"00"},
      {u"abc", 2, 10, u"bc"},
      {u"abc", 3, 1, u"c"},
      {u"abc", 4, 1, u""},
      {u"abc", 0, 2, u"ab"},
      {u"abc", -5, 2, u"ab"},
      {u"abc", 2, 0, u""},
      {u"abc", 2, -1, u""},
      {u"", 1, 4, u""},
      {u"abc", Min64, Max64, u"abc"},
      {u"abc", Max64, Max64, u""},
      {u"abc", 1, Min64, u""},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    EXPECT_EQ(TakeSubstring(r.text, r.start, r.length), std::u16string(r.expected))
        << "row " << n << ": " << Readable(r.text) << " from " << r.start
        << " for " << r.length;
  }
}

}  // namespace
}  // namespace korvane
