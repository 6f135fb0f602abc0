// Drives the built program from a second process: starts it, finds its
// window and its eighteen controls, writes and reads their texts, presses the
// push buttons and closes it again. Shared by the tests that use the program
// the way a user (or another program) does.
//
// Every message to the program goes with a time-out (SendMessageTimeout) or
// is posted, so a program that hangs makes a call fail rather than the
// driver wait for good.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvane::driver {

// "/work/x/y" -> "Z:\work\x\y" (Wine maps the Unix root as drive Z:); a
// Windows path keeps its letters, with "/" turned into "\".
std::wstring WindowsPath(std::wstring unixOrWindowsPath);

// Polls the condition about every 5 ms until it holds (true) or the time-out
// passes (false). The condition is asked once more at the end.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// UTF-8 for messages; unpaired surrogates become U+FFFD.
std::string Utf8(const std::wstring& text);

// The program's controls, in creation order (which EnumChildWindows keeps).
enum class ProgramControl {
  YearField,
  AfterDaysField,
  AfterResultField,
  AfterLabel,
  ValidPeriodLabel,
  DayLabel,
  MonthLabel,
  DayBox,
  BeforeButton,
  BeforeDaysField,
  BeforeLabel,
  BeforeResultField,
  Calendar,
  AfterButton,
  MonthBox,
  BannerImage,
  LogoImage,
  YearLabel,
};
inline constexpr int ProgramControlCount = 18;

// "YearField", "AfterButton", ...
const char* NameOf(ProgramControl which);

// How Press clicks a push button.
enum class PressBy {
  // BM_CLICK posted to the button: works whether or not the window is in
  // front, and never waits on the program.
  Message,
  // The window brought to the front, the mouse pointer moved to the middle
  // of the button and a real left click sent (SendInput).
  RealInput,
};

class RunningProgram {
 public:
  // Starts the executable and waits until its top-level window
  // "KorvaneDaysAfter" is visible with its eighteen controls and the year
  // field holds a four-digit year. Null on failure, with the reason in *why.
  static std::unique_ptr<RunningProgram> Start(const std::wstring& exePath,
                                               std::string* why = nullptr,
                                               DWORD timeoutMs = 30000);

  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  // Closes the window (WM_CLOSE) and, when the process is still running
  // 10 s later, terminates it.
  ~RunningProgram();

  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  bool IsRunning() const;

  // One of the window's own eighteen children.
  HWND Control(ProgramControl which) const;
  // The edit field inside a drop-down box (the control itself for others).
  HWND EditOf(ProgramControl which) const;

  // WM_GETTEXT through SendMessageTimeout; "<no answer>" when the program
  // does not answer in time. A rich edit reads a line break back as CRLF.
  std::wstring Text(ProgramControl which, DWORD timeoutMs = 10000) const;
  // WM_SETTEXT (text up to its first NUL); false when not answered in time.
  // Under Wine a message to another process carries half a million
  // characters but not a million: a megabyte goes in with Paste.
  bool SetText(ProgramControl which, const std::wstring& text,
               DWORD timeoutMs = 10000) const;

  // Puts the text, NULs and all, on the clipboard as CF_UNICODETEXT, selects
  // everything in the control (or, with replaceAll false, places the caret at
  // the end) and sends it WM_PASTE: the way a user's Ctrl+V brings any text
  // in. For a drop-down box the paste goes to its edit field.
  bool Paste(ProgramControl which, const std::wstring& text, bool replaceAll = true,
             DWORD timeoutMs = 10000) const;

  // The same with rich text (RTF) on the clipboard, for a text field: RTF
  // brings characters that plain text cannot, such as NUL ("\\u0 ").
  bool PasteRichText(ProgramControl which, const std::string& rtf, bool replaceAll = true,
                     DWORD timeoutMs = 10000) const;

  // Writes the sentinel "?" into the button's result field, clicks the
  // button and waits until the result field holds something else. answered
  // is false when nothing came within the time-out (or the program ended);
  // milliseconds is the time from the click to the new text seen. With
  // writeSentinel false the result field keeps its text, and the press waits
  // until it reads differently.
  struct PressResult {
    bool answered;
    std::wstring text;
    double milliseconds;
  };
  PressResult Press(ProgramControl button, DWORD timeoutMs = 5000,
                    PressBy by = PressBy::Message, bool writeSentinel = true) const;

  // Posts WM_CLOSE and waits for the process to end; its exit code in
  // *exitCode. False when it is still running at the time-out.
  bool Close(DWORD timeoutMs, DWORD* exitCode);

  // The program's window answers WM_NULL within the time-out.
  bool IsResponsive(DWORD timeoutMs) const;

  // The button's result field: AfterResultField for AfterButton,
  // BeforeResultField for BeforeButton.
  static ProgramControl ResultFieldOf(ProgramControl button);

 private:
  RunningProgram() = default;

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
  std::vector<HWND> controls_;
};

}  // namespace korvane::driver
