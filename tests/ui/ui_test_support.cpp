#include "tests/ui/ui_test_support.h"

#include <sstream>

#include "ui/keyboard.h"
#include "ui/program.h"

namespace korvane::uitest {

namespace {

using Clock = std::chrono::steady_clock;

// The marker that SendAndSettle puts after the input: a key nothing uses.
constexpr WORD MarkerKey = VK_F24;
bool markerSeen = false;

// The program's shortcut step, with the marker key taken out first.
bool TestShortcutStep(MSG& message) {
  if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP) &&
      message.wParam == MarkerKey) {
    if (message.message == WM_KEYUP) markerSeen = true;
    return true;
  }
  return OfferToShortcuts(message);
}

std::vector<Creation>* recording = nullptr;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && recording != nullptr) {
    const CREATESTRUCTW& cs = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    Creation c{reinterpret_cast<HWND>(wParam), cs.hwndParent, ClassOf(reinterpret_cast<HWND>(wParam)),
               L"", static_cast<DWORD>(cs.style), cs.dwExStyle, cs.x, cs.y, cs.cx, cs.cy};
    if (cs.lpszName != nullptr && !IS_INTRESOURCE(cs.lpszName)) c.text = cs.lpszName;
    recording->push_back(c);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    StartToolkit();
    fonts_ = CreateFonts(TheToolkit().dpi);
  }
  void TearDown() override {
    ReleaseFonts(fonts_);
    StopToolkit();
  }
  static Fonts fonts_;
};

Fonts ToolkitEnvironment::fonts_;

// Registered before main runs, like every test of this program.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

TestMode& Mode() {
  static TestMode mode;
  return mode;
}

const Fonts& TestFonts() { return ToolkitEnvironment::fonts_; }

const char* KindName(EventKind kind) {
  switch (kind) {
    case EventKind::None: return "None";
    case EventKind::ControlEvent: return "ControlEvent";
    case EventKind::CloseRequest: return "CloseRequest";
    case EventKind::SizeEvent: return "SizeEvent";
    case EventKind::Activated: return "Activated";
    case EventKind::Deactivated: return "Deactivated";
    case EventKind::Minimized: return "Minimized";
    case EventKind::Restored: return "Restored";
    case EventKind::Moved: return "Moved";
    case EventKind::BackgroundErased: return "BackgroundErased";
    case EventKind::Clicked: return "Clicked";
    case EventKind::RightClicked: return "RightClicked";
    case EventKind::DoubleClicked: return "DoubleClicked";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& os, const SeenEvent& event) {
  os << KindName(event.kind);
  if (event.kind == EventKind::ControlEvent) {
    os << "(source " << event.source << ", report 0x" << std::hex << event.report << std::dec << ")";
  }
  return os;
}

std::string Describe(const std::vector<SeenEvent>& events) {
  std::ostringstream out;
  for (const SeenEvent& event : events) out << event << " ";
  return out.str();
}

std::string Narrow(std::wstring_view text) {
  return Readable(std::u16string(text.begin(), text.end()));
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

RECT PlaceInParent(HWND hwnd) {
  RECT place{};
  GetWindowRect(hwnd, &place);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

std::vector<INPUT> LeftClickAt(POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT move = {};
  move.type = INPUT_MOUSE;
  // Absolute positions run from 0 to 65535 over the screen; aim at the
  // middle of the pixel.
  move.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
  move.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT down = {};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  INPUT up = down;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return {move, down, up};
}

Control& ControlOf(MainWindow& main, TextControl control) {
  switch (control) {
    case TextControl::YearField: return *main.yearField;
    case TextControl::MonthBox: return *main.monthBox;
    case TextControl::DayBox: return *main.dayBox;
    case TextControl::AfterDaysField: return *main.afterDaysField;
    case TextControl::AfterResultField: return *main.afterResultField;
    case TextControl::BeforeDaysField: return *main.beforeDaysField;
    case TextControl::BeforeResultField: break;
  }
  return *main.beforeResultField;
}

void MainWindowTest::SetUp() {
  TheToolkit().queue = EventQueue();
  SetShortcutStep(&TestShortcutStep);
  recording = &created;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &RecordCreation, nullptr, GetCurrentThreadId());
  main_ = BuildMainWindow(40, 40, 790, 400, TestFonts(), nullptr, nullptr);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  recording = nullptr;
  ASSERT_NE(main_, nullptr) << "BuildMainWindow failed";
  ASSERT_NE(hook, nullptr) << "no CBT hook";
  if (PrefillAtStart()) PrefillFromCalendar(main_->texts);
  // A thread timer wakes WaitEvent's GetMessageW now and then, so that a
  // condition that no message brings about is still seen in time.
  heartbeat_ = SetTimer(nullptr, 0, 15, nullptr);
}

void MainWindowTest::TearDown() {
  // A failed test may have left a key down; let none reach the next test.
  std::vector<INPUT> release;
  for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    if (GetAsyncKeyState(key) < 0) release.push_back(Key(key, true));
  }
  if (!release.empty()) {
    SendInput(static_cast<UINT>(release.size()), release.data(), sizeof(INPUT));
  }
  if (heartbeat_ != 0) KillTimer(nullptr, heartbeat_);
  heartbeat_ = 0;
  main_.reset();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  TheToolkit().queue = EventQueue();
}

bool MainWindowTest::RunLoopUntil(const std::function<bool()>& done,
                                  std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    const EventKind kind = WaitEvent();
    if (kind == EventKind::None) continue;
    events.push_back({kind, EventSource(), TheToolkit().current.window, EventReport()});
    if (!HandleEvent(*main_, kind)) closeRequested = true;
  }
  return true;
}

