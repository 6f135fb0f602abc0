// The program driver against the built program: it finds the window and its
// controls, writes and reads texts, and a press gives the calculated date --
// by a posted click also while another window is in front, and by a real
// click -- and the program closes with exit code 0.
//
// Usage: driver_tests [gtest flags] PROGRAM.exe

#include "tests/driver/program_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

using korvane::driver::NameOf;
using korvane::driver::PressBy;
using korvane::driver::ProgramControl;
using korvane::driver::RunningProgram;
using korvane::driver::Utf8;
using korvane::driver::WaitFor;

std::wstring g_program;

// A visible window of the driver's own, to take the front from the program.
class FrontWindow {
 public:
  FrontWindow() {
    WNDCLASSW type = {};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"KorvaneDriverTestFront";
    RegisterClassW(&type);
    hwnd_ = CreateWindowExW(0, type.lpszClassName, L"in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            0, 0, 200, 100, nullptr, nullptr, type.hInstance, nullptr);
  }
  ~FrontWindow() { DestroyWindow(hwnd_); }
  bool TakeFront() const {
    SetForegroundWindow(hwnd_);
    return WaitFor(
        [&] {
          MSG message;
          while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
          return GetForegroundWindow() == hwnd_;
        },
        5000);
  }

 private:
  HWND hwnd_ = nullptr;
};

class Driver : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_ = RunningProgram::Start(g_program, &why_).release();
  }
  static void TearDownTestSuite() {
    delete program_;
    program_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(program_, nullptr) << why_; }

  static RunningProgram* program_;
  static std::string why_;
};

RunningProgram* Driver::program_ = nullptr;
std::string Driver::why_;

TEST_F(Driver, FindsTheEighteenControlsInCreationOrder) {
  struct Expected {
    ProgramControl control;
    const wchar_t* className;
  };
  const Expected expected[] = {
      {ProgramControl::YearField, L"RichEdit20W"},  {ProgramControl::AfterLabel, L"Static"},
      {ProgramControl::DayBox, L"ComboBox"},        {ProgramControl::BeforeButton, L"Button"},
      {ProgramControl::BeforeResultField, L"RichEdit20W"},
      {ProgramControl::Calendar, L"SysMonthCal32"}, {ProgramControl::AfterButton, L"Button"},
      {ProgramControl::MonthBox, L"ComboBox"},      {ProgramControl::LogoImage, L"Static"},
      {ProgramControl::YearLabel, L"Static"},
  };
  for (const Expected& e : expected) {
    wchar_t name[64] = {};
    GetClassNameW(program_->Control(e.control), name, 64);
    EXPECT_EQ(_wcsicmp(name, e.className), 0) << NameOf(e.control) << " is a " << Utf8(name);
  }
  EXPECT_EQ(program_->Text(ProgramControl::YearLabel), L"Year");
  EXPECT_EQ(program_->Text(ProgramControl::AfterLabel), L"days after=");
  EXPECT_NE(program_->EditOf(ProgramControl::MonthBox), program_->Control(ProgramControl::MonthBox));
  EXPECT_TRUE(program_->IsResponsive(1000));
}

TEST_F(Driver, WritesAndReadsTextsOfFieldsAndBoxes) {
  struct Case {
    ProgramControl control;
    std::wstring written;
    std::wstring readBack;
  };
  const Case cases[] = {
      {ProgramControl::YearField, L"2019", L"2019"},
      {ProgramControl::MonthBox, L"07", L"07"},
      {ProgramControl::DayBox, L"anything", L"anything"},
      {ProgramControl::AfterDaysField, L"1\n2", L"1\r\n2"},  // a rich edit's line break
      {ProgramControl::BeforeDaysField, L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.control)) + " <- \"" + Utf8(c.written) + "\"");
    ASSERT_TRUE(program_->SetText(c.control, c.written));
    EXPECT_EQ(program_->Text(c.control), c.readBack);
  }
}

