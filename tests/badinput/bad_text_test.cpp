// Bad text in every text field and drop-down box of the running program:
// huge texts, NUL characters, lone surrogates, right-to-left marks,
// full-width digits, tabs and line breaks in every position, pasted
// multi-line text. After each, both push buttons are pressed: the program
// must answer each press within 100 ms with the date its number reading
// gives for what the controls hold, stay responsive and never end.
//
// The expected dates are reckoned here from the texts the controls hold
// (read back after each input), with the reading rules written afresh:
// blanks (space, tab) skipped, one sign, "$" hexadecimal, "%" binary or
// decimal digits up to the first other character; digits that overflow 64
// bits make the zero date. The "before" button reads "-" + its field.
//
// Usage: bad_text_tests [gtest flags] PROGRAM.exe

#include "tests/driver/program_driver.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using korvane::driver::NameOf;
using korvane::driver::ProgramControl;
using korvane::driver::RunningProgram;
using korvane::driver::Utf8;

std::wstring g_program;

constexpr double kPressLimitMs = 100.0;
constexpr DWORD kFeedTimeoutMs = 180000;  // a megabyte into a Wine rich edit takes seconds
constexpr wchar_t kZeroDate[] = L"0000/00/00";

// --- The expected dates ------------------------------------------------------

struct Reading {
  std::int64_t value;
  bool overflowed;
};

int DigitOf(wchar_t c, int base) {
  int digit = -1;
  if (c >= L'0' && c <= L'9') digit = c - L'0';
  else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
  else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
  return digit >= 0 && digit < base ? digit : -1;
}

Reading ReadNumber(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int base = 10;
  if (i < text.size() && text[i] == L'$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == L'%') {
    base = 2;
    ++i;
  }
  // The magnitude in 128 bits is enough to tell: once past 2^64 it stays so.
  unsigned __int128 magnitude = 0;
  bool huge = false;
  for (; i < text.size() && DigitOf(text[i], base) >= 0; ++i) {
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(DigitOf(text[i], base));
    if (magnitude >> 64 != 0) {
      huge = true;
      magnitude &= ~static_cast<unsigned __int128>(0) >> 64;  // keep the low 64 bits
    }
  }
  const unsigned __int128 signedLimit = (static_cast<unsigned __int128>(1) << 63) - (negative ? 0 : 1);
  const bool overflowed = huge || (base == 10 && magnitude > signedLimit);
  const std::uint64_t low = static_cast<std::uint64_t>(magnitude);
  return {static_cast<std::int64_t>(negative ? 0 - low : low), overflowed};
}

bool IsLeap(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month) {
  static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : lengths[month - 1];
}

