// The two day-offset calculations on arbitrary field texts. The input is the
// year, month, day and day-count texts separated by the byte '|' (missing
// parts are empty; the count takes everything after the third '|'), each part
// read as text as DecodeText describes. The count goes into both day fields.
// For CalculateDaysAfter and CalculateDaysBefore alike:
//   - the result is ten characters dddd/dd/dd;
//   - no text but the calculation's own result field changes;
//   - the result is "0000/00/00" whenever a field read overflows;
//   - the result is the reference date: the fields and count read by the
//     reference reading, the base date and the shifted date counted by the
//     reference calendar. "Before" reads "-" followed by the count text.
#include <array>
#include <cstdint>
#include <string>

#include "core/day_offset.h"
#include "core/memory_window_texts.h"
#include "fuzz/fuzz_support.h"

namespace korvane::fuzz {
namespace {

constexpr std::array<TextControl, 7> AllControls = {
    TextControl::YearField,        TextControl::MonthBox,
    TextControl::DayBox,           TextControl::AfterDaysField,
    TextControl::AfterResultField, TextControl::BeforeDaysField,
    TextControl::BeforeResultField,
};

// What the result field should read for these texts and this count text.
std::u16string ExpectedResult(const std::u16string (&date)[3],
                              std::u16string_view countText, bool& overflowed) {
  const ReferenceNumber year = ReferenceRead(date[0]);
  const ReferenceNumber month = ReferenceRead(date[1]);
  const ReferenceNumber day = ReferenceRead(date[2]);
  const ReferenceNumber count = ReferenceRead(countText);
  overflowed = year.overflowed || month.overflowed || day.overflowed ||
               count.overflowed;
  const std::u16string zero(ZeroDateText);
  if (overflowed) return zero;
  const std::int64_t base =
      ReferenceCompose({year.value, month.value, day.value, 0, 0, 0});
  if (base < 0) return zero;
  const __int128 shifted = __int128{base} + __int128{count.value} * 86400;
  if (shifted < 0 || shifted > ReferenceLastValid) return zero;
  return ReferenceRender(u"%yyyy/%mm/%dd",
                         ReferenceBreakDown(static_cast<std::int64_t>(shifted)));
}

void Calculate(MemoryWindowTexts& window, const std::u16string (&date)[3],
               const std::u16string& countText, bool after) {
  std::array<std::u16string, 7> before;
  for (std::size_t i = 0; i < AllControls.size(); ++i)
    before[i] = window.GetText(AllControls[i]);
  const DateValue calendar = window.calendarDate;

  const TextControl resultField =
      after ? TextControl::AfterResultField : TextControl::BeforeResultField;
  if (after) CalculateDaysAfter(window);
  else CalculateDaysBefore(window);

  const std::string what = std::string(after ? "after" : "before") + " \"" +
                           Show(date[0]) + "|" + Show(date[1]) + "|" +
                           Show(date[2]) + "|" + Show(countText) + "\"";
  for (std::size_t i = 0; i < AllControls.size(); ++i) {
    if (AllControls[i] != resultField && window.GetText(AllControls[i]) != before[i])
      Fail(what + ": text " + std::to_string(i) + " changed to \"" +
           Show(window.GetText(AllControls[i])) + "\"");
  }
  if (window.calendarDate != calendar) Fail(what + ": the calendar date changed");

  const std::u16string result = window.GetText(resultField);
  bool overflowed = false;
  const std::u16string want =
      ExpectedResult(date, after ? countText : u"-" + countText, overflowed);
  if (!IsDateText(result) || result != want)
    Fail(what + ": result \"" + Show(result) + "\", expected \"" + Show(want) + "\"" +
         (overflowed ? " (a field overflowed)" : ""));
}

}  // namespace
}  // namespace korvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::fuzz;
  std::u16string parts[4];
  std::size_t part = 0, start = 0;
  for (std::size_t i = 0; i <= size && part < 3; ++i) {
    if (i == size || data[i] == '|') {
      parts[part++] = DecodeText(data + start, i - start);
      start = i + 1;
    }
  }
  if (part == 3 && start <= size) parts[3] = DecodeText(data + start, size - start);
  const std::u16string date[3] = {parts[0], parts[1], parts[2]};

  korvane::MemoryWindowTexts window;
  window.SetText(korvane::TextControl::YearField, date[0]);
  window.SetText(korvane::TextControl::MonthBox, date[1]);
  window.SetText(korvane::TextControl::DayBox, date[2]);
  window.SetText(korvane::TextControl::AfterDaysField, parts[3]);
  window.SetText(korvane::TextControl::BeforeDaysField, parts[3]);
  window.SetText(korvane::TextControl::AfterResultField, u"(after)");
  window.SetText(korvane::TextControl::BeforeResultField, u"(before)");
  window.calendarDate = 12345;

  Calculate(window, date, parts[3], true);
  Calculate(window, date, parts[3], false);
  Calculate(window, date, parts[3], true);  // again, over its own last result
  return 0;
}
