#include "core/day_offset.h"

#include <gtest/gtest.h>

#include "core/memory_window_texts.h"
#include "tests/core/u16_print.h"

namespace korvane {
namespace {

enum class Press { After, Before };

struct Case {
  std::u16string_view year, month, day;
  Press press;
  std::u16string_view count;
  std::u16string_view expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
  return os << Readable(c.year) << "/" << Readable(c.month) << "/"
            << Readable(c.day) << (c.press == Press::After ? " after " : " before ")
            << Readable(c.count);
}

// Fills the fields, presses the button, and checks that only its own result
// field changed.
void CheckPress(const Case& c, std::size_t row) {
  MemoryWindowTexts window;
  const std::u16string untouched = u"untouched";
  window.SetText(TextControl::YearField, c.year);
  window.SetText(TextControl::MonthBox, c.month);
  window.SetText(TextControl::DayBox, c.day);
  window.SetText(TextControl::AfterResultField, untouched);
  window.SetText(TextControl::BeforeResultField, untouched);
  const bool after = c.press == Press::After;
  window.SetText(after ? TextControl::AfterDaysField : TextControl::BeforeDaysField, c.count);
  window.SetText(after ? TextControl::BeforeDaysField : TextControl::AfterDaysField, u"7");
  if (after) CalculateDaysAfter(window);
  else CalculateDaysBefore(window);

  const TextControl result = after ? TextControl::AfterResultField : TextControl::BeforeResultField;
  const TextControl other = after ? TextControl::BeforeResultField : TextControl::AfterResultField;
  EXPECT_EQ(window.GetText(result), std::u16string(c.expected)) << "row " << row << ": " << c;
  EXPECT_EQ(window.GetText(other), untouched) << "row " << row << ": " << c;
  EXPECT_EQ(window.GetText(TextControl::YearField), std::u16string(c.year)) << "row " << row;
}

TEST(Calculations, ResultForEachInput) {
  constexpr Press A = Press::After, B = Press::Before;
  const Case cases[] = {
      {u"2019", u"03", u"22", A, u"100", u"2019/06/30"},
      {u"2019", u"03", u"22", A, u"-100", u"2018/12/12"},
      {u"2019", u"03", u"22", B, u"100", u"2018/12/12"},
      {u"2019", u"03", u"22", B, u"-100", u"2019/03/22"},
      // The days-before count: "-" joined to the field text unchanged.
      {u"2019", u"03", u"22", B, u"30", u"2019/02/20"},
      {u"2019", u"03", u"22", B, u"", u"2019/03/22"},
      {u"2019", u"03", u"22", B, u"0", u"2019/03/22"},
      {u"2019", u"03", u"22", B, u"+30", u"2019/03/22"},
      {u"2019", u"03", u"22", B, u" 30", u"2019/03/22"},
      {u"2019", u"03", u"22", B, u"abc", u"2019/03/22"},
      {u"2019", u"03", u"22", B, u"30 days", u"2019/02/20"},
      {u"2019", u"03", u"22", B, u"$1E", u"2019/02/20"},
      {u"2019", u"03", u"22", B, u"%11110", u"2019/02/20"},
      {u"2019", u"03", u"22", A, u"+30", u"2019/04/21"},
      {u"2019", u"03", u"22", A, u" 30", u"2019/04/21"},
      // Lenient counts.
      {u"2019", u"03", u"22", A, u"1.5", u"2019/03/23"},
      {u"2019", u"03", u"22", A, u"1e3", u"2019/03/23"},
      {u"2019", u"03", u"22", A, u"10,000", u"2019/04/01"},
      // Base-date fields.
      {u"year", u"03", u"22", A, u"1", u"0000/00/00"},
      {u"year", u"03", u"22", B, u"0", u"0000/00/00"},
      {u"", u"03", u"22", A, u"0", u"0000/00/00"},
      {u"2019", u"", u"22", A, u"0", u"0000/00/00"},
      {u"2019", u"03", u"", A, u"0", u"0000/00/00"},
      {u"2019", u"02", u"29", A, u"0", u"0000/00/00"},
      {u"2019", u"02", u"29", B, u"1", u"0000/00/00"},
      {u"2020", u"02", u"29", A, u"1", u"2020/03/01"},
      {u"2019", u"13", u"1", A, u"0", u"0000/00/00"},
      {u"2019", u"0", u"1", A, u"0", u"0000/00/00"},
      {u"2019", u"04", u"31", A, u"0", u"0000/00/00"},
      {u"2019", u"01", u"32", A, u"0", u"0000/00/00"},
      {u"2019", u"3", u"22", A, u"100", u"2019/06/30"},
      {u" 2019", u"3", u"22", A, u"0", u"2019/03/22"},
      {u"2019\n", u"3", u"22", A, u"0", u"2019/03/22"},
      {u"\n2019", u"3", u"22", A, u"0", u"0000/00/00"},
      {u"$7E3", u"3", u"22", A, u"0", u"2019/03/22"},
      // Huge counts.
      {u"1970", u"01", u"01", A, u"24855", u"2038/01/19"},
      {u"1970", u"01", u"01", A, u"24856", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"49710", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"4294967296", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"9223372036854775807", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"-9223372036854775808", u"0000/00/00"},
      {u"2019", u"03", u"22", B, u"9223372036854775808", u"0000/00/00"},
      // The ends of the valid period.
      {u"2038", u"01", u"19", A, u"0", u"2038/01/19"},
      {u"2038", u"01", u"19", A, u"1", u"0000/00/00"},
      {u"2038", u"01", u"19", B, u"24855", u"1970/01/01"},
      {u"1970", u"01", u"01", B, u"1", u"0000/00/00"},
      {u"1970", u"01", u"01", B, u"0", u"1970/01/01"},
      {u"1970", u"01", u"01", B, u"", u"1970/01/01"},
      {u"1969", u"12", u"31", A, u"1", u"0000/00/00"},
      {u"2038", u"01", u"20", B, u"1", u"0000/00/00"},
      // Numbers whose digits overflow 64 bits give the zero date instead of
      // the date of the wrapped value (which would be 2019/03/23, 2016, ...).
      {u"2019", u"03", u"22", A, u"18446744073709551617", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"9223372036854775808", u"0000/00/00"},
      {u"2019", u"03", u"22", A, u"$10000000000000001", u"0000/00/00"},
      {u"2019", u"03", u"22", B, u"18446744073709551615", u"0000/00/00"},
      {u"18446744073709553632", u"03", u"22", A, u"0", u"0000/00/00"},
      {u"2019", u"18446744073709551619", u"22", A, u"0", u"0000/00/00"},
      {u"2019", u"03", u"18446744073709551638", A, u"0", u"0000/00/00"},
      {u"$10000000000007E3", u"03", u"22", A, u"0", u"0000/00/00"},
      // ... while the largest numbers that fit still read as themselves.
      {u"2019", u"03", u"22", A, u"$FFFFFFFFFFFFFFFF", u"2019/03/21"},
      {u"2019", u"03", u"22", B, u"$FFFFFFFFFFFFFFFF", u"2019/03/23"},
      {u"00000000000000000000002019", u"03", u"22", A, u"0", u"2019/03/22"},
  };
  for (std::size_t n = 0; n < std::size(cases); ++n) CheckPress(cases[n], n);
}

TEST(Calculations, PressingTwiceShowsTheSameText) {
  MemoryWindowTexts window;
  window.SetText(TextControl::YearField, u"2019");
  window.SetText(TextControl::MonthBox, u"03");
  window.SetText(TextControl::DayBox, u"22");
  window.SetText(TextControl::AfterDaysField, u"100");
  CalculateDaysAfter(window);
  CalculateDaysAfter(window);
  EXPECT_EQ(window.GetText(TextControl::AfterResultField), u"2019/06/30");
}

TEST(Prefill, CopiesTheCalendarDay) {
  struct Row {
    DateValue calendar;
    std::u16string_view year, month, day;
  };
  const Row rows[] = {
      {1553212800, u"2019", u"03", u"22"},
      {86400, u"1970", u"01", u"02"},
      {2147472000, u"2038", u"01", u"19"},
      {InvalidDate, u"0000", u"00", u"00"},  // a day outside the valid period
      {0, u"year", u"", u""},                // no selection: nothing changes
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    MemoryWindowTexts window;
    window.SetText(TextControl::YearField, u"year");
    window.calendarDate = r.calendar;
    PrefillFromCalendar(window);
    EXPECT_EQ(window.GetText(TextControl::YearField), std::u16string(r.year)) << "row " << n;
    EXPECT_EQ(window.GetText(TextControl::MonthBox), std::u16string(r.month)) << "row " << n;
    EXPECT_EQ(window.GetText(TextControl::DayBox), std::u16string(r.day)) << "row " << n;
  }
}

}  // namespace
}  // namespace korvane
