// The push buttons under real input: a mouse click, or Space while the
// button has the focus, computes the button's result through the loop.
#include <windows.h>

#include "tests/ui/ui_test_support.h"

namespace korvane::uitest {
namespace {

struct PressRow {
  const char* name;
  Control* MainWindow::*button;
  TextControl days, result, other;
  std::u16string_view expected;
};

const PressRow Presses[] = {
    {"AfterButton", &MainWindow::afterButton, TextControl::AfterDaysField,
     TextControl::AfterResultField, TextControl::BeforeResultField, u"2019/06/30"},
    {"BeforeButton", &MainWindow::beforeButton, TextControl::BeforeDaysField,
     TextControl::BeforeResultField, TextControl::AfterResultField, u"2018/12/12"},
};

class ButtonPress : public MainWindowTest {
 protected:
  void Prepare(const PressRow& row) {
    FillDate(u"2019", u"03", u"22");
    Main().texts.SetText(row.days, u"100");
    Main().texts.SetText(row.result, u"");
    Main().texts.SetText(row.other, u"untouched");
  }

  // Runs the loop until the row's result shows, then checks the other one.
  void ExpectResult(const PressRow& row) {
    EXPECT_TRUE(RunLoopUntil([&] { return Main().texts.GetText(row.result) == row.expected; }))
        << row.name << ": shows " << Readable(Main().texts.GetText(row.result)) << "; events "
        << Describe(events);
    EXPECT_EQ(Main().texts.GetText(row.other), u"untouched") << row.name;
  }
};

TEST_F(ButtonPress, MouseClickComputesTheButtonsResult) {
  ASSERT_TRUE(BringToFront());
  for (const PressRow& row : Presses) {
    Prepare(row);
    ASSERT_TRUE(ClickOn((Main().*row.button)->hwnd)) << row.name;
    ExpectResult(row);
  }
}

TEST_F(ButtonPress, SpaceOnTheFocusedButtonComputesTheButtonsResult) {
  ASSERT_TRUE(BringToFront());
  for (const PressRow& row : Presses) {
    Prepare(row);
    SetFocus((Main().*row.button)->hwnd);
    ASSERT_TRUE(PressKeys({VK_SPACE})) << row.name;
    ExpectResult(row);
  }
}

}  // namespace
}  // namespace korvane::uitest
