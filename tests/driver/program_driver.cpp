#include "tests/driver/program_driver.h"

#include <climits>
#include <cstring>

namespace korvane::driver {

namespace {

constexpr wchar_t Title[] = L"KorvaneDaysAfter";
constexpr wchar_t Sentinel[] = L"?";  // no calculation writes this
constexpr DWORD CloseTimeoutMs = 10000;

bool IsYear(const std::wstring& text) {
  if (text.size() != 4) return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// The window's own children (not the parts inside them, such as a drop-down
// box's edit field), in the order EnumChildWindows gives: creation order.
std::vector<HWND> ChildrenOf(HWND top) {
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

// The visible top-level window titled KorvaneDaysAfter of the process.
HWND FindProgramWindow(DWORD processId) {
  for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, Title); w != nullptr;
       w = FindWindowExW(nullptr, w, nullptr, Title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// The length and the text are two messages, and the program may write the
// control between them: a text that fills the buffer to the last character
// may have been cut, and is read again with a larger one.
std::wstring TextOf(HWND hwnd, DWORD timeoutMs) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs,
                          &length) == 0) {
    return L"<no answer>";
  }
  std::size_t room = length + 64;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring text(room + 1, L'\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, timeoutMs, &copied) == 0) {
      return L"<no answer>";
    }
    if (copied < room) {
      text.resize(copied);
      return text;
    }
    room *= 2;
  }
  return L"<no answer>";  // a text that keeps growing faster than it is read
}

bool Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
          DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs,
                             result != nullptr ? result : &ignored) != 0;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

// A hidden window of the driver's own to own what it puts on the clipboard.
HWND ClipboardOwner() {
  static HWND owner = [] {
    WNDCLASSW type = {};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"KorvaneDriverClipboard";
    RegisterClassW(&type);
    return CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           type.hInstance, nullptr);
  }();
  return owner;
}

// The bytes, with the NUL after them, on the clipboard in the format.
bool PutOnClipboard(UINT format, const void* bytes, std::size_t size) {
  HWND owner = ClipboardOwner();
  bool opened = false;
  // Another process may hold the clipboard for a moment.
  WaitFor([&] { return (opened = OpenClipboard(owner) != 0); }, 5000);
  if (!opened) return false;
  bool done = false;
  if (EmptyClipboard()) {
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + sizeof(wchar_t))) {
      if (void* data = GlobalLock(memory)) {
        std::memcpy(data, bytes, size);
        GlobalUnlock(memory);
        done = SetClipboardData(format, memory) != nullptr;
      }
      if (!done) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return done;
}

bool ClickByRealInput(HWND window, HWND button) {
  SetForegroundWindow(window);
  if (!WaitFor([&] { return GetForegroundWindow() == window; }, 5000)) return false;
  RECT place{};
  GetWindowRect(button, &place);
  if (!SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2)) return false;
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, input, sizeof(INPUT)) == 2;
}

}  // namespace

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return condition();
    Sleep(5);
  }
}

