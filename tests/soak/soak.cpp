// The soak: one run of the built program, used for a long time from another
// process, and its resources compared from start to end.
//
//   - presses alternating the two push buttons, the year, month, day and day
//     count changed before each one; every result is compared with the date
//     core's answer for the same texts;
//   - about boxes opened with a left click on the logo and closed with their
//     OK button;
//   - minimise/restore cycles of the window.
//
// The three kinds run interleaved, spread evenly over the run, after three
// warm-up rounds of each kind that runs at all (a count of 0 leaves a kind out,
// which is how a growth is narrowed down to one kind).
//
// Measured at start (after the warm-up), at every tenth of the run and at the
// end, each time after the program has handled everything sent to it:
//   GDI objects   the program's own count, asked with the registered message
//                 "KorvaneDaysAfter.LiveGdiObjects"; also GetGuiResources
//                 where it answers (it reads 0 under Wine);
//   USER objects  the windows of the process, counted from outside; also
//                 GetGuiResources where it answers;
//   private bytes PROCESS_MEMORY_COUNTERS_EX.PrivateUsage, or PagefileUsage
//                 where PrivateUsage reads 0 (Wine).
//
// Passes when every press shows the right date, the program answers and
// stays alive throughout and closes with exit code 0, the GDI and USER
// counts at the end equal those at the start, and private bytes grew by less
// than 1 MiB.
//
// Usage: soak PROGRAM.exe [--presses N] [--about-boxes N] [--minimise-cycles N]
//                         [--seed N]

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "core/day_offset.h"
#include "core/memory_window_texts.h"
#include "tests/driver/program_driver.h"
#include "ui/about_box.h"

namespace {

using korvane::driver::PressBy;
using korvane::driver::ProgramControl;
using korvane::driver::RunningProgram;
using korvane::driver::Utf8;
using korvane::driver::WaitFor;

constexpr DWORD kActionTimeoutMs = 10000;
constexpr SIZE_T kAllowedGrowth = 1 << 20;  // private bytes, start to end
constexpr int kSampleCount = 10;            // samples between start and end
constexpr int kQuietReadings = 5;           // memory readings per sample
constexpr int kWrongShown = 10;             // wrong results listed in full

struct Options {
  std::wstring program;
  long presses = 1000;
  long aboutBoxes = 10;
  long minimiseCycles = 20;
  unsigned seed = 20190322;
};

// --- What the program is asked ----------------------------------------------

struct PressInput {
  bool after;
  std::wstring year, month, day, count;
};

std::string Describe(const PressInput& in) {
  return std::string(in.after ? "after" : "before") + ": year \"" + Utf8(in.year) +
         "\" month \"" + Utf8(in.month) + "\" day \"" + Utf8(in.day) + "\" days \"" +
         Utf8(in.count) + "\"";
}

// Mostly ordinary dates and counts, with now and then a text a user might
// type instead: blanks, signs, "$" hexadecimal and "%" binary numbers,
// words, empty fields, out-of-range fields and numbers past 64 bits.
class InputMaker {
 public:
  explicit InputMaker(unsigned seed) : random_(seed) {}

  PressInput Next(bool after) {
    PressInput in{after, Year(), Month(), Day(), Count()};
    return in;
  }

 private:
  long Between(long low, long high) {
    return std::uniform_int_distribution<long>(low, high)(random_);
  }
  bool Odd() { return Between(0, 99) < 15; }
  template <std::size_t N>
  std::wstring OneOf(const wchar_t* const (&texts)[N]) {
    return texts[Between(0, static_cast<long>(N) - 1)];
  }
  std::wstring TwoDigits(long n) {
    wchar_t text[8];
    std::swprintf(text, 8, Between(0, 1) == 0 ? L"%02ld" : L"%ld", n);
    return text;
  }

