#include "core/day_offset.h"

#include "core/numeric_text.h"

namespace korvane {

namespace {

// Shows the base date shifted by count days in the result control. A field
// whose digits overflow 64 bits makes the result the zero date rather than
// the wrapped number's date, as any other out-of-range input does.
void ShowShiftedDate(WindowTexts& window, const ReadNumber& count,
                     TextControl result) {
  const ReadNumber year = ReadInteger(window.GetText(TextControl::YearField));
  const ReadNumber month = ReadInteger(window.GetText(TextControl::MonthBox));
  const ReadNumber day = ReadInteger(window.GetText(TextControl::DayBox));
  const bool overflowed = year.overflowed || month.overflowed ||
                          day.overflowed || count.overflowed;
  const DateValue base =
      overflowed ? InvalidDate
                 : ComposeDate(year.value, month.value, day.value, 0, 0, 0);
  window.SetText(result, RenderDate(ResultMask, AddDays(base, count.value)));
}

}  // namespace

void CalculateDaysAfter(WindowTexts& window) {
  const ReadNumber count =
      ReadInteger(window.GetText(TextControl::AfterDaysField));
  ShowShiftedDate(window, count, TextControl::AfterResultField);
}

void CalculateDaysBefore(WindowTexts& window) {
  // The field text is joined unchanged: "-30" becomes "--30", which reads 0.
  const ReadNumber count =
      ReadInteger(u"-" + window.GetText(TextControl::BeforeDaysField));
  ShowShiftedDate(window, count, TextControl::BeforeResultField);
}

void PrefillFromCalendar(WindowTexts& window) {
  const DateValue day = window.GetCalendarDate();
  if (day == 0) return;  // no readable selection (or 1970-01-01 itself)
  const std::u16string text = RenderDate(ResultMask, day);
  window.SetText(TextControl::YearField, TakeSubstring(text, 1, 4));
  window.SetText(TextControl::MonthBox, TakeSubstring(text, 6, 2));
  window.SetText(TextControl::DayBox, TakeSubstring(text, 9, 2));
}

}  // namespace korvane
