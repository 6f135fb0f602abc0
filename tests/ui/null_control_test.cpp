// A control whose creation failed has no window. Every operation on it must
// do nothing: in particular nothing may reach BeforeButton, whose identity 0
// such a control also has.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/drop_down.h"
#include "ui/keyboard.h"
#include "ui/label.h"
#include "ui/month_calendar.h"
#include "ui/text_field.h"

namespace korvane::uitest {
namespace {

// What the user could see of every control of the window.
struct Look {
  std::wstring text;
  RECT place;
  LRESULT font;
  bool operator==(const Look& other) const {
    return text == other.text && EqualRect(&place, &other.place) && font == other.font;
  }
};

std::vector<Look> LookOfEveryControl(HWND main) {
  std::vector<Look> looks;
  for (HWND child = GetWindow(main, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    looks.push_back({WindowText(child), PlaceInParent(child), SendMessageW(child, WM_GETFONT, 0, 0)});
  }
  return looks;
}

using FailedControl = MainWindowTest;

TEST_F(FailedControl, OperationsReachNoOtherControl) {
  const ControlKind kinds[] = {ControlKind::TextField, ControlKind::Label, ControlKind::DropDown,
                               ControlKind::PushButton, ControlKind::Calendar, ControlKind::Picture};
  ASSERT_TRUE(RunLoopUntilIdle());
  const std::vector<Look> before = LookOfEveryControl(MainHandle());
  for (ControlKind kind : kinds) {
    SCOPED_TRACE(::testing::Message() << "control kind " << static_cast<int>(kind));
    Control failed{kind, 0, nullptr};
    EXPECT_EQ(SendToControl(failed, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"reached")), 0);
    EXPECT_EQ(SendToControl(failed, WM_GETTEXTLENGTH), 0);
    SetControlFont(failed, TestFonts().calendarFont);
    MoveControl(failed, 1, 2, 3, 4);
    SetTextColour(failed, RGB(255, 0, 0));
    AppendLine(failed, L"reached");
    SetFieldText(failed, u"reached");
    EXPECT_EQ(FieldText(failed), u"");
    SetLabelTextColour(failed, RGB(255, 0, 0));
    AppendItem(failed, L"reached");
    SetDropDownText(failed, u"reached");
    EXPECT_EQ(DropDownText(failed), u"");
    EXPECT_EQ(DropDownEdit(failed), nullptr);
    FitClosedHeight(failed);
    EXPECT_EQ(CalendarDate(failed), 0);
  }
  EXPECT_TRUE(LookOfEveryControl(MainHandle()) == before) << "a control changed";
  EXPECT_EQ(WindowText(Main().beforeButton->hwnd), L"      push");
}

TEST_F(FailedControl, WindowKeepsItWithoutTakingItForAnother) {
  Window& window = *Main().window;
  const std::size_t stops = TabStops(window).size();
  Control& failed = window.AddControl(ControlKind::PushButton, 0, nullptr);
  EXPECT_EQ(window.FindControl(nullptr), nullptr);
  EXPECT_EQ(TabStops(window).size(), stops);
  ASSERT_TRUE(RunLoopUntilIdle());
  events.clear();
  // A command with no control handle, as a menu of id 0 would send it.
  SendMessageW(MainHandle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  ASSERT_TRUE(RunLoopUntilIdle());
  for (const SeenEvent& e : events) {
    EXPECT_NE(e.kind, EventKind::ControlEvent) << Describe(events);
  }
  EXPECT_FALSE(failed.Exists());
}

TEST_F(FailedControl, WindowTextsOverFailedControlsReadEmptyAndWriteNothing) {
  ASSERT_TRUE(RunLoopUntilIdle());
  MainWindow& main = Main();
  Control failedField{ControlKind::TextField, 0, nullptr};
  Control failedBox{ControlKind::DropDown, 0, nullptr};
  Control failedCalendar{ControlKind::Calendar, 0, nullptr};
  Control* const keep[] = {main.yearField, main.monthBox, main.afterResultField, main.calendar};
  main.yearField = &failedField;
  main.monthBox = &failedBox;
  main.afterResultField = &failedField;
  main.calendar = &failedCalendar;
  const std::vector<Look> before = LookOfEveryControl(MainHandle());

  EXPECT_EQ(main.texts.GetText(TextControl::YearField), u"");
  EXPECT_EQ(main.texts.GetText(TextControl::MonthBox), u"");
  EXPECT_EQ(main.texts.GetCalendarDate(), 0);
  main.texts.SetText(TextControl::YearField, u"2019");
  main.texts.SetText(TextControl::MonthBox, u"03");
  PrefillFromCalendar(main.texts);
  CalculateDaysAfter(main.texts);
  EXPECT_TRUE(LookOfEveryControl(MainHandle()) == before) << "a control changed";

  main.yearField = keep[0];
  main.monthBox = keep[1];
  main.afterResultField = keep[2];
  main.calendar = keep[3];
}

}  // namespace
}  // namespace korvane::uitest