// Days since 1970-01-01 of a date from 1970 on.
std::int64_t DayNumber(std::int64_t year, std::int64_t month, std::int64_t day) {
  std::int64_t days = day - 1;
  for (std::int64_t y = 1970; y < year; ++y) days += IsLeap(y) ? 366 : 365;
  for (std::int64_t m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days;
}

std::wstring DateOfDayNumber(std::int64_t days) {
  std::int64_t year = 1970, month = 1;
  while (days >= (IsLeap(year) ? 366 : 365)) days -= IsLeap(year++) ? 366 : 365;
  while (days >= DaysInMonth(year, month)) days -= DaysInMonth(year, month++);
  wchar_t text[16];
  std::swprintf(text, 16, L"%04lld/%02lld/%02lld", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(days + 1));
  return text;
}

// The texts of the five controls the calculations read.
struct Inputs {
  std::wstring year, month, day, afterDays, beforeDays;
};

std::wstring ExpectedResult(const Inputs& in, bool after) {
  const Reading year = ReadNumber(in.year), month = ReadNumber(in.month),
                day = ReadNumber(in.day);
  const Reading days = ReadNumber(after ? in.afterDays : L"-" + in.beforeDays);
  if (year.overflowed || month.overflowed || day.overflowed || days.overflowed) return kZeroDate;
  if (year.value < 1970 || year.value > 2038 || month.value < 1 || month.value > 12 ||
      day.value < 1 || day.value > DaysInMonth(year.value, month.value)) {
    return kZeroDate;
  }
  const std::int64_t base = DayNumber(year.value, month.value, day.value);
  const std::int64_t last = DayNumber(2038, 1, 19);
  if (base > last || days.value < -base || days.value > last - base) return kZeroDate;
  return DateOfDayNumber(base + days.value);
}

TEST(BadTextReckoning, GivesTheDatesWorkedByHand) {
  struct Row {
    Inputs in;
    bool after;
    const wchar_t* expected;
  };
  const Row rows[] = {
      {{L"2019", L"03", L"22", L"10", L"10"}, true, L"2019/04/01"},
      {{L"2019", L"03", L"22", L"10", L"10"}, false, L"2019/03/12"},
      {{L"1970", L"1", L"1", L"24855", L""}, true, L"2038/01/19"},
      {{L"1970", L"1", L"1", L"24856", L""}, true, kZeroDate},
      {{L"2019", L"2", L"29", L"0", L"0"}, true, kZeroDate},
      {{L"2020", L"2", L"29", L"0", L"0"}, false, L"2020/02/29"},
      {{L"2019", L"03", L"22", L"", L"-30"}, false, L"2019/03/22"},
      {{L"2019", L"03", L"22", L"", L"\t30"}, false, L"2019/03/22"},
      {{L"2019", L"03", L"22", L"$FFFFFFFFFFFFFFFF", L""}, true, L"2019/03/21"},
      {{L"2019", L"03", L"22", L"", L"$FFFFFFFFFFFFFFFF"}, false, L"2019/03/23"},
      {{L"2019", L"03", L"22", L"18446744073709551615", L""}, true, kZeroDate},
      {{L"2019", L"03", L"22", L"%11110", L""}, true, L"2019/04/21"},
      {{L"$7E3", L" 3", L"22x", L"1e3", L""}, true, L"2019/03/23"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ExpectedResult(row.in, row.after), row.expected)
        << Utf8(row.in.year) << " / " << Utf8(row.in.month) << " / " << Utf8(row.in.day)
        << (row.after ? ", after " + Utf8(row.in.afterDays) : ", before " + Utf8(row.in.beforeDays));
  }
}

// --- The bad inputs ----------------------------------------------------------

enum class Feed {
  Write,      // WM_SETTEXT
  Paste,      // plain text on the clipboard, WM_PASTE
  PasteRich,  // RTF on the clipboard, WM_PASTE (text fields only)
};

struct BadInput {
  std::string kind;   // for the figures: "NUL", "tab", "1 MiB of digits", ...
  std::string label;  // the case, for messages
  ProgramControl target;
  Feed feed;
  std::wstring text;  // Write, Paste
  std::string rtf;    // PasteRich
};

const ProgramControl kFields[] = {ProgramControl::YearField, ProgramControl::AfterDaysField,
                                  ProgramControl::BeforeDaysField,
                                  ProgramControl::AfterResultField,
                                  ProgramControl::BeforeResultField};
const ProgramControl kBoxes[] = {ProgramControl::MonthBox, ProgramControl::DayBox};

bool IsBox(ProgramControl c) { return c == ProgramControl::MonthBox || c == ProgramControl::DayBox; }

// What each control holds before a bad input goes into one of them.
std::wstring UsualText(ProgramControl c) {
  switch (c) {
    case ProgramControl::YearField: return L"2019";
    case ProgramControl::MonthBox: return L"03";
    case ProgramControl::DayBox: return L"22";
    case ProgramControl::AfterDaysField: return L"10";
    case ProgramControl::BeforeDaysField: return L"10";
    default: return L"2019/04/01";  // a result field: some earlier result
  }
}

std::string Visible(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text.substr(0, 40)) {
    char code[12];
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      out += c == L'\t' ? "\\t" : c == L'\n' ? "\\n" : c == L'\r' ? "\\r" : code;
    }
  }
  if (text.size() > 40) out += "... (" + std::to_string(text.size()) + " characters)";
  return out;
}

// Lines of length characters (CRLF included) taken from the pattern, in
// all size characters.
std::wstring Lines(std::size_t size, std::size_t length, const std::wstring& pattern) {
  std::wstring text;
  text.reserve(size);
  std::size_t p = 0;
  while (text.size() < size) {
    if (length != 0 && text.size() % length >= length - 2) {
      text += L"\r\n";
    } else {
      text += pattern[p++ % pattern.size()];
    }
  }
  text.resize(size);
  return text;
}

constexpr std::size_t kMiB = 1 << 20;