  std::wstring Year() {
    static const wchar_t* const odd[] = {L"",     L"year",  L"$7CF",      L"%11111001111",
                                         L" 1999", L"+2001", L"1970x",     L"-1",
                                         L"0",    L"2038",  L"99999999999999999999"};
    return Odd() ? OneOf(odd) : std::to_wstring(Between(1965, 2045));
  }
  std::wstring Month() {
    static const wchar_t* const odd[] = {L"", L"0", L"13", L"$C", L" 7", L"month", L"%110"};
    return Odd() ? OneOf(odd) : TwoDigits(Between(1, 12));
  }
  std::wstring Day() {
    static const wchar_t* const odd[] = {L"", L"0", L"32", L"$1F", L"\t9", L"day", L"-3"};
    return Odd() ? OneOf(odd) : TwoDigits(Between(1, 31));
  }
  std::wstring Count() {
    static const wchar_t* const odd[] = {L"",     L"-5",   L"+12",  L"$100",
                                         L"%1010", L"abc", L" 42",  L"24855",
                                         L"-30",  L"18446744073709551616"};
    const long kind = Between(0, 99);
    if (kind < 15) return OneOf(odd);
    if (kind < 30) return std::to_wstring(Between(0, 100));
    return std::to_wstring(Between(0, 30000));
  }