TEST_F(Driver, PastesTextThroughTheClipboard) {
  struct Case {
    ProgramControl control;
    std::wstring before;
    std::wstring pasted;
    bool replaceAll;
    std::wstring readBack;
  };
  const Case cases[] = {
      {ProgramControl::YearField, L"old", L"2020", true, L"2020"},
      {ProgramControl::YearField, L"20", L"21", false, L"2021"},
      {ProgramControl::DayBox, L"xx", L"15", true, L"15"},
      {ProgramControl::MonthBox, L"0", L"3", false, L"03"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.control)) + ": \"" + Utf8(c.before) + "\" + paste \"" +
                 Utf8(c.pasted) + (c.replaceAll ? "\" over all" : "\" at the end"));
    ASSERT_TRUE(program_->SetText(c.control, c.before));
    ASSERT_TRUE(program_->Paste(c.control, c.pasted, c.replaceAll));
    EXPECT_TRUE(WaitFor([&] { return program_->Text(c.control) == c.readBack; }, 2000))
        << "reads \"" << Utf8(program_->Text(c.control)) << "\"";
  }
}

struct PressCase {
  ProgramControl button;
  PressBy by;
  bool programInFront;
  const wchar_t* days;
  const wchar_t* expected;
};

std::ostream& operator<<(std::ostream& os, const PressCase& c) {
  return os << NameOf(c.button) << (c.by == PressBy::Message ? " by message" : " by real click")
            << (c.programInFront ? ", program in front" : ", another window in front")
            << ", days \"" << Utf8(c.days) << "\" -> " << Utf8(c.expected);
}

TEST_F(Driver, PressShowsTheDateWhetherOrNotTheProgramIsInFront) {
  const PressCase cases[] = {
      {ProgramControl::AfterButton, PressBy::Message, false, L"100", L"2019/06/30"},
      {ProgramControl::BeforeButton, PressBy::Message, false, L"100", L"2018/12/12"},
      {ProgramControl::AfterButton, PressBy::Message, true, L"1", L"2019/03/23"},
      {ProgramControl::BeforeButton, PressBy::Message, true, L"-1", L"2019/03/22"},
      {ProgramControl::AfterButton, PressBy::RealInput, true, L"-22", L"2019/02/28"},
      // One real click only: under Wine on Xvfb a second real click right
      // after the first now and then lands where the first one was (seen in
      // a fresh-clone run). The program tests click both buttons for real,
      // each in a program of its own.
      {ProgramControl::BeforeButton, PressBy::Message, true, L"17977", L"1970/01/01"},
  };
  FrontWindow front;
  for (const PressCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c);
    ASSERT_TRUE(program_->SetText(ProgramControl::YearField, L"2019"));
    ASSERT_TRUE(program_->SetText(ProgramControl::MonthBox, L"03"));
    ASSERT_TRUE(program_->SetText(ProgramControl::DayBox, L"22"));
    ASSERT_TRUE(program_->SetText(c.button == ProgramControl::AfterButton
                                      ? ProgramControl::AfterDaysField
                                      : ProgramControl::BeforeDaysField,
                                  c.days));
    if (!c.programInFront) {
      ASSERT_TRUE(front.TakeFront());
    }
    const RunningProgram::PressResult result = program_->Press(c.button, 5000, c.by);
    ASSERT_TRUE(result.answered) << "no answer; the result field reads " << Utf8(result.text);
    EXPECT_EQ(result.text, c.expected);
    std::printf("  %s: %.2f ms\n", ::testing::PrintToString(c).c_str(), result.milliseconds);
  }
}

TEST(DriverStart, SaysWhyWhenTheProgramCannotStart) {
  std::string why;
  EXPECT_EQ(RunningProgram::Start(L"Z:\\no\\such\\program.exe", &why, 2000), nullptr);
  EXPECT_NE(why.find("cannot start"), std::string::npos) << why;
}

TEST(DriverClose, EndsTheProgramWithExitCodeZero) {
  std::string why;
  auto program = RunningProgram::Start(g_program, &why);
  ASSERT_NE(program, nullptr) << why;
  DWORD code = 1;
  ASSERT_TRUE(program->Close(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(program->IsRunning());
  EXPECT_FALSE(program->IsResponsive(100));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: driver_tests PROGRAM.exe\n");
    return 2;
  }
  g_program = argv[1];
  return RUN_ALL_TESTS();
}