// A megabyte pasted into each control, as a user can. The text fields take
// it in lines of 1 KiB: a Wine rich edit takes a single line in quadratic
// time (a 1 MiB line would hold the program for minutes; see
// docs/reliability.md), so a single line goes in at 64 KiB. The boxes take
// a single line and keep what their edit field's limit lets in.
// (WM_SETTEXT cannot carry a megabyte to another process under Wine.)
std::vector<BadInput> HugeInputs() {
  std::vector<BadInput> inputs;
  const std::wstring digits = L"9876543210";
  const std::wstring other = L"The quick brown fox jumps over the lazy dog; 0xFF, -- $g %2 ";
  for (ProgramControl c : kFields) {
    inputs.push_back({"1 MiB of digits", "1 MiB of digits in lines of 1 KiB", c, Feed::Paste,
                      Lines(kMiB, 1024, digits), ""});
    inputs.push_back({"1 MiB of other text", "1 MiB of other text in lines of 1 KiB", c,
                      Feed::Paste, Lines(kMiB, 1024, other), ""});
    inputs.push_back({"1 MiB of other text", "its number, then 1 MiB of other text", c,
                      Feed::Paste, UsualText(c) + L" " + Lines(kMiB, 1024, other), ""});
    inputs.push_back({"64 KiB on one line", "64 KiB of digits on one line", c, Feed::Paste,
                      Lines(64 * 1024, 0, digits), ""});
  }
  for (ProgramControl c : kBoxes) {
    inputs.push_back({"1 MiB of digits", "1 MiB of digits", c, Feed::Paste,
                      Lines(kMiB, 0, digits), ""});
    inputs.push_back({"1 MiB of other text", "1 MiB of other text", c, Feed::Paste,
                      Lines(kMiB, 0, other), ""});
    inputs.push_back({"1 MiB of other text", "its number, then 1 MiB of other text", c,
                      Feed::Paste, UsualText(c) + Lines(kMiB, 0, other), ""});
  }
  return inputs;
}

// The special text alone, before, inside (after the first character) and
// after the control's usual text.
std::vector<std::pair<std::string, std::wstring>> Positions(const std::wstring& usual,
                                                            const std::wstring& special) {
  return {{"alone", special},
          {"before", special + usual},
          {"inside", usual.substr(0, 1) + special + usual.substr(1)},
          {"after", usual + special}};
}

std::wstring FullWidth(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) {
    if (c >= L'0' && c <= L'9') c = static_cast<wchar_t>(0xFF10 + (c - L'0'));
  }
  return out;
}

std::string RtfOf(const std::wstring& ascii) {
  std::string out;
  for (wchar_t c : ascii) out += static_cast<char>(c);
  return out;
}

std::vector<BadInput> CharacterInputs() {
  struct Special {
    std::string kind;
    std::wstring text;
  };
  const Special specials[] = {
      {"tab", L"\t"},
      {"line break", L"\n"},
      {"line break", L"\r\n"},
      {"line break", L"\r"},
      {"right-to-left mark", L"\u200F"},
      {"lone surrogate", std::wstring(1, static_cast<wchar_t>(0xD800))},
      {"lone surrogate", std::wstring(1, static_cast<wchar_t>(0xDC00))},
      {"full-width digits", L"\uFF11"},
  };
  std::vector<BadInput> inputs;
  std::vector<ProgramControl> all(std::begin(kFields), std::end(kFields));
  all.insert(all.end(), std::begin(kBoxes), std::end(kBoxes));
  for (ProgramControl c : all) {
    const std::wstring usual = UsualText(c);
    for (const Special& s : specials) {
      for (const auto& [where, text] : Positions(usual, s.text)) {
        inputs.push_back({s.kind, Visible(s.text) + " " + where + " written", c, Feed::Write, text, ""});
        // Typed or pasted, the same text meets the control's own input path.
        if (s.kind == "tab" || s.kind == "line break") {
          inputs.push_back({s.kind, Visible(s.text) + " " + where + " pasted", c, Feed::Paste, text, ""});
        }
      }
    }
    inputs.push_back({"full-width digits", "all digits full-width", c, Feed::Write, FullWidth(usual), ""});

    // NUL: a plain paste ends at it; rich text brings it into a text field.
    std::wstring withNul = usual.substr(0, 1);
    withNul += L'\0';
    withNul += usual.substr(1);
    inputs.push_back({"NUL", "NUL inside, pasted as plain text", c, Feed::Paste, withNul, ""});
    if (!IsBox(c)) {
      const std::string u = RtfOf(usual);
      const std::pair<const char*, std::string> nuls[] = {
          {"NUL alone", "\\u0 "},
          {"NUL before", "\\u0 " + u},
          {"NUL inside", u.substr(0, 1) + "\\u0 " + u.substr(1)},
          {"NUL after", u + "\\u0 "},
          {"NULs around", "\\u0 \\u0 " + u + "\\u0 \\u0 "},
      };
      for (const auto& [label, body] : nuls) {
        inputs.push_back({"NUL", std::string(label) + ", pasted as rich text", c, Feed::PasteRich,
                          L"", "{\\rtf1\\ansi\\uc0 " + body + "}"});
      }
    }

    inputs.push_back({"pasted multi-line text", "year, month, day and days on four lines", c,
                      Feed::Paste, L"2019\r\n03\r\n22\r\n10\r\n", ""});
    inputs.push_back({"pasted multi-line text", "its number on the second line", c, Feed::Paste,
                      L"\r\n" + usual + L"\r\n", ""});
  }
  return inputs;
}