  std::mt19937 random_;
};

// The date core's answer for the same texts.
std::wstring Expected(const PressInput& in) {
  auto u16 = [](const std::wstring& text) { return std::u16string(text.begin(), text.end()); };
  korvane::MemoryWindowTexts texts;
  texts.SetText(korvane::TextControl::YearField, u16(in.year));
  texts.SetText(korvane::TextControl::MonthBox, u16(in.month));
  texts.SetText(korvane::TextControl::DayBox, u16(in.day));
  if (in.after) {
    texts.SetText(korvane::TextControl::AfterDaysField, u16(in.count));
    korvane::CalculateDaysAfter(texts);
  } else {
    texts.SetText(korvane::TextControl::BeforeDaysField, u16(in.count));
    korvane::CalculateDaysBefore(texts);
  }
  const std::u16string shown = texts.GetText(in.after ? korvane::TextControl::AfterResultField
                                                      : korvane::TextControl::BeforeResultField);
  return std::wstring(shown.begin(), shown.end());
}

// --- What is measured --------------------------------------------------------

struct Sample {
  std::string when;
  long long gdi = -1;        // the program's own count; -1: no answer
  long long user = 0;        // windows of the process
  SIZE_T privateBytes = 0;   // the least of a few readings
  bool fromPagefile = false; // PrivateUsage read 0: PagefileUsage taken
  DWORD platformGdi = 0, platformUser = 0;  // GetGuiResources; 0 under Wine
};

// The windows of the process: its top-level windows and all their children.
long long CountWindows(DWORD processId) {
  struct Census {
    DWORD processId;
    long long count;
    void Take(HWND hwnd) {
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner == processId) ++count;
    }
  } census{processId, 0};
  EnumWindows(
      [](HWND top, LPARAM parameter) -> BOOL {
        reinterpret_cast<Census*>(parameter)->Take(top);
        EnumChildWindows(
            top,
            [](HWND child, LPARAM inner) -> BOOL {
              reinterpret_cast<Census*>(inner)->Take(child);
              return TRUE;
            },
            parameter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&census));
  return census.count;
}

// Measures once the program has handled everything sent to it so far: each
// memory reading follows a WM_NULL round trip, and the least of them counts,
// so that a passing allocation is not taken for growth.
Sample Measure(const RunningProgram& program, const std::string& when) {
  Sample s;
  s.when = when;
  static const UINT gdiMessage = RegisterWindowMessageW(L"KorvaneDaysAfter.LiveGdiObjects");
  for (int i = 0; i < kQuietReadings; ++i) {
    // Whatever waits to be painted, painted now (WM_PAINT comes last of all
    // messages, after any WM_NULL), then a round trip.
    RedrawWindow(program.Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    program.IsResponsive(kActionTimeoutMs);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(program.Process(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
      continue;
    }
    s.fromPagefile = counters.PrivateUsage == 0;
    const SIZE_T bytes = s.fromPagefile ? counters.PagefileUsage : counters.PrivateUsage;
    s.privateBytes = i == 0 ? bytes : std::min(s.privateBytes, bytes);
  }
  DWORD_PTR gdi = 0;
  if (SendMessageTimeoutW(program.Window(), gdiMessage, 0, 0, SMTO_ABORTIFHUNG, kActionTimeoutMs,
                          &gdi) != 0) {
    s.gdi = static_cast<long long>(static_cast<LONG_PTR>(gdi));
  }
  s.user = CountWindows(program.ProcessId());
  s.platformGdi = GetGuiResources(program.Process(), GR_GDIOBJECTS);
  s.platformUser = GetGuiResources(program.Process(), GR_USEROBJECTS);
  return s;
}

void PrintSample(const Sample& s) {
  std::printf("  %-22s GDI %5lld  USER %5lld  private %10llu bytes", s.when.c_str(), s.gdi, s.user,
              static_cast<unsigned long long>(s.privateBytes));
  if (s.platformGdi != 0 || s.platformUser != 0) {
    std::printf("  (GetGuiResources: GDI %lu, USER %lu)", s.platformGdi, s.platformUser);
  }
  std::printf("\n");
  std::fflush(stdout);
}

// --- What is done ------------------------------------------------------------

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

std::wstring TitleOf(HWND hwnd) {
  wchar_t title[128] = {};
  GetWindowTextW(hwnd, title, 128);
  return title;
}

// The program's visible about box, or null.
HWND FindAboutBox(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s.processId && IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770" &&
            TitleOf(hwnd) == korvane::AboutTitle) {
          s.found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The process's top-level windows, for a failure message: class, title and
// whether visible and enabled; and which window is in front.
std::string TopLevelWindows(DWORD processId) {
  struct Listing {
    DWORD processId;
    std::string text;
  } listing{processId, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM parameter) -> BOOL {
        auto& l = *reinterpret_cast<Listing*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != l.processId) return TRUE;
        char handle[32];
        std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(hwnd));
        l.text += std::string(l.text.empty() ? "" : "; ") + handle + " " + Utf8(ClassOf(hwnd)) +
                  " \"" + Utf8(TitleOf(hwnd)) + "\"" + (IsWindowVisible(hwnd) ? "" : " hidden") +
                  (IsWindowEnabled(hwnd) ? "" : " disabled");
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&listing));
  POINT cursor{};
  GetCursorPos(&cursor);
  char front[160];
  std::snprintf(front, sizeof front, "%p; mouse pointer at %ld,%ld over %p",
                static_cast<void*>(GetForegroundWindow()), cursor.x, cursor.y,
                static_cast<void*>(WindowFromPoint(cursor)));
  return "the program's windows: " + listing.text + "; in front: " + front;
}

// A left click on the logo, posted to it, opens the about box; its OK button
// closes it. Posted rather than real input: under Wine on Xvfb the pointer
// events that follow a closed box can put the pointer back where the last
// click was just before the next real click, which then lands there (a
// double click, or a click beside the logo). Empty when all went as it
// should, else what did not.
std::string OpenAndCloseAboutBox(const RunningProgram& program) {
  const HWND main = program.Window();
  const HWND logo = program.Control(ProgramControl::LogoImage);
  RECT place{};
  GetClientRect(logo, &place);
  const LPARAM middle = MAKELPARAM(place.right / 2, place.bottom / 2);
  if (!PostMessageW(logo, WM_LBUTTONDOWN, MK_LBUTTON, middle) ||
      !PostMessageW(logo, WM_LBUTTONUP, 0, middle)) {
    return "the click could not be posted to the logo";
  }
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindAboutBox(program.ProcessId())) != nullptr; },
               kActionTimeoutMs)) {
    return "no about box within " + std::to_string(kActionTimeoutMs) + " ms of a click; " +
           TopLevelWindows(program.ProcessId());
  }
  HWND ok = GetDlgItem(box, IDOK);
  if (ok == nullptr) return "the about box has no OK button";
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  if (!WaitFor([&] { return !IsWindow(box) && IsWindowEnabled(main); }, kActionTimeoutMs)) {
    return IsWindow(box) ? "the about box stayed open after OK"
                         : "the window stayed disabled after the about box closed";
  }
  return {};
}

