// The calculations behind the two push buttons and the start-up prefill.
// They keep no state: every call starts again from the texts in the window,
// which they reach only through WindowTexts.
#pragma once

#include <string>
#include <string_view>

#include "core/date_value.h"

namespace korvane {

// Every date text the calculations write: ten characters, yyyy/mm/dd.
inline constexpr std::u16string_view ResultMask = u"%yyyy/%mm/%dd";

// The window's text controls that the calculations read or write.
enum class TextControl {
  YearField,
  MonthBox,
  DayBox,
  AfterDaysField,
  AfterResultField,
  BeforeDaysField,
  BeforeResultField,
};

// What the calculations need of the window.
class WindowTexts {
 public:
  virtual ~WindowTexts() = default;
  // The whole text of the control as the user sees it; "" when empty.
  virtual std::u16string GetText(TextControl control) = 0;
  // Replaces the whole text of the control.
  virtual void SetText(TextControl control, std::u16string_view text) = 0;
  // The calendar's selected day at 00:00:00 (InvalidDate outside the valid
  // period), or 0 when no selection can be read.
  virtual DateValue GetCalendarDate() = 0;
};

// AfterResultField = base date + AfterDaysField days.
void CalculateDaysAfter(WindowTexts& window);

// BeforeResultField = base date + ("-" followed by BeforeDaysField) days.
void CalculateDaysBefore(WindowTexts& window);

// Copies the calendar's day into YearField, MonthBox and DayBox as
// "yyyy", "mm" and "dd"; does nothing when the calendar gives 0.
void PrefillFromCalendar(WindowTexts& window);

}  // namespace korvane