// --- The runs ------------------------------------------------------------

struct Figures {
  int cases = 0;
  double slowestPressMs = 0;
  std::string slowestPress;
  double slowestFeedMs = 0;
  std::string slowestFeed;
  int crashes = 0;
};

class BadText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Restart(); }

  static void TearDownTestSuite() {
    std::printf("\n%-24s %6s %14s %14s %8s\n", "input kind", "cases", "slowest press",
                "slowest input", "crashes");
    for (const auto& [kind, f] : figures_) {
      std::printf("%-24s %6d %11.1f ms %11.0f ms %8d\n", kind.c_str(), f.cases, f.slowestPressMs,
                  f.slowestFeedMs, f.crashes);
      std::printf("    slowest press: %s\n    slowest input: %s\n", f.slowestPress.c_str(),
                  f.slowestFeed.c_str());
    }
    delete program_;
    program_ = nullptr;
  }

  static void Restart() {
    delete program_;
    program_ = RunningProgram::Start(g_program, &why_).release();
  }

  void SetUp() override { ASSERT_NE(program_, nullptr) << why_; }

  // Puts the usual texts back in every control the calculations use.
  static bool WriteUsualTexts() {
    for (ProgramControl c :
         {ProgramControl::YearField, ProgramControl::MonthBox, ProgramControl::DayBox,
          ProgramControl::AfterDaysField, ProgramControl::BeforeDaysField,
          ProgramControl::AfterResultField, ProgramControl::BeforeResultField}) {
      if (!program_->SetText(c, UsualText(c), kFeedTimeoutMs)) return false;
    }
    return true;
  }

  static bool Give(const BadInput& input) {
    switch (input.feed) {
      case Feed::Write: return program_->SetText(input.target, input.text, kFeedTimeoutMs);
      case Feed::Paste: return program_->Paste(input.target, input.text, true, kFeedTimeoutMs);
      case Feed::PasteRich:
        return program_->PasteRichText(input.target, input.rtf, true, kFeedTimeoutMs);
    }
    return false;
  }

  // Gives the input, presses both buttons and checks what they show. A
  // press that writes over the input in a result field may take the
  // platform's own time for that (platformMs) on top of the limit.
  void Run(const BadInput& input, bool printEach, double platformMs = 0) {
    const std::string name = std::string(NameOf(input.target)) + ": " + input.label;
    SCOPED_TRACE(name);
    Figures& figures = figures_[input.kind];
    ++figures.cases;
    ASSERT_TRUE(WriteUsualTexts()) << "the usual texts could not be written back";

    const ULONGLONG fed = GetTickCount64();
    ASSERT_TRUE(Give(input)) << "the input could not be given";
    const double feedMs = static_cast<double>(GetTickCount64() - fed);
    if (feedMs > figures.slowestFeedMs) {
      figures.slowestFeedMs = feedMs;
      figures.slowestFeed = name;
    }
    EXPECT_TRUE(program_->IsResponsive(1000)) << "not answering after the input";

    const Inputs held{program_->Text(ProgramControl::YearField),
                      program_->Text(ProgramControl::MonthBox),
                      program_->Text(ProgramControl::DayBox),
                      program_->Text(ProgramControl::AfterDaysField),
                      program_->Text(ProgramControl::BeforeDaysField)};
    const std::size_t holds = program_->Text(input.target).size();
    std::string line = name + ": holds " + std::to_string(holds) + " characters, input took " +
                       std::to_string(static_cast<long long>(feedMs)) + " ms";
    for (ProgramControl button : {ProgramControl::AfterButton, ProgramControl::BeforeButton}) {
      const bool after = button == ProgramControl::AfterButton;
      const std::wstring expected = ExpectedResult(held, after);
      // A result field that holds the bad input keeps it until the program
      // writes over it; else a sentinel shows when the answer comes.
      const ProgramControl result = RunningProgram::ResultFieldOf(button);
      const bool keep = input.target == result && program_->Text(result) != expected;
      const RunningProgram::PressResult press = program_->Press(button, 10000,
          korvane::driver::PressBy::Message, !keep);
      ASSERT_TRUE(press.answered) << (after ? "after" : "before") << " press not answered; "
                                  << (program_->IsRunning() ? "the program runs" : "the program ended");
      EXPECT_EQ(press.text, expected)
          << (after ? "after" : "before") << " press; the controls hold year \""
          << Visible(held.year) << "\" month \"" << Visible(held.month) << "\" day \""
          << Visible(held.day) << "\" days \"" << Visible(after ? held.afterDays : held.beforeDays)
          << "\"";
      // Twice the platform's time: measured once, in another process, on a
      // shared machine, it varies by a third from one run to the next.
      const double limitMs = kPressLimitMs + (keep ? 2 * platformMs : 0);
      EXPECT_LE(press.milliseconds, limitMs)
          << (after ? "after" : "before") << " press; the platform itself takes " << platformMs
          << " ms to write a date over this text";
      if (press.milliseconds > figures.slowestPressMs) {
        figures.slowestPressMs = press.milliseconds;
        figures.slowestPress = name + (after ? " (after)" : " (before)");
      }
      char timing[64];
      std::snprintf(timing, sizeof timing, ", %s press %.1f ms", after ? "after" : "before",
                    press.milliseconds);
      line += timing;
    }
    EXPECT_TRUE(program_->IsResponsive(1000)) << "not answering after the presses";
    if (printEach) std::printf("  %s\n", line.c_str());
  }

  // Checks the program is still there after a case; starts it again if not.
  void Survived(const BadInput& input) {
    if (program_ != nullptr && program_->IsRunning()) return;
    ADD_FAILURE() << "the program ended after " << NameOf(input.target) << ": " << input.label;
    ++figures_[input.kind].crashes;
    Restart();
  }

  static RunningProgram* program_;
  static std::string why_;
  static std::map<std::string, Figures> figures_;
};