std::string MinimiseAndRestore(const RunningProgram& program) {
  const HWND main = program.Window();
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  if (!WaitFor([&] { return IsIconic(main) != FALSE; }, kActionTimeoutMs)) {
    return "not minimised within " + std::to_string(kActionTimeoutMs) + " ms";
  }
  PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  if (!WaitFor([&] { return IsIconic(main) == FALSE; }, kActionTimeoutMs)) {
    return "not restored within " + std::to_string(kActionTimeoutMs) + " ms";
  }
  return {};
}

class Soak {
 public:
  Soak(unsigned seed, RunningProgram& program) : program_(program), inputs_(seed) {}

  // Empty when the program kept answering and every action completed.
  std::string Press() {
    const PressInput in = inputs_.Next(pressed_ % 2 == 0);
    ++pressed_;
    const ProgramControl countField =
        in.after ? ProgramControl::AfterDaysField : ProgramControl::BeforeDaysField;
    if (!program_.SetText(ProgramControl::YearField, in.year) ||
        !program_.SetText(ProgramControl::MonthBox, in.month) ||
        !program_.SetText(ProgramControl::DayBox, in.day) ||
        !program_.SetText(countField, in.count)) {
      return "press " + std::to_string(pressed_) + " (" + Describe(in) +
             "): the texts could not be written";
    }
    const auto result = program_.Press(
        in.after ? ProgramControl::AfterButton : ProgramControl::BeforeButton, kActionTimeoutMs,
        PressBy::Message);
    if (!result.answered) {
      return "press " + std::to_string(pressed_) + " (" + Describe(in) + "): no result within " +
             std::to_string(kActionTimeoutMs) + " ms, the field shows \"" + Utf8(result.text) +
             "\"";
    }
    pressTimes_.push_back(result.milliseconds);
    const std::wstring expected = Expected(in);
    if (result.text != expected) {
      ++wrong_;
      if (wrong_ <= kWrongShown) {
        wrongShown_.push_back("press " + std::to_string(pressed_) + " (" + Describe(in) +
                              "): shows \"" + Utf8(result.text) + "\", expected \"" +
                              Utf8(expected) + "\"");
      }
    }
    return {};
  }

  std::string AboutBox() {
    ++aboutBoxes_;
    const std::string failure = OpenAndCloseAboutBox(program_);
    return failure.empty() ? failure
                           : "about box " + std::to_string(aboutBoxes_) + ": " + failure;
  }

  std::string Cycle() {
    ++cycles_;
    const std::string failure = MinimiseAndRestore(program_);
    return failure.empty() ? failure
                           : "minimise/restore " + std::to_string(cycles_) + ": " + failure;
  }

  long pressed() const { return pressed_; }
  long aboutBoxes() const { return aboutBoxes_; }
  long cycles() const { return cycles_; }
  long wrong() const { return wrong_; }
  const std::vector<std::string>& wrongShown() const { return wrongShown_; }
  std::vector<double>& pressTimes() { return pressTimes_; }

 private:
  RunningProgram& program_;
  InputMaker inputs_;
  long pressed_ = 0, aboutBoxes_ = 0, cycles_ = 0, wrong_ = 0;
  std::vector<std::string> wrongShown_;
  std::vector<double> pressTimes_;
};

// Whether the kind with this count runs at step i of steps, spread evenly.
bool Due(long count, long i, long steps) {
  return (i + 1) * count / steps > i * count / steps;
}

std::string Figures(const std::vector<Sample>& samples, long long Sample::*field) {
  long long peak = samples.front().*field;
  for (const Sample& s : samples) peak = std::max(peak, s.*field);
  char text[96];
  std::snprintf(text, sizeof text, "%10lld %10lld %10lld", samples.front().*field, peak,
                samples.back().*field);
  return text;
}