std::string Utf8(const std::wstring& text) {
  std::wstring clean = text;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const wchar_t c = clean[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    const bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < clean.size() && clean[i + 1] >= 0xDC00 && clean[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      clean[i] = 0xFFFD;
    }
  }
  if (clean.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, clean.data(), static_cast<int>(clean.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, clean.data(), static_cast<int>(clean.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

const char* NameOf(ProgramControl which) {
  static const char* const names[ProgramControlCount] = {
      "YearField",  "AfterDaysField",  "AfterResultField",  "AfterLabel", "ValidPeriodLabel",
      "DayLabel",   "MonthLabel",      "DayBox",            "BeforeButton", "BeforeDaysField",
      "BeforeLabel", "BeforeResultField", "Calendar",       "AfterButton", "MonthBox",
      "BannerImage", "LogoImage",       "YearLabel"};
  const int index = static_cast<int>(which);
  return index >= 0 && index < ProgramControlCount ? names[index] : "?";
}

std::unique_ptr<RunningProgram> RunningProgram::Start(const std::wstring& exePath,
                                                      std::string* why, DWORD timeoutMs) {
  std::unique_ptr<RunningProgram> program(new RunningProgram());
  const std::wstring path = WindowsPath(exePath);
  std::wstring command = L"\"" + path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program->process_)) {
    if (why != nullptr) {
      *why = "cannot start " + Utf8(path) + ", error " + std::to_string(GetLastError());
    }
    return nullptr;
  }
  RunningProgram& p = *program;
  bool ended = false;
  const bool ready = WaitFor(
      [&] {
        if (!p.IsRunning()) {
          ended = true;
          return true;
        }
        if (p.window_ == nullptr) p.window_ = FindProgramWindow(p.ProcessId());
        if (p.window_ == nullptr) return false;
        p.controls_ = ChildrenOf(p.window_);
        return p.controls_.size() == ProgramControlCount &&
               IsYear(TextOf(p.Control(ProgramControl::YearField), 1000));
      },
      timeoutMs);
  if (!ready || ended) {
    if (why != nullptr) {
      *why = ended                    ? "the program ended before its window was ready"
             : p.window_ == nullptr   ? "no visible KorvaneDaysAfter window"
             : p.controls_.size() != ProgramControlCount
                 ? "the window has " + std::to_string(p.controls_.size()) + " controls, not 18"
                 : "the year field was never filled in";
      *why += " within " + std::to_string(timeoutMs) + " ms";
    }
    return nullptr;
  }
  return program;
}

RunningProgram::~RunningProgram() {
  if (process_.hProcess == nullptr) return;
  DWORD code = 0;
  if (IsRunning() && !Close(CloseTimeoutMs, &code)) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, CloseTimeoutMs);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool RunningProgram::IsRunning() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND RunningProgram::Control(ProgramControl which) const {
  const auto index = static_cast<std::size_t>(which);
  return index < controls_.size() ? controls_[index] : nullptr;
}

HWND RunningProgram::EditOf(ProgramControl which) const {
  HWND control = Control(which);
  if (which != ProgramControl::DayBox && which != ProgramControl::MonthBox) return control;
  // Its one child of class Edit (GetComboBoxInfo does not reach across
  // processes under Wine).
  return FindWindowExW(control, nullptr, L"Edit", nullptr);
}

std::wstring RunningProgram::Text(ProgramControl which, DWORD timeoutMs) const {
  return TextOf(Control(which), timeoutMs);
}

bool RunningProgram::SetText(ProgramControl which, const std::wstring& text,
                             DWORD timeoutMs) const {
  DWORD_PTR result = 0;
  return Send(Control(which), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), timeoutMs,
              &result) &&
         result != 0;
}

// Selects all of the control's text (or places the caret at its end) and
// sends it WM_PASTE.
static bool PasteInto(HWND target, bool replaceAll, DWORD timeoutMs) {
  const LPARAM end = INT_MAX / 2;  // past the end: the control stops at its end
  return Send(target, EM_SETSEL, replaceAll ? 0 : end, replaceAll ? -1 : end, timeoutMs) &&
         Send(target, WM_PASTE, 0, 0, timeoutMs);
}

bool RunningProgram::Paste(ProgramControl which, const std::wstring& text, bool replaceAll,
                           DWORD timeoutMs) const {
  HWND target = EditOf(which);
  return target != nullptr &&
         PutOnClipboard(CF_UNICODETEXT, text.data(), text.size() * sizeof(wchar_t)) &&
         PasteInto(target, replaceAll, timeoutMs);
}

bool RunningProgram::PasteRichText(ProgramControl which, const std::string& rtf,
                                   bool replaceAll, DWORD timeoutMs) const {
  static const UINT richText = RegisterClipboardFormatW(L"Rich Text Format");
  HWND target = EditOf(which);
  return target != nullptr && richText != 0 &&
         PutOnClipboard(richText, rtf.data(), rtf.size()) &&
         PasteInto(target, replaceAll, timeoutMs);
}

RunningProgram::PressResult RunningProgram::Press(ProgramControl button, DWORD timeoutMs,
                                                  PressBy by, bool writeSentinel) const {
  PressResult outcome{false, L"", 0.0};
  const ProgramControl resultField = ResultFieldOf(button);
  std::wstring before = Sentinel;
  if (writeSentinel) {
    if (!SetText(resultField, Sentinel, timeoutMs) || Text(resultField, timeoutMs) != Sentinel) {
      outcome.text = L"<the sentinel could not be written>";
      return outcome;
    }
  } else {
    before = Text(resultField, timeoutMs);
  }
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  const bool clicked = by == PressBy::Message
                           ? PostMessageW(Control(button), BM_CLICK, 0, 0) != 0
                           : ClickByRealInput(window_, Control(button));
  if (!clicked) {
    outcome.text = L"<the click could not be sent>";
    return outcome;
  }
  // A tight poll: each read is one round trip to the program, and a result
  // usually comes within a millisecond or two.
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (int round = 0;; ++round) {
    const std::wstring text = Text(resultField, timeoutMs);
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    outcome.milliseconds = Milliseconds(start, now);
    outcome.text = text;
    if (text != before && text != L"<no answer>") {
      outcome.answered = true;
      return outcome;
    }
    if (GetTickCount64() >= end || !IsRunning()) return outcome;
    if (round >= 20) Sleep(1);
  }
}

bool RunningProgram::Close(DWORD timeoutMs, DWORD* exitCode) {
  if (IsRunning()) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  if (exitCode != nullptr) *exitCode = code;
  return true;
}

bool RunningProgram::IsResponsive(DWORD timeoutMs) const {
  return IsRunning() && Send(window_, WM_NULL, 0, 0, timeoutMs);
}

ProgramControl RunningProgram::ResultFieldOf(ProgramControl button) {
  return button == ProgramControl::BeforeButton ? ProgramControl::BeforeResultField
                                                : ProgramControl::AfterResultField;
}

}  // namespace korvane::driver