RunningProgram* BadText::program_ = nullptr;
std::string BadText::why_;
std::map<std::string, Figures> BadText::figures_;

TEST_F(BadText, CharactersInEveryPositionOfEveryControl) {
  for (const BadInput& input : CharacterInputs()) {
    Run(input, false);
    Survived(input);
    ASSERT_NE(program_, nullptr) << why_;
  }
}

bool IsResultField(ProgramControl c) {
  return c == ProgramControl::AfterResultField || c == ProgramControl::BeforeResultField;
}

TEST_F(BadText, AMegabyteInEveryFieldAndBoxThatIsRead) {
  for (const BadInput& input : HugeInputs()) {
    if (IsResultField(input.target)) continue;
    Run(input, true);
    Survived(input);
    ASSERT_NE(program_, nullptr) << why_;
  }
}

// How long the platform itself takes to write a date over the text: a bare
// rich edit with the program's field styles in this process, timed around
// the one WM_SETTEXT. Under Wine removing a megabyte of words takes seconds
// (see docs/reliability.md); on Windows this is a few milliseconds.
double PlatformWriteOverMs(const std::wstring& text) {
  LoadLibraryW(L"RICHED20.DLL");
  HWND field = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"",
                               WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                   ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                               0, 0, 160, 35, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (field == nullptr) return 0;
  SendMessageW(field, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2019/04/01"));
  QueryPerformanceCounter(&end);
  DestroyWindow(field);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// The press writes its date over the megabyte: the program may take the
// platform's own time for that (with room for its variation), and no more
// than 100 ms besides.
TEST_F(BadText, AMegabyteInAResultFieldIsWrittenOver) {
  for (const BadInput& input : HugeInputs()) {
    if (!IsResultField(input.target)) continue;
    const double platformMs = PlatformWriteOverMs(input.text);
    std::printf("  the platform writes a date over %s in %.1f ms\n", input.label.c_str(),
                platformMs);
    Run(input, true, platformMs);
    Survived(input);
    ASSERT_NE(program_, nullptr) << why_;
  }
}

TEST_F(BadText, ClosesWithExitCodeZeroAfterAllThat) {
  ASSERT_TRUE(WriteUsualTexts());
  DWORD code = 1;
  ASSERT_TRUE(program_->Close(10000, &code)) << "still running 10 s after WM_CLOSE";
  EXPECT_EQ(code, 0u);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bad_text_tests [gtest flags] PROGRAM.exe\n");
    return 2;
  }
  g_program = argv[1];
  return RUN_ALL_TESTS();
}
