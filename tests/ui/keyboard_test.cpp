// The keyboard under real input: Tab and Shift+Tab through the ten tab
// stops, Tab typed inside the text fields, the keys that must do nothing,
// the focus kept across deactivation, and the focus cues.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/drop_down.h"
#include "ui/keyboard.h"
#include "ui/text_field.h"

namespace korvane::uitest {
namespace {

class Keyboard : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    MainWindow& m = Main();
    stops_ = {
        {"YearField", m.yearField->hwnd, true},
        {"AfterDaysField", m.afterDaysField->hwnd, true},
        {"AfterResultField", m.afterResultField->hwnd, true},
        {"DayBox's edit", DropDownEdit(*m.dayBox), false},
        {"BeforeButton", m.beforeButton->hwnd, false},
        {"BeforeDaysField", m.beforeDaysField->hwnd, true},
        {"BeforeResultField", m.beforeResultField->hwnd, true},
        {"Calendar", m.calendar->hwnd, false},
        {"AfterButton", m.afterButton->hwnd, false},
        {"MonthBox's edit", DropDownEdit(*m.monthBox), false},
    };
    ASSERT_TRUE(BringToFront());
  }

  void TearDown() override {
    if (other_ != nullptr) DestroyWindow(other_);
    MainWindowTest::TearDown();
  }

  struct Stop {
    const char* name;
    HWND hwnd;
    bool field;
  };

  std::string NameOf(HWND hwnd) const {
    for (const Stop& stop : stops_) {
      if (stop.hwnd == hwnd) return stop.name;
    }
    return hwnd == nullptr ? "no window" : "window " + Narrow(ClassOf(hwnd));
  }

  // Makes another top-level window of this thread the active one, and then
  // MainWindow again.
  bool ActivateOther() {
    if (other_ == nullptr) {
      other_ = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    SetForegroundWindow(other_);
    return RunLoopUntil([this] { return GetActiveWindow() == other_; });
  }
  bool ActivateMain() {
    if (!BringToFront()) return false;
    return RunLoopUntilIdle();
  }

  std::vector<Stop> stops_;
  HWND other_ = nullptr;
};

TEST_F(Keyboard, TabStopsAreTheTenInCreationOrder) {
  const std::vector<HWND> stops = TabStops(*Main().window);
  ASSERT_EQ(stops.size(), stops_.size());
  for (std::size_t n = 0; n < stops.size(); ++n) {
    EXPECT_EQ(stops[n], stops_[n].hwnd) << "stop " << n + 1 << ": expected " << stops_[n].name
                                        << ", found " << NameOf(stops[n]);
  }
}

TEST_F(Keyboard, TabWithNoFocusLandsOnYearField) {
  SetFocus(nullptr);
  ASSERT_EQ(GetFocus(), nullptr);
  ASSERT_TRUE(PressKeys({VK_TAB}));
  EXPECT_EQ(GetFocus(), stops_.front().hwnd) << NameOf(GetFocus());
}

TEST_F(Keyboard, ShiftTabWithNoFocusWalksEveryStopBackwardsAndRoundAgain) {
  SetFocus(nullptr);
  const std::size_t count = stops_.size();
  for (std::size_t step = 0; step < 2 * count + 1; ++step) {
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_TAB})) << "step " << step;
    const Stop& expected = stops_[count - 1 - step % count];
    EXPECT_EQ(GetFocus(), expected.hwnd) << "step " << step + 1 << ": expected " << expected.name
                                         << ", found " << NameOf(GetFocus());
  }
}

TEST_F(Keyboard, TabFromEveryStopButATextFieldMovesToTheNext) {
  for (std::size_t n = 0; n < stops_.size(); ++n) {
    if (stops_[n].field) continue;
    SetFocus(stops_[n].hwnd);
    ASSERT_EQ(GetFocus(), stops_[n].hwnd) << stops_[n].name;
    ASSERT_TRUE(PressKeys({VK_TAB})) << stops_[n].name;
    const Stop& next = stops_[(n + 1) % stops_.size()];
    EXPECT_EQ(GetFocus(), next.hwnd) << "Tab from " << stops_[n].name << ": expected " << next.name
                                     << ", found " << NameOf(GetFocus());
  }
}

TEST_F(Keyboard, TabInsideATextFieldTypesATab) {
  for (const Stop& stop : stops_) {
    if (!stop.field) continue;
    Control& field = *Main().window->FindControl(stop.hwnd);
    SetFieldText(field, u"12");
    SetFocus(stop.hwnd);
    SendMessageW(stop.hwnd, EM_SETSEL, 2, 2);
    ASSERT_TRUE(PressKeys({VK_TAB})) << stop.name;
    EXPECT_EQ(FieldText(field), u"12\t") << stop.name;
    EXPECT_EQ(GetFocus(), stop.hwnd) << stop.name << ": the focus went to " << NameOf(GetFocus());
  }
}

