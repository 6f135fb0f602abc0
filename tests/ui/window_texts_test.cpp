// WindowTexts over the real controls (MainWindow::texts): what the
// calculations read from and write to the fields, the boxes and the
// calendar.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/drop_down.h"
#include "ui/month_calendar.h"
#include "ui/text_field.h"

namespace korvane::uitest {
namespace {

using WindowTexts = MainWindowTest;

std::u16string EditPart(const Control& box) {
  const std::wstring text = WindowText(DropDownEdit(box));
  return std::u16string(text.begin(), text.end());
}

TEST_F(WindowTexts, FieldReadsEveryLine) {
  Control& field = *Main().yearField;
  SetFieldText(field, u"2019");
  AppendLine(field, L"x");
  EXPECT_EQ(Main().texts.GetText(TextControl::YearField), u"2019\r\nx");

  // Typed by the user: Enter breaks the line.
  ASSERT_TRUE(BringToFront());
  SetFocus(Main().beforeDaysField->hwnd);
  SetFieldText(*Main().beforeDaysField, u"");
  ASSERT_TRUE(TypeKeys("12"));
  ASSERT_TRUE(PressKeys({VK_RETURN}));
  ASSERT_TRUE(TypeKeys("3"));
  EXPECT_EQ(Main().texts.GetText(TextControl::BeforeDaysField), u"12\r\n3");
}

TEST_F(WindowTexts, BoxShowsAndGivesBackTheTextAsWritten) {
  struct Row {
    TextControl control;
    std::u16string_view text;
  };
  const Row rows[] = {
      {TextControl::MonthBox, u"03"},   // not an item: the items are 1 to 12
      {TextControl::DayBox, u"07"},
      {TextControl::MonthBox, u"3x"},
      {TextControl::DayBox, u""},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& row = rows[n];
    Control& box = ControlOf(Main(), row.control);
    Main().texts.SetText(row.control, row.text);
    EXPECT_EQ(EditPart(box), row.text) << "row " << n << " shows " << Readable(row.text);
    EXPECT_EQ(Main().texts.GetText(row.control), row.text) << "row " << n;
    EXPECT_EQ(SendToControl(box, CB_GETCURSEL), CB_ERR) << "row " << n << ": no item selected";
  }
}

// Chooses "7" in DayBox with the arrow key, records what GetText gives while
// the main window handles the box's CBN_SELCHANGE, then types "12" over it.
struct SelectionSpy {
  static inline MainWindow* main = nullptr;
  static inline WNDPROC original = nullptr;
  static inline std::vector<std::u16string> readDuringChange;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE &&
        reinterpret_cast<HWND>(lParam) == main->dayBox->hwnd) {
      readDuringChange.push_back(main->texts.GetText(TextControl::DayBox));
    }
    return result;
  }
};

TEST_F(WindowTexts, ListChoiceIsReadAtOnceAndTypingReplacesIt) {
  Control& box = *Main().dayBox;
  SelectionSpy::main = &Main();
  SelectionSpy::readDuringChange.clear();
  SelectionSpy::original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      MainHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SelectionSpy::Procedure)));

  ASSERT_TRUE(BringToFront());
  SendToControl(box, CB_SETCURSEL, 5);  // "6"
  SetFocus(DropDownEdit(box));
  ASSERT_TRUE(PressKeys({VK_DOWN}));
  ASSERT_EQ(SendToControl(box, CB_GETCURSEL), 6) << "the arrow key chose the next item";
  ASSERT_EQ(SelectionSpy::readDuringChange.size(), 1u);
  EXPECT_EQ(SelectionSpy::readDuringChange[0], u"7") << "while the choice is reported";
  EXPECT_EQ(Main().texts.GetText(TextControl::DayBox), u"7");

  // The parent hears of a choice before the edit part shows it.
  SendToControl(box, CB_SETCURSEL, 9);  // "10"
  SetWindowTextW(DropDownEdit(box), L"6");
  SendMessageW(MainHandle(), WM_COMMAND, MAKEWPARAM(box.id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box.hwnd));
  ASSERT_EQ(SelectionSpy::readDuringChange.size(), 2u);
  EXPECT_EQ(SelectionSpy::readDuringChange[1], u"10") << "the chosen item, not the edit part";

  SendMessageW(DropDownEdit(box), EM_SETSEL, 0, -1);
  ASSERT_TRUE(TypeKeys("12"));
  EXPECT_EQ(EditPart(box), u"12");
  EXPECT_EQ(Main().texts.GetText(TextControl::DayBox), u"12") << "typed after the choice";

  // Written whole after a choice: what the box shows.
  SendToControl(box, CB_SETCURSEL, 2);
  SendMessageW(MainHandle(), WM_COMMAND, MAKEWPARAM(box.id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box.hwnd));
  Main().texts.SetText(TextControl::DayBox, u"05");
  EXPECT_EQ(Main().texts.GetText(TextControl::DayBox), u"05") << "written after a choice";

  SetWindowLongPtrW(MainHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SelectionSpy::original));
}