bool MainWindowTest::RunLoopUntilIdle() {
  return RunLoopUntil([] {
    MSG message;
    return TheToolkit().queue.Size() == 0 &&
           !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  });
}

bool MainWindowTest::BringToFront() {
  HWND main = MainHandle();
  SetForegroundWindow(main);
  return RunLoopUntil([main] {
    return GetForegroundWindow() == main && GetActiveWindow() == main;
  });
}

bool MainWindowTest::SendAndSettle(std::vector<INPUT> input) {
  input.push_back(Key(MarkerKey, false));
  input.push_back(Key(MarkerKey, true));
  markerSeen = false;
  if (!Send(std::move(input))) return false;
  return RunLoopUntil([] { return markerSeen; });
}

bool MainWindowTest::Send(std::vector<INPUT> input) {
  const UINT count = static_cast<UINT>(input.size());
  return SendInput(count, input.data(), sizeof(INPUT)) == count;
}

bool MainWindowTest::PressKeys(std::initializer_list<WORD> chord) {
  std::vector<INPUT> input;
  for (WORD key : chord) input.push_back(Key(key, false));
  for (auto key = chord.end(); key != chord.begin();) input.push_back(Key(*--key, true));
  return SendAndSettle(input);
}

bool MainWindowTest::TypeKeys(std::string_view keys) {
  std::vector<INPUT> input;
  for (char c : keys) {
    // Virtual-key codes of digits and letters are their upper-case ASCII.
    const WORD key = static_cast<WORD>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    input.push_back(Key(key, false));
    input.push_back(Key(key, true));
  }
  return SendAndSettle(input);
}

bool MainWindowTest::ClickOn(HWND hwnd) {
  RECT place{};
  GetWindowRect(hwnd, &place);
  return SendAndSettle(LeftClickAt({(place.left + place.right) / 2, (place.top + place.bottom) / 2}));
}

void MainWindowTest::FillDate(std::u16string_view year, std::u16string_view month,
                              std::u16string_view day) {
  main_->texts.SetText(TextControl::YearField, year);
  main_->texts.SetText(TextControl::MonthBox, month);
  main_->texts.SetText(TextControl::DayBox, day);
}

}  // namespace korvane::uitest