TEST_F(Keyboard, CtrlTabAndAltTabMoveNothing) {
  const std::size_t starts[] = {0, 3, 4, 7};  // a field, a box, a button, the calendar
  for (WORD modifier : {WORD{VK_CONTROL}, WORD{VK_MENU}}) {
    for (std::size_t n : starts) {
      const Stop& start = stops_[n];
      const char* chord = modifier == VK_CONTROL ? "Ctrl+Tab" : "Alt+Tab";
      SetFocus(start.hwnd);
      ASSERT_TRUE(PressKeys({modifier, VK_TAB})) << chord << " on " << start.name;
      EXPECT_EQ(GetFocus(), start.hwnd) << chord << " on " << start.name << " moved the focus to "
                                        << NameOf(GetFocus());
      EXPECT_EQ(GetActiveWindow(), MainHandle()) << chord << " on " << start.name;
    }
  }
}

TEST_F(Keyboard, EnterAndEscapeDoNothingWhileSpacePressesTheButton) {
  FillDate(u"2019", u"03", u"22");
  Main().texts.SetText(TextControl::AfterDaysField, u"100");
  Main().texts.SetText(TextControl::AfterResultField, u"");
  for (HWND start : {Main().afterButton->hwnd, Main().yearField->hwnd}) {
    SetFocus(start);
    ASSERT_TRUE(PressKeys({VK_RETURN})) << NameOf(start);
    ASSERT_TRUE(PressKeys({VK_ESCAPE})) << NameOf(start);
    EXPECT_EQ(GetFocus(), start) << NameOf(start);
  }
  ASSERT_TRUE(RunLoopUntilIdle());
  EXPECT_EQ(Main().texts.GetText(TextControl::AfterResultField), u"") << "Enter computed";
  EXPECT_FALSE(closeRequested) << "Escape asked to close";
  EXPECT_TRUE(IsWindowVisible(MainHandle()));

  FillDate(u"2019", u"03", u"22");  // Enter broke YearField's line
  SetFocus(Main().afterButton->hwnd);
  ASSERT_TRUE(PressKeys({VK_SPACE}));
  EXPECT_TRUE(RunLoopUntil([this] {
    return Main().texts.GetText(TextControl::AfterResultField) == u"2019/06/30";
  }));
}

TEST_F(Keyboard, FocusComesBackAfterTheWindowIsActivatedAgain) {
  for (std::size_t n : {0, 3, 4, 7, 9}) {
    const Stop& stop = stops_[n];
    SetFocus(stop.hwnd);
    ASSERT_EQ(GetFocus(), stop.hwnd) << stop.name;
    ASSERT_TRUE(ActivateOther()) << stop.name;
    EXPECT_NE(GetFocus(), stop.hwnd) << stop.name << " kept the focus in an inactive window";
    ASSERT_TRUE(ActivateMain()) << stop.name;
    EXPECT_EQ(GetFocus(), stop.hwnd) << "expected " << stop.name << ", found " << NameOf(GetFocus());
  }
}

// Answers WM_QUERYUISTATE from `hidden` (Wine's own answer is always 0) and
// records the WM_UPDATEUISTATE requests that reach the window.
struct CueSpy {
  static inline bool hidden = false;
  static inline std::vector<WPARAM> updates;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR) {
    if (message == WM_QUERYUISTATE) return hidden ? UISF_HIDEFOCUS | UISF_HIDEACCEL : 0;
    if (message == WM_UPDATEUISTATE) updates.push_back(wParam);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
};

TEST_F(Keyboard, FocusCuesHideOnDeactivationAndShowForModifiersAndShortcuts) {
  constexpr WPARAM Hide = MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL);
  constexpr WPARAM Show = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
  ASSERT_TRUE(SetWindowSubclass(MainHandle(), &CueSpy::Procedure, 1, 0));
  struct Row {
    const char* what;
    bool hiddenBefore;
    std::function<bool()> act;
    std::vector<WPARAM> expected;
  };
  HWND field = Main().afterDaysField->hwnd, button = Main().beforeButton->hwnd;
  const Row rows[] = {
      {"deactivation", false, [&] { SetFocus(field); return ActivateOther(); }, {Hide}},
      {"Shift pressed alone", true, [&] { SetFocus(field); return PressKeys({VK_SHIFT}); }, {Show}},
      {"Ctrl pressed alone", true, [&] { SetFocus(button); return PressKeys({VK_CONTROL}); }, {Show}},
      {"Tab on a button", true, [&] { SetFocus(button); return PressKeys({VK_TAB}); }, {Show}},
      {"a digit typed", true, [&] { SetFocus(field); return TypeKeys("5"); }, {}},
      {"Tab typed in a field", true, [&] { SetFocus(field); return PressKeys({VK_TAB}); }, {}},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(ActivateMain()) << row.what;
    CueSpy::hidden = row.hiddenBefore;
    CueSpy::updates.clear();
    ASSERT_TRUE(row.act()) << row.what;
    EXPECT_EQ(CueSpy::updates, row.expected) << row.what;
  }
  RemoveWindowSubclass(MainHandle(), &CueSpy::Procedure, 1);
}

}  // namespace
}  // namespace korvane::uitest