int Run(const Options& options) {
  std::printf("soak: %ld presses, %ld about boxes, %ld minimise/restore cycles, seed %u\n",
              options.presses, options.aboutBoxes, options.minimiseCycles, options.seed);
  std::fflush(stdout);
  const auto started = std::chrono::steady_clock::now();

  std::string why;
  std::unique_ptr<RunningProgram> program = RunningProgram::Start(options.program, &why);
  if (program == nullptr) {
    std::printf("soak: FAILED: the program did not start: %s\n", why.c_str());
    return 1;
  }
  Soak soak(options.seed, *program);
  std::vector<std::string> failures;
  std::string broken;  // the action after which the run could not go on

  // Three warm-up rounds of each kind that runs: first-time allocations
  // (fonts drawn, the about box's class and its Japanese face, the
  // calendar's repaint) come before the first measurement. In a new Wine
  // prefix one round was not enough: the first reading came out 1.2 MiB low.
  for (int round = 0; round < 3; ++round) {
    if (options.presses > 2 * round && broken.empty()) broken = soak.Press();
    if (options.presses > 2 * round + 1 && broken.empty()) broken = soak.Press();
    if (options.aboutBoxes > round && broken.empty()) broken = soak.AboutBox();
    if (options.minimiseCycles > round && broken.empty()) broken = soak.Cycle();
  }
  const long warmPresses = soak.pressed(), warmBoxes = soak.aboutBoxes(),
             warmCycles = soak.cycles();

  std::vector<Sample> samples;
  if (broken.empty()) {
    samples.push_back(Measure(*program, "start (after warm-up)"));
    PrintSample(samples.back());
  }

  const long steps = std::max({options.presses, options.aboutBoxes, options.minimiseCycles, 1L});
  long nextSample = 1;
  for (long i = 0; i < steps && broken.empty(); ++i) {
    if (Due(options.presses, i, steps)) broken = soak.Press();
    if (broken.empty() && Due(options.aboutBoxes, i, steps)) broken = soak.AboutBox();
    if (broken.empty() && Due(options.minimiseCycles, i, steps)) broken = soak.Cycle();
    if (broken.empty() && i + 1 < steps && (i + 1) * kSampleCount / steps >= nextSample) {
      ++nextSample;
      if (!program->IsResponsive(kActionTimeoutMs)) {
        broken = "the program stopped answering after step " + std::to_string(i + 1);
        break;
      }
      samples.push_back(Measure(*program, std::to_string((i + 1) * 100 / steps) + " %"));
      PrintSample(samples.back());
    }
  }
  if (broken.empty()) {
    if (!program->IsResponsive(kActionTimeoutMs)) {
      broken = "the program stopped answering at the end";
    } else {
      samples.push_back(Measure(*program, "end"));
      PrintSample(samples.back());
    }
  }
  if (!broken.empty()) {
    failures.push_back(broken + (program->IsRunning() ? "" : " (the program has ended)"));
  }

  DWORD exitCode = 0;
  const bool wasRunning = program->IsRunning();
  if (!program->Close(kActionTimeoutMs, &exitCode)) {
    failures.push_back("the program did not close within " + std::to_string(kActionTimeoutMs) +
                       " ms of WM_CLOSE");
  } else if (wasRunning && exitCode != 0) {
    failures.push_back("the program closed with exit code " + std::to_string(exitCode));
  } else if (!wasRunning) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", exitCode);
    failures.push_back(std::string("the program ended by itself with exit code ") + code);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  // The figures.
  const long done = soak.pressed() - warmPresses;
  std::printf("\nsoak: %ld presses, %ld about boxes, %ld minimise/restore cycles after a warm-up "
              "of %ld, %ld, %ld; %.1f s\n",
              done, soak.aboutBoxes() - warmBoxes, soak.cycles() - warmCycles, warmPresses,
              warmBoxes, warmCycles, seconds);
  std::vector<double>& times = soak.pressTimes();
  if (!times.empty()) {
    std::sort(times.begin(), times.end());
    std::printf("press, click to result: median %.2f ms, 99th percentile %.2f ms, slowest %.2f ms\n",
                times[times.size() / 2], times[times.size() * 99 / 100], times.back());
  }
  if (samples.size() >= 2) {
    std::vector<long long> memory;
    for (const Sample& s : samples) memory.push_back(static_cast<long long>(s.privateBytes));
    const long long first = memory.front(), last = memory.back(),
                    peak = *std::max_element(memory.begin(), memory.end());
    std::printf("                       first       peak       last\n");
    std::printf("GDI objects      %s   (the program's own count)\n",
                Figures(samples, &Sample::gdi).c_str());
    std::printf("USER objects     %s   (windows of the process)\n",
                Figures(samples, &Sample::user).c_str());
    std::printf("private bytes    %10lld %10lld %10lld   (%+lld bytes; %s)\n", first, peak, last,
                last - first,
                samples.front().fromPagefile ? "PagefileUsage: PrivateUsage reads 0 here"
                                             : "PrivateUsage");
    if (samples.front().platformGdi != 0 || samples.front().platformUser != 0) {
      std::printf("GetGuiResources  GDI %lu -> %lu, USER %lu -> %lu\n", samples.front().platformGdi,
                  samples.back().platformGdi, samples.front().platformUser,
                  samples.back().platformUser);
    }

    const Sample& a = samples.front();
    const Sample& b = samples.back();
    if (a.gdi < 0 || b.gdi < 0) {
      failures.push_back("the program did not answer its GDI object count");
    } else if (a.gdi != b.gdi) {
      failures.push_back("GDI objects " + std::to_string(a.gdi) + " at start, " +
                         std::to_string(b.gdi) + " at the end");
    }
    if (a.user != b.user) {
      failures.push_back("USER objects (windows) " + std::to_string(a.user) + " at start, " +
                         std::to_string(b.user) + " at the end");
    }
    if (a.platformGdi != 0 && a.platformGdi != b.platformGdi) {
      failures.push_back("GetGuiResources GDI " + std::to_string(a.platformGdi) + " at start, " +
                         std::to_string(b.platformGdi) + " at the end");
    }
    if (a.platformUser != 0 && a.platformUser != b.platformUser) {
      failures.push_back("GetGuiResources USER " + std::to_string(a.platformUser) +
                         " at start, " + std::to_string(b.platformUser) + " at the end");
    }
    if (first == 0) {
      failures.push_back("the process's private bytes could not be read");
    } else if (last - first >= static_cast<long long>(kAllowedGrowth)) {
      failures.push_back("private bytes grew by " + std::to_string(last - first) + " (" +
                         std::to_string(first) + " -> " + std::to_string(last) +
                         "), 1 MiB allowed");
    }
  }
  std::printf("wrong results: %ld of %ld\n", soak.wrong(), soak.pressed());
  for (const std::string& line : soak.wrongShown()) std::printf("  %s\n", line.c_str());
  if (soak.wrong() > kWrongShown) std::printf("  ... and %ld more\n", soak.wrong() - kWrongShown);
  if (soak.wrong() != 0) {
    failures.push_back(std::to_string(soak.wrong()) + " wrong results (listed above)");
  }
  std::printf("exit code: %lu\n", exitCode);

  if (failures.empty()) {
    std::printf("soak: passed\n");
    return 0;
  }
  for (const std::string& failure : failures) std::printf("soak: FAILED: %s\n", failure.c_str());
  return 1;
}

bool ReadCount(const wchar_t* text, long& out) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text, &end, 10);
  if (end == text || *end != L'\0' || value < 0) return false;
  out = value;
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  bool good = argc >= 2 && argv[1][0] != L'-';
  if (good) options.program = argv[1];
  for (int i = 2; good && i < argc; i += 2) {
    const std::wstring name = argv[i];
    long value = 0;
    if (i + 1 >= argc || !ReadCount(argv[i + 1], value)) {
      good = false;
    } else if (name == L"--presses") {
      options.presses = value;
    } else if (name == L"--about-boxes") {
      options.aboutBoxes = value;
    } else if (name == L"--minimise-cycles") {
      options.minimiseCycles = value;
    } else if (name == L"--seed") {
      options.seed = static_cast<unsigned>(value);
    } else {
      good = false;
    }
  }
  if (!good) {
    std::fprintf(stderr,
                 "usage: soak PROGRAM.exe [--presses N] [--about-boxes N] "
                 "[--minimise-cycles N] [--seed N]\n");
    return 2;
  }
  return Run(options);
}
