// The built program, started as a process of its own and used from outside
// the way a user uses it: its window and controls as another process sees
// them, today's date filled in, typed fields and real clicks on the push
// buttons giving the results, and the ways of closing it, each ending the
// process with exit code 0 -- also when its window cannot be created.
//
// Usage: program_tests [gtest flags] PROGRAM.exe REFUSE_WINDOW.dll
// Either path may be a Unix absolute path; under Wine it is read through
// drive Z:, which maps the Unix root.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::wstring g_program;
std::wstring g_refuseWindow;

constexpr wchar_t kTitle[] = L"KorvaneDaysAfter";
constexpr DWORD kStartTimeoutMs = 30000;  // a first start in a new prefix is slow
constexpr DWORD kTimeoutMs = 10000;

// "/work/x" -> "Z:\work\x"; a Windows path is left as it is.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// Polls every 10 ms until the condition holds; false at the time-out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

// Another process's control text, asked with WM_GETTEXT.
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                          &length) == 0) {
    return L"<no answer>";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

bool SetTextOf(HWND hwnd, const std::wstring& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kTimeoutMs, &result) != 0;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

bool IsDigits(const std::wstring& text, std::size_t count) {
  if (text.size() != count) return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// The window's own controls (not the parts inside them, such as a drop-down
// box's edit field), in the order EnumChildWindows gives: creation order.
std::vector<HWND> ControlsOf(HWND top) {
  struct Search {
    HWND top;
    std::vector<HWND> found;
  } search{top, {}};
  EnumChildWindows(
      top,
      [](HWND child, LPARAM parameter) -> BOOL {
        auto* s = reinterpret_cast<Search*>(parameter);
        if (GetAncestor(child, GA_PARENT) == s->top) s->found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Where each control the tests use comes in creation order.
enum ControlIndex : std::size_t {
  kYearField = 0,
  kAfterDaysField = 1,
  kAfterResultField = 2,
  kDayBox = 7,
  kBeforeButton = 8,
  kBeforeDaysField = 9,
  kBeforeResultField = 11,
  kAfterButton = 13,
  kMonthBox = 14,
  kControlCount = 18,
};

// One run of the program, ended (forcibly if need be) when it goes.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  ~Program() {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, kTimeoutMs);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }

  // Starts the program; CREATE_SUSPENDED leaves its main thread stopped
  // until Resume.
  bool Start(DWORD flags = 0) {
    std::wstring command = L"\"" + g_program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(g_program.c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                          nullptr, nullptr, &startup, &info_) != 0;
  }

  void Resume() { ResumeThread(info_.hThread); }
  DWORD MainThread() const { return info_.dwThreadId; }

  // Its visible top-level window titled KorvaneDaysAfter, or null when none
  // shows before the time-out.
  HWND WaitForWindow() {
    HWND found = nullptr;
    WaitFor(
        [&] {
          found = nullptr;
          for (HWND w = FindWindowW(nullptr, kTitle); w != nullptr;
               w = FindWindowExW(nullptr, w, nullptr, kTitle)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == info_.dwProcessId && IsWindowVisible(w)) found = w;
          }
          return found != nullptr;
        },
        kStartTimeoutMs);
    return found;
  }

  // The exit code, once the process has ended within the time-out.
  bool WaitForExit(DWORD& code, DWORD timeoutMs = kTimeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(info_.hProcess, &code) != 0;
  }

 private:
  PROCESS_INFORMATION info_ = {};
};

// The window shown and today's date in the year field: the program has
// finished starting and is waiting for input.
bool WaitUntilFilledIn(HWND top) {
  return WaitFor([&] {
    const std::vector<HWND> controls = ControlsOf(top);
    return controls.size() == kControlCount && IsDigits(TextOf(controls[kYearField]), 4);
  });
}

bool BringToFront(HWND top) {
  SetForegroundWindow(top);
  return WaitFor([&] { return GetForegroundWindow() == top; });
}

// A real left click where the mouse pointer is.
bool ClickHere() {
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, input, sizeof(INPUT)) == 2;
}

// A real left click in the middle of the control.
bool Click(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  return SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2) &&
         ClickHere();
}

// The middle of the title bar's close button, found with the window's own
// hit test along the title bar's middle line.
bool FindCloseButton(HWND top, POINT& point) {
  TITLEBARINFO bar = {};
  bar.cbSize = sizeof bar;
  if (!GetTitleBarInfo(top, &bar)) return false;
  const LONG y = (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2;
  LONG left = -1, right = -1;
  for (LONG x = bar.rcTitleBar.right - 1; x >= bar.rcTitleBar.left; --x) {
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutW(top, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kTimeoutMs, &hit);
    if (hit == HTCLOSE) {
      if (right < 0) right = x;
      left = x;
    } else if (right >= 0) {
      break;
    }
  }
  if (right < 0) return false;
  point = {(left + right) / 2, y};
  return true;
}

bool PressAltF4() {
  INPUT input[4] = {};
  const WORD keys[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_KEYBOARD;
    input[i].ki.wVk = keys[i];
    input[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  return SendInput(4, input, sizeof(INPUT)) == 4;
}

// --- One program for the tests that look at and use its window ------------

class ProgramWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GetLocalTime(&before_);
    program_ = new Program();
    if (!program_->Start()) return;
    top_ = program_->WaitForWindow();
    if (top_ == nullptr || !WaitUntilFilledIn(top_)) return;
    controls_ = ControlsOf(top_);
    // What start-up filled in, before any test types over it.
    filledYear_ = TextOf(controls_[kYearField]);
    filledMonth_ = TextOf(controls_[kMonthBox]);
    filledDay_ = TextOf(controls_[kDayBox]);
    GetLocalTime(&after_);
  }

  static void TearDownTestSuite() {
    if (top_ != nullptr) PostMessageW(top_, WM_CLOSE, 0, 0);
    DWORD code = 0;
    program_->WaitForExit(code);
    delete program_;
    program_ = nullptr;
    top_ = nullptr;
    controls_.clear();
  }

  void SetUp() override {
    ASSERT_EQ(controls_.size(), kControlCount)
        << "the program showed no window filled in with today's date";
  }

  static Program* program_;
  static HWND top_;
  static std::vector<HWND> controls_;
  static SYSTEMTIME before_, after_;
  static std::wstring filledYear_, filledMonth_, filledDay_;
};

Program* ProgramWindow::program_ = nullptr;
HWND ProgramWindow::top_ = nullptr;
std::vector<HWND> ProgramWindow::controls_;
SYSTEMTIME ProgramWindow::before_ = {};
SYSTEMTIME ProgramWindow::after_ = {};
std::wstring ProgramWindow::filledYear_;
std::wstring ProgramWindow::filledMonth_;
std::wstring ProgramWindow::filledDay_;

TEST_F(ProgramWindow, HasItsEighteenControlsInCreationOrder) {
  struct Expected {
    const wchar_t* className;
    const wchar_t* text;  // nullptr: not checked (fields, boxes, pictures)
  };
  const Expected expected[kControlCount] = {
      {L"RichEdit20W", nullptr},  // year
      {L"RichEdit20W", nullptr},  // days after
      {L"RichEdit20W", nullptr},  // date after
      {L"Static", L"days after="},
      {L"Static", L"valid period: 1970-01-01 <--> 2038-01-19"},
      {L"Static", L"Day"},
      {L"Static", L"Month"},
      {L"ComboBox", nullptr},  // day
      {L"Button", L"      push"},  // before
      {L"RichEdit20W", nullptr},  // days before
      {L"Static", L"days before="},
      {L"RichEdit20W", nullptr},  // date before
      {L"SysMonthCal32", nullptr},
      {L"Button", L"      push"},  // after
      {L"ComboBox", nullptr},  // month
      {L"Static", nullptr},    // banner picture
      {L"Static", nullptr},    // logo picture
      {L"Static", L"Year"},
  };
  ASSERT_EQ(controls_.size(), kControlCount);
  for (std::size_t i = 0; i < kControlCount; ++i) {
    SCOPED_TRACE("control " + std::to_string(i) + ", a " + Narrow(expected[i].className));
    EXPECT_EQ(_wcsicmp(ClassOf(controls_[i]).c_str(), expected[i].className), 0)
        << Narrow(ClassOf(controls_[i]));
    if (expected[i].text != nullptr) {
      EXPECT_EQ(TextOf(controls_[i]), expected[i].text);
    }
  }

  RECT client{};
  GetClientRect(top_, &client);
  EXPECT_EQ(client.right - client.left, 790);
  EXPECT_EQ(client.bottom - client.top, 400);
}

TEST_F(ProgramWindow, FillsInTodaysDateAtStart) {
  // Either side of midnight counts.
  bool matched = false;
  for (const SYSTEMTIME& day : {before_, after_}) {
    wchar_t year[8], month[4], date[4];
    std::swprintf(year, 8, L"%04u", day.wYear);
    std::swprintf(month, 4, L"%02u", day.wMonth);
    std::swprintf(date, 4, L"%02u", day.wDay);
    matched = matched || (filledYear_ == year && filledMonth_ == month && filledDay_ == date);
  }
  EXPECT_TRUE(matched) << "filled in " << Narrow(filledYear_) << " / " << Narrow(filledMonth_)
                       << " / " << Narrow(filledDay_) << ", today is " << after_.wYear << "-"
                       << after_.wMonth << "-" << after_.wDay;
}

enum class Push { After, Before };

struct Calculation {
  const wchar_t* year;
  const wchar_t* month;
  const wchar_t* day;
  Push push;
  const wchar_t* days;
  const wchar_t* expected;
};

std::ostream& operator<<(std::ostream& os, const Calculation& row) {
  return os << Narrow(row.year) << " / " << Narrow(row.month) << " / " << Narrow(row.day) << ", "
            << (row.push == Push::After ? "after" : "before") << " \"" << Narrow(row.days)
            << "\" -> " << Narrow(row.expected);
}

TEST_F(ProgramWindow, ShowsTheDateForTypedFieldsWhenAPushButtonIsClicked) {
  const Calculation rows[] = {
      {L"2019", L"03", L"22", Push::After, L"100", L"2019/06/30"},
      {L"2019", L"03", L"22", Push::Before, L"100", L"2018/12/12"},
      {L"1970", L"01", L"01", Push::After, L"24855", L"2038/01/19"},
      {L"2038", L"01", L"19", Push::Before, L"24855", L"1970/01/01"},
      // The zero date: past either end of the period, a day that does not
      // exist, a year that is not a number.
      {L"2038", L"01", L"19", Push::After, L"1", L"0000/00/00"},
      {L"1970", L"01", L"01", Push::Before, L"1", L"0000/00/00"},
      {L"2019", L"02", L"29", Push::After, L"0", L"0000/00/00"},
      {L"year", L"03", L"22", Push::Before, L"1", L"0000/00/00"},
  };
  ASSERT_TRUE(BringToFront(top_));
  const std::wstring untouched = L"-";
  for (const Calculation& row : rows) {
    SCOPED_TRACE(::testing::Message() << row);
    const bool after = row.push == Push::After;
    const HWND result = controls_[after ? kAfterResultField : kBeforeResultField];
    const HWND other = controls_[after ? kBeforeResultField : kAfterResultField];
    ASSERT_TRUE(SetTextOf(controls_[kYearField], row.year));
    ASSERT_TRUE(SetTextOf(controls_[kMonthBox], row.month));
    ASSERT_TRUE(SetTextOf(controls_[kDayBox], row.day));
    ASSERT_TRUE(SetTextOf(controls_[after ? kAfterDaysField : kBeforeDaysField], row.days));
    ASSERT_TRUE(SetTextOf(result, L""));
    ASSERT_TRUE(SetTextOf(other, untouched));

    ASSERT_TRUE(Click(controls_[after ? kAfterButton : kBeforeButton]));
    ASSERT_TRUE(WaitFor([&] { return !TextOf(result).empty(); })) << "no result shown";
    EXPECT_EQ(TextOf(result), row.expected);
    EXPECT_EQ(TextOf(other), untouched) << "the other push button's result changed";
  }
}

// --- Closing ---------------------------------------------------------------

struct CloseWay {
  const char* name;
  bool (*close)(HWND top);
};

void PrintTo(const CloseWay& way, std::ostream* os) { *os << way.name; }

class ProgramClose : public ::testing::TestWithParam<CloseWay> {};

TEST_P(ProgramClose, EndsTheProcessWithExitCodeZero) {
  Program program;
  ASSERT_TRUE(program.Start());
  const HWND top = program.WaitForWindow();
  ASSERT_NE(top, nullptr) << "no window";
  ASSERT_TRUE(WaitUntilFilledIn(top)) << "the window was never filled in";

  ASSERT_TRUE(GetParam().close(top));
  DWORD code = 1;
  ASSERT_TRUE(program.WaitForExit(code)) << "still running " << kTimeoutMs << " ms later";
  EXPECT_EQ(code, 0u);
}

const CloseWay kCloseWays[] = {
    {"WmClose",
     [](HWND top) { return PostMessageW(top, WM_CLOSE, 0, 0) != 0; }},
    {"AltF4",
     [](HWND top) { return BringToFront(top) && PressAltF4(); }},
    {"SystemMenuClose",
     [](HWND top) { return PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0) != 0; }},
    {"TitleBarCloseButton",
     [](HWND top) {
       POINT button{};
       return BringToFront(top) && FindCloseButton(top, button) &&
              SetCursorPos(button.x, button.y) && ClickHere();
     }},
};

INSTANTIATE_TEST_SUITE_P(Ways, ProgramClose, ::testing::ValuesIn(kCloseWays),
                         [](const ::testing::TestParamInfo<CloseWay>& info) {
                           return std::string(info.param.name);
                         });

// --- A window that cannot be created ---------------------------------------

// A CBT hook from refuse_window.dll, set on the program's main thread before
// it runs, makes its CreateWindowExW for the main window fail. The program
// then has nothing to wait for and must end by itself, with code 0.
TEST(ProgramStart, EndsWithExitCodeZeroWhenItsWindowCannotBeCreated) {
  HMODULE library = LoadLibraryW(g_refuseWindow.c_str());
  ASSERT_NE(library, nullptr) << "cannot load " << Narrow(g_refuseWindow);
  const auto refuse = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(library, "RefuseMainWindow")));
  ASSERT_NE(refuse, nullptr);

  Program program;
  ASSERT_TRUE(program.Start(CREATE_SUSPENDED));
  HHOOK hook = SetWindowsHookExW(WH_CBT, refuse, library, program.MainThread());
  ASSERT_NE(hook, nullptr) << "SetWindowsHookExW failed, error " << GetLastError();
  program.Resume();

  DWORD code = 1;
  const bool ended = program.WaitForExit(code, kStartTimeoutMs);
  UnhookWindowsHookEx(hook);
  FreeLibrary(library);
  ASSERT_TRUE(ended) << "still running: either the hook did not refuse the window, or the "
                        "program waits without one";
  EXPECT_EQ(code, 0u);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: program_tests PROGRAM.exe REFUSE_WINDOW.dll\n");
    return 2;
  }
  g_program = WindowsPath(argv[1]);
  g_refuseWindow = WindowsPath(argv[2]);
  return RUN_ALL_TESTS();
}
