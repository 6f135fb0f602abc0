// Runs a file of calculations through the built program's window and writes
// what the program showed. tests/oracle/oracle.py writes the cases and
// compares the results with its own reckoning.
//
// Usage: oracle_driver PROGRAM.exe CASES.txt RESULTS.txt
//
// CASES.txt, UTF-8, one case a line, fields separated by tabs:
//   id  A|B  year  month  day  days
// A presses the "after" button with the days in its field, B the "before"
// button. In each text \\ \n \r \t and \uXXXX stand for the character.
//
// RESULTS.txt, one line a case, in the same order and with the same escapes:
//   id  answered(1|0)  result  milliseconds  year  month  day  days
// where the last four are the texts read back from the controls after the
// press, and milliseconds is the time from the click to the result seen.
// When the program ends or stops answering, the case says so in its result
// and the program is started again for the cases after it.

#include "tests/driver/program_driver.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using korvane::driver::ProgramControl;
using korvane::driver::RunningProgram;

constexpr DWORD PressTimeoutMs = 5000;

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
  return out;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The text a field of the case file stands for; false on a bad escape.
bool Unescape(const std::wstring& field, std::wstring& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != L'\\') {
      out += field[i];
      continue;
    }
    if (++i >= field.size()) return false;
    switch (field[i]) {
      case L'\\': out += L'\\'; break;
      case L'n': out += L'\n'; break;
      case L'r': out += L'\r'; break;
      case L't': out += L'\t'; break;
      case L'u': {
        unsigned value = 0;
        for (int k = 1; k <= 4; ++k) {
          const std::size_t at = i + static_cast<std::size_t>(k);
          const int digit = at < field.size() ? HexValue(field[at]) : -1;
          if (digit < 0) return false;
          value = value * 16 + static_cast<unsigned>(digit);
        }
        out += static_cast<wchar_t>(value);
        i += 4;
        break;
      }
      default: return false;
    }
  }
  return true;
}

// Printable ASCII as it is; everything else escaped, so that a line holds
// any text (lone surrogates too) and stays one line.
std::string Escape(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c == L'\\') out += "\\\\";
    else if (c == L'\n') out += "\\n";
    else if (c == L'\r') out += "\\r";
    else if (c == L'\t') out += "\\t";
    else if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
    else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

// Milliseconds on the performance counter.
double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

std::vector<std::wstring> Split(const std::wstring& line, wchar_t separator) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : line) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

struct Case {
  std::wstring id;
  bool after;
  std::wstring year, month, day, days;
};

bool ReadCases(const std::wstring& path, std::vector<Case>& cases) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) {
    std::fprintf(stderr, "oracle_driver: cannot open %s\n",
                 korvane::driver::Utf8(path).c_str());
    return false;
  }
  std::string bytes;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  int number = 0;
  for (const std::wstring& raw : Split(FromUtf8(bytes), L'\n')) {
    ++number;
    if (raw.empty()) continue;
    const std::vector<std::wstring> fields = Split(raw, L'\t');
    Case c;
    if (fields.size() != 6 || (fields[1] != L"A" && fields[1] != L"B") ||
        !Unescape(fields[2], c.year) || !Unescape(fields[3], c.month) ||
        !Unescape(fields[4], c.day) || !Unescape(fields[5], c.days)) {
      std::fprintf(stderr, "oracle_driver: line %d of the cases is not a case\n", number);
      return false;
    }
    c.id = fields[0];
    c.after = fields[1] == L"A";
    cases.push_back(std::move(c));
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: oracle_driver PROGRAM.exe CASES.txt RESULTS.txt\n");
    return 2;
  }
  const std::wstring program = argv[1];
  std::vector<Case> cases;
  if (!ReadCases(korvane::driver::WindowsPath(argv[2]), cases)) return 2;
  FILE* out = _wfopen(korvane::driver::WindowsPath(argv[3]).c_str(), L"wb");
  if (out == nullptr) {
    std::fprintf(stderr, "oracle_driver: cannot write the results\n");
    return 2;
  }

  // Where the time goes: writing the fields, the press, reading them back.
  double writing = 0, pressing = 0, reading = 0;
  std::string why;
  std::unique_ptr<RunningProgram> running = RunningProgram::Start(program, &why);
  int starts = 1;
  for (const Case& c : cases) {
    if (running == nullptr) {
      std::fprintf(stderr, "oracle_driver: %s\n", why.c_str());
      std::fclose(out);
      return 1;
    }
    const ProgramControl daysField =
        c.after ? ProgramControl::AfterDaysField : ProgramControl::BeforeDaysField;
    const double startAt = Now();
    const bool written = running->SetText(ProgramControl::YearField, c.year) &&
                         running->SetText(ProgramControl::MonthBox, c.month) &&
                         running->SetText(ProgramControl::DayBox, c.day) &&
                         running->SetText(daysField, c.days);
    const double writtenAt = Now();
    RunningProgram::PressResult press{false, L"<the fields could not be written>", 0.0};
    if (written) {
      press = running->Press(c.after ? ProgramControl::AfterButton : ProgramControl::BeforeButton,
                             PressTimeoutMs);
    }
    const double pressedAt = Now();
    if (!press.answered && !running->IsRunning()) press.text = L"<the program ended>";
    std::fprintf(out, "%s\t%d\t%s\t%.3f\t%s\t%s\t%s\t%s\n",
                 korvane::driver::Utf8(c.id).c_str(), press.answered ? 1 : 0,
                 Escape(press.text).c_str(), press.milliseconds,
                 Escape(running->Text(ProgramControl::YearField, 1000)).c_str(),
                 Escape(running->Text(ProgramControl::MonthBox, 1000)).c_str(),
                 Escape(running->Text(ProgramControl::DayBox, 1000)).c_str(),
                 Escape(running->Text(daysField, 1000)).c_str());
    const double readAt = Now();
    writing += writtenAt - startAt;
    pressing += pressedAt - writtenAt;
    reading += readAt - pressedAt;
    if (!press.answered) {
      // Start afresh, so that one fault does not hide the cases after it.
      running.reset();
      running = RunningProgram::Start(program, &why);
      ++starts;
    }
  }
  std::fclose(out);
  std::printf("oracle_driver: %.1f s writing the fields, %.1f s pressing, %.1f s reading back\n",
              writing / 1000, pressing / 1000, reading / 1000);
  DWORD code = 0;
  const bool closed = running != nullptr && running->Close(10000, &code);
  std::printf("oracle_driver: %zu cases, program started %d time(s), %s\n", cases.size(), starts,
              closed ? (code == 0 ? "closed with exit code 0" : "closed with a non-zero exit code")
                     : "did not close");
  return closed && code == 0 ? 0 : 1;
}