TEST_F(WindowTexts, WritingAFieldShowsTheTextFromItsStart) {
  Control& field = *Main().afterResultField;
  const std::u16string wide(120, u'x');
  Main().texts.SetText(TextControl::AfterResultField, wide);
  SendToControl(field, EM_SETSEL, 120, 120);  // scrolls to the end
  POINT scroll{};
  SendToControl(field, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  ASSERT_GT(scroll.x, 0) << "the field scrolled sideways first";

  for (std::u16string_view text : {std::u16string_view(u"2019/06/30"), std::u16string_view(wide)}) {
    SendToControl(field, EM_SETSEL, 120, 120);
    Main().texts.SetText(TextControl::AfterResultField, text);
    EXPECT_EQ(Main().texts.GetText(TextControl::AfterResultField), text);
    SendToControl(field, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    EXPECT_EQ(scroll.x, 0) << "writing " << Readable(text);
  }

  Main().texts.SetText(TextControl::AfterResultField, u"");
  EXPECT_EQ(Main().texts.GetText(TextControl::AfterResultField), u"");
  EXPECT_EQ(SendToControl(field, WM_GETTEXTLENGTH), 0);
}

TEST_F(WindowTexts, CalendarGivesTheSelectedDayAtMidnight) {
  SYSTEMTIME selected{};
  ASSERT_NE(SendToControl(*Main().calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&selected)), 0);
  EXPECT_EQ(Main().texts.GetCalendarDate(),
            ComposeDate(selected.wYear, selected.wMonth, selected.wDay, 0, 0, 0));

  SYSTEMTIME day = {};
  day.wYear = 2019;
  day.wMonth = 3;
  day.wDay = 22;
  ASSERT_NE(SendToControl(*Main().calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day)), 0);
  EXPECT_EQ(Main().texts.GetCalendarDate(), 1553212800);
}

// A calendar that cannot report its selection.
LRESULT CALLBACK NoSelection(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             UINT_PTR, DWORD_PTR) {
  if (message == MCM_GETCURSEL) return 0;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTexts, CalendarWithoutSelectionGivesZeroAndPrefillChangesNothing) {
  ASSERT_TRUE(SetWindowSubclass(Main().calendar->hwnd, &NoSelection, 1, 0));
  EXPECT_EQ(Main().texts.GetCalendarDate(), 0);
  FillDate(u"year", u"mm", u"dd");
  PrefillFromCalendar(Main().texts);
  EXPECT_EQ(Main().texts.GetText(TextControl::YearField), u"year");
  EXPECT_EQ(Main().texts.GetText(TextControl::MonthBox), u"mm");
  EXPECT_EQ(Main().texts.GetText(TextControl::DayBox), u"dd");
  RemoveWindowSubclass(Main().calendar->hwnd, &NoSelection, 1);
}

TEST_F(WindowTexts, PrefillWritesTheCalendarsDayAsYearMonthAndDay) {
  struct Row {
    WORD year, month, day;
    std::u16string_view yyyy, mm, dd;
  };
  const Row rows[] = {
      {2019, 3, 5, u"2019", u"03", u"05"},
      {1970, 1, 2, u"1970", u"01", u"02"},
      // The first valid day is the value 0, which also stands for "no
      // selection": nothing is copied.
      {1970, 1, 1, u"year", u"", u""},
      {2038, 1, 19, u"2038", u"01", u"19"},
      {2000, 12, 31, u"2000", u"12", u"31"},
      {2040, 5, 6, u"0000", u"00", u"00"},  // past the valid period
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    SYSTEMTIME day = {};
    day.wYear = r.year;
    day.wMonth = r.month;
    day.wDay = r.day;
    ASSERT_NE(SendToControl(*Main().calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day)), 0)
        << "row " << n;
    FillDate(u"year", u"", u"");
    PrefillFromCalendar(Main().texts);
    EXPECT_EQ(FieldText(*Main().yearField), r.yyyy) << "row " << n;
    EXPECT_EQ(EditPart(*Main().monthBox), r.mm) << "row " << n;
    EXPECT_EQ(EditPart(*Main().dayBox), r.dd) << "row " << n;
  }
}

}  // namespace
}  // namespace korvane::uitest
