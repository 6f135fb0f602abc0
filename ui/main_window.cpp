#include "ui/main_window.h"

#include <string>

#include "ui/drop_down.h"
#include "ui/label.h"
#include "ui/month_calendar.h"
#include "ui/picture_control.h"
#include "ui/push_button.h"
#include "ui/text_field.h"

namespace korvane {

namespace {

constexpr Colour DayCountTextColour = RGB(27, 15, 13);
constexpr Colour LabelGrey = RGB(70, 70, 70);
constexpr Colour Black = RGB(0, 0, 0);
constexpr wchar_t PushText[] = L"      push";  // six spaces move the word in
constexpr DWORD Bordered = WS_EX_CLIENTEDGE;   // the picture controls' option 512

void AppendNumbers(Control& box, int last) {
  for (int n = 1; n <= last; ++n) AppendItem(box, std::to_wstring(n));
}

}  // namespace

std::unique_ptr<MainWindow> BuildMainWindow(int x, int y, int width, int height,
                                            const Fonts& fonts, const Picture* banner,
                                            const Picture* logo) {
  auto main = std::make_unique<MainWindow>();
  main->window = Window::Create(L"KorvaneDaysAfter", x, y, width, height);
  if (main->window == nullptr) return nullptr;
  Window& w = *main->window;
  w.SetBackgroundColour(BackgroundColor);

  // In creation order, which is also the keyboard focus order.
  main->yearField = &CreateTextField(w, {40, 70, 100, 30}, NewIdentity());
  SetControlFont(*main->yearField, fonts.mainFont);
  AppendLine(*main->yearField, L"year");

  main->afterDaysField = &CreateTextField(w, {40, 160, 90, 35}, NewIdentity());
  SetTextColour(*main->afterDaysField, DayCountTextColour);
  SetControlFont(*main->afterDaysField, fonts.mainFont);

  main->afterResultField = &CreateTextField(w, {230, 160, 160, 35}, NewIdentity());
  SetTextColour(*main->afterResultField, Black);

  main->afterLabel = &CreateLabel(w, {130, 170, 90, 25}, L"days after=", Alignment::Right, NewIdentity());
  SetLabelTextColour(*main->afterLabel, LabelGrey);
  SetLabelBackgroundColour(*main->afterLabel, BackgroundColor);

  main->validPeriodLabel = &CreateLabel(w, {40, 110, 380, 25},
                                        L"valid period: 1970-01-01 <--> 2038-01-19",
                                        Alignment::Centre, NewIdentity());
  SetControlFont(*main->validPeriodLabel, fonts.smallFont);

  main->dayLabel = &CreateLabel(w, {320, 40, 40, 25}, L"Day", Alignment::Left, NewIdentity());
  SetControlFont(*main->dayLabel, fonts.smallFont);

  main->monthLabel = &CreateLabel(w, {180, 40, 60, 25}, L"Month", Alignment::Left, NewIdentity());
  SetControlFont(*main->monthLabel, fonts.smallFont);

  main->dayBox = &CreateDropDown(w, {320, 70, 100, 30}, NewIdentity());
  AppendNumbers(*main->dayBox, 31);

  main->beforeButton = &CreatePushButton(w, {400, 220, 100, 40}, PushText, BeforeButtonId);
  SetControlFont(*main->beforeButton, fonts.mainFont);

  main->beforeDaysField = &CreateTextField(w, {40, 220, 90, 35}, NewIdentity());

  main->beforeLabel = &CreateLabel(w, {130, 230, 90, 25}, L"days before=", Alignment::Right, NewIdentity());
  SetLabelTextColour(*main->beforeLabel, Black);
  SetLabelBackgroundColour(*main->beforeLabel, BackgroundColor);

  main->beforeResultField = &CreateTextField(w, {230, 220, 160, 35}, NewIdentity());
  SetTextColour(*main->beforeResultField, Black);

  main->calendar = &CreateMonthCalendar(w, {520, 20, 260, 240}, NewIdentity());
  SetControlFont(*main->calendar, fonts.calendarFont);

  main->afterButton = &CreatePushButton(w, {400, 160, 100, 40}, PushText, NewIdentity());
  SetControlFont(*main->afterButton, fonts.mainFont);

  main->monthBox = &CreateDropDown(w, {180, 70, 100, 30}, NewIdentity());
  SetControlFont(*main->monthBox, fonts.mainFont);
  AppendNumbers(*main->monthBox, 12);

  main->bannerImage = &CreatePictureControl(w, {30, 310, 600, 50}, banner, Bordered, NewIdentity());
  main->logoImage = &CreatePictureControl(w, {660, 310, 100, 49}, logo, Bordered, NewIdentity());

  main->yearLabel = &CreateLabel(w, {40, 40, 40, 25}, L"Year", Alignment::Left, NewIdentity());
  return main;
}

Control& MainWindowTexts::ControlOf(TextControl control) {
  switch (control) {
    case TextControl::YearField: return *window_.yearField;
    case TextControl::MonthBox: return *window_.monthBox;
    case TextControl::DayBox: return *window_.dayBox;
    case TextControl::AfterDaysField: return *window_.afterDaysField;
    case TextControl::AfterResultField: return *window_.afterResultField;
    case TextControl::BeforeDaysField: return *window_.beforeDaysField;
    case TextControl::BeforeResultField: break;
  }
  return *window_.beforeResultField;
}

std::u16string MainWindowTexts::GetText(TextControl control) {
  const Control& c = ControlOf(control);
  return c.kind == ControlKind::DropDown ? DropDownText(c) : FieldText(c);
}

void MainWindowTexts::SetText(TextControl control, std::u16string_view text) {
  Control& c = ControlOf(control);
  if (c.kind == ControlKind::DropDown) SetDropDownText(c, text);
  else SetFieldText(c, text);
}

DateValue MainWindowTexts::GetCalendarDate() { return CalendarDate(*window_.calendar); }

}  // namespace korvane
