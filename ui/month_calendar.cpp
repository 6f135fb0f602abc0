#include "ui/month_calendar.h"

#include <commctrl.h>

#include "core/numeric_text.h"

namespace korvane {

namespace {

// Selects the day of value as the date core breaks it down; a value outside
// the valid period breaks down to zero fields, which the calendar refuses.
void SelectDay(const Control& calendar, DateValue value) {
  const std::u16string fields = RenderDate(u"%yyyy %mm %dd", value);
  SYSTEMTIME day = {};
  day.wYear = static_cast<WORD>(ParseInteger(TakeSubstring(fields, 1, 4)));
  day.wMonth = static_cast<WORD>(ParseInteger(TakeSubstring(fields, 6, 2)));
  day.wDay = static_cast<WORD>(ParseInteger(TakeSubstring(fields, 9, 2)));
  SendToControl(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day));
}

}  // namespace

Control& CreateMonthCalendar(Window& window, Rect place, Identity id) {
  Control& calendar = CreateControl(window, ControlKind::Calendar, MONTHCAL_CLASSW, L"",
                                    WS_TABSTOP | MCS_DAYSTATE, WS_EX_CLIENTEDGE, place, id);
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  SelectDay(calendar, ComposeDate(now.wYear, now.wMonth, now.wDay, now.wHour,
                                  now.wMinute, now.wSecond));
  return calendar;
}

DateValue CalendarDate(const Control& calendar) {
  SYSTEMTIME day = {};
  if (SendToControl(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&day)) == 0) return 0;
  return ComposeDate(day.wYear, day.wMonth, day.wDay, 0, 0, 0);
}

}  // namespace korvane
