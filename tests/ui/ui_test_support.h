// What the window tests share: the run's mode (visual styles, dpi), the
// toolkit started once per process, a fresh MainWindow for every test, the
// program's own loop run until a condition holds (never longer than a
// time-out), and real input through SendInput.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/core/u16_print.h"
#include "ui/main_window.h"

namespace korvane::uitest {

// Chosen on the command line; see ui_test_main.cpp.
struct TestMode {
  bool themed = false;  // --themed: visual styles decided on
  int logPixels = 0;    // --logpixels=N: the display dpi this run asked for
};
TestMode& Mode();

// The toolkit's dpi (what the display reports) and the window's three fonts
// made at it, once per process.
const Fonts& TestFonts();

inline constexpr std::chrono::milliseconds Timeout{5000};

// An event as the loop handed it out.
struct SeenEvent {
  EventKind kind;
  Identity source;
  Identity window;
  std::int64_t report;
};
const char* KindName(EventKind kind);
std::ostream& operator<<(std::ostream& os, const SeenEvent& event);
std::string Describe(const std::vector<SeenEvent>& events);

// A window's creation as a CBT hook saw it: the arguments of CreateWindowEx.
struct Creation {
  HWND hwnd;
  HWND parent;
  std::wstring className;
  std::wstring text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
};

std::string Narrow(std::wstring_view text);
std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// The window's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND hwnd);

// Keyboard input: one key going down or up.
INPUT Key(WORD virtualKey, bool up);
// A left click at a point of the screen.
std::vector<INPUT> LeftClickAt(POINT screen);

// Builds MainWindow as the program does (BuildMainWindow at 40,40 with a
// 790x400 client area, then PrefillFromCalendar) with the program's
// shortcut step installed, and destroys it after the test.
class MainWindowTest : public ::testing::Test {
 protected:
  // False for tests that look at the window as BuildMainWindow leaves it.
  virtual bool PrefillAtStart() const { return true; }
  void SetUp() override;
  void TearDown() override;

  MainWindow& Main() { return *main_; }
  HWND MainHandle() const { return main_->window->Handle(); }

  // Turns of the program's loop (WaitEvent, and HandleEvent for each event,
  // which is first recorded in `events`) until done() holds: false when the
  // time-out comes first. HandleEvent's false sets closeRequested and the
  // loop goes on, as the test may want to see more.
  bool RunLoopUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = Timeout);
  // Until no message waits and the event queue is empty.
  bool RunLoopUntilIdle();
  // Until MainWindow is the foreground and active window.
  bool BringToFront();

  // Sends the input with SendInput, then a marker key, and runs the loop
  // until the marker has been retrieved: all the input before it has been
  // dispatched by then, and every message it posted too.
  bool SendAndSettle(std::vector<INPUT> input);
  // Sends the input with SendInput and returns at once.
  static bool Send(std::vector<INPUT> input);
  // Presses the keys in order and releases them in reverse.
  bool PressKeys(std::initializer_list<WORD> chord);
  // Types digits and lower-case letters, each a key press.
  bool TypeKeys(std::string_view keys);
  // Clicks the middle of the window with the left mouse button.
  bool ClickOn(HWND hwnd);

  // Writes the base date into YearField, MonthBox and DayBox.
  void FillDate(std::u16string_view year, std::u16string_view month,
                std::u16string_view day);

  std::unique_ptr<MainWindow> main_;
  std::vector<SeenEvent> events;    // handled by RunLoopUntil, oldest first
  std::vector<Creation> created;    // every window made by BuildMainWindow
  bool closeRequested = false;

 private:
  UINT_PTR heartbeat_ = 0;
};

// The MainWindow control of a TextControl.
Control& ControlOf(MainWindow& main, TextControl control);

}  // namespace korvane::uitest
