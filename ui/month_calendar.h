// The month calendar: opens on the current local day and reports changes
// of its selected day.
#pragma once

#include "core/date_value.h"
#include "ui/control.h"

namespace korvane {

class Window;

// A tab stop with a client edge; the current local date and time are
// composed and, when they lie in the valid period, their day is selected.
Control& CreateMonthCalendar(Window& window, Rect place, Identity id);

// The selected day at 00:00:00 (InvalidDate outside the valid period), or
// 0 when the calendar reports no selection.
DateValue CalendarDate(const Control& calendar);

}  // namespace korvane
