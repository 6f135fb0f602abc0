// Watches windowed programs from outside, the way a user would see them.
//
//   window_probe measure RUNS IDLE_SECONDS [--prefilled] PATH ...
//     Starts each program RUNS times (the programs in turn, after one round
//     that is not counted) and times each start from CreateProcessW to its
//     window being ready: visible, answering messages and, with --prefilled
//     before its path, its first rich-edit field holding a four-digit year.
//     Reads the working set and pagefile use at that moment, then times on
//     until the program first waits for input with nothing left to do (its
//     window painted: WaitForInputIdle), closes the window with WM_CLOSE and
//     waits for the exit code. Afterwards starts each program once more and
//     reads its CPU time over IDLE_SECONDS of leaving it alone, from the
//     moment it first waits for input. Prints one tab-separated row per
//     program:
//       name size_bytes start_median_ms start_min_ms start_max_ms
//       settled_median_ms peak_working_set working_set pagefile idle_cpu_ms
//       idle_tick_cpu_ms bad_exits start_ms_by_round ready_cpu_ms
//     (start_ms_by_round a comma-separated list, -1 for a start that failed,
//     so that the programs can be compared round by round; ready_cpu_ms the
//     median CPU time the process itself had used when its window was ready,
//     which a busy machine changes far less than the elapsed time).
//     (memory in bytes, medians over the runs; idle CPU from the Linux
//     scheduler's nanosecond counts, and from GetThreadTimes in 10 ms ticks;
//     -1 where it could not be read).
//   window_probe wait TITLE TIMEOUT_SECONDS
//     Waits until a visible top-level window with this title is ready as
//     above (with the year check) and its program waits for input, and
//     prints its frame "x y width height"; exits 1 on time-out.
//   window_probe close TITLE TIMEOUT_SECONDS
//     Posts WM_CLOSE to that window and waits until it is gone; exits 1 when
//     it is still there at the time-out.
//
// Paths may be Unix absolute paths (read through drive Z:).
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring BaseName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

double Milliseconds(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

bool IsRichEdit(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return std::wcsncmp(name, L"RichEdit", 8) == 0;
}

// Text of another process's control through WM_GETTEXT; false when the
// control's thread does not answer in time (it is still busy starting).
bool RemoteText(HWND hwnd, std::wstring& text) {
  wchar_t buffer[64] = {};
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 200, &copied) == 0) {
    return false;
  }
  text.assign(buffer, std::min<DWORD_PTR>(copied, 63));
  return true;
}

bool IsYear(const std::wstring& text) {
  return text.size() == 4 && std::all_of(text.begin(), text.end(),
                                         [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Visible, answering, and (when asked) its first rich-edit field holds a year.
bool Ready(HWND top, bool prefilled) {
  if (!IsWindowVisible(top)) return false;
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer) == 0) return false;
  if (!prefilled) return true;
  for (HWND child = GetWindow(top, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsRichEdit(child)) continue;
    std::wstring text;
    if (RemoteText(child, text) && IsYear(text)) return true;
  }
  return false;
}

struct Search {
  DWORD process = 0;             // 0: any process
  const wchar_t* title = nullptr;  // nullptr: any captioned window
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (search->process != 0 && process != search->process) return TRUE;
  if (!IsWindowVisible(hwnd) || (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) {
    return TRUE;
  }
  if (search->title != nullptr) {
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    if (std::wcscmp(title, search->title) != 0) return TRUE;
  }
  search->found = hwnd;
  return FALSE;
}

HWND FindTop(DWORD process, const wchar_t* title) {
  Search search{process, title, nullptr};
  EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls every millisecond until the window is ready or the time is up.
HWND WaitReady(DWORD process, const wchar_t* title, bool prefilled, DWORD timeoutMs,
               HANDLE running = nullptr) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    if (running != nullptr && WaitForSingleObject(running, 0) == WAIT_OBJECT_0) return nullptr;
    HWND top = FindTop(process, title);
    if (top != nullptr && Ready(top, prefilled)) return top;
    Sleep(1);
  }
  return nullptr;
}

struct Target {
  std::wstring path;
  bool prefilled = false;
  std::vector<double> startMs;
  std::vector<double> startByRound;
  std::vector<double> settledMs;
  std::vector<double> readyCpuMs;
  std::vector<double> peak, working, pagefile;
  double idleCpuMs = -1;        // from the Linux scheduler, ns precision
  double idleThreadCpuMs = -1;  // from GetThreadTimes, 10 ms ticks
  int badExits = 0;
};

struct Started {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  double startMs = 0;
  double settledMs = -1;  // until it first waits for input after that
  double readyCpuMs = -1;  // CPU time the process had used when ready
};

unsigned LinuxProcess(const std::wstring& path);
double SchedulerCpuMs(unsigned pid);

bool Start(const Target& target, Started& started) {
  std::wstring command = L"\"" + target.path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  const LONGLONG begin = Now();
  if (!CreateProcessW(target.path.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &started.process)) {
    std::fwprintf(stderr, L"window_probe: cannot start %ls (error %lu)\n",
                  target.path.c_str(), GetLastError());
    return false;
  }
  started.window = WaitReady(started.process.dwProcessId, nullptr, target.prefilled,
                             kReadyTimeoutMs, started.process.hProcess);
  started.startMs = Milliseconds(Now() - begin);
  if (started.window == nullptr) {
    std::fwprintf(stderr, L"window_probe: %ls showed no ready window\n", target.path.c_str());
    return false;
  }
  started.readyCpuMs = SchedulerCpuMs(LinuxProcess(target.path));
  if (WaitForInputIdle(started.process.hProcess, kReadyTimeoutMs) == 0) {
    started.settledMs = Milliseconds(Now() - begin);
  }
  return true;
}

// Closes the window and collects the exit code; false unless it is 0.
bool Finish(Started& started) {
  if (started.window != nullptr) PostMessageW(started.window, WM_CLOSE, 0, 0);
  bool clean = false;
  if (WaitForSingleObject(started.process.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 1;
    clean = GetExitCodeProcess(started.process.hProcess, &code) && code == 0;
  } else {
    TerminateProcess(started.process.hProcess, 1);
    WaitForSingleObject(started.process.hProcess, kExitTimeoutMs);
  }
  CloseHandle(started.process.hThread);
  CloseHandle(started.process.hProcess);
  return clean;
}

double Ticks(const FILETIME& t) {
  return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

// CPU time of all the process's threads in ms. Wine 8 answers
// GetProcessTimes for another process with the caller's own times, so this
// adds up GetThreadTimes, which Wine reads from Linux in 10 ms ticks.
double ThreadCpuMs(DWORD process) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  double total = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != process) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    FILETIME created, exited, kernel, user;
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
      total += (Ticks(kernel) + Ticks(user)) / 10000.0;  // 100 ns units
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return total;
}

// The whole of a small file such as one under /proc (which reports size 0).
bool ReadWhole(const std::wstring& path, std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return true;
}

// The Linux process that runs a Wine process shows the Windows command
// line's arguments as its own; finds the one process whose first argument is
// this program path. 0 when there is none or more than one.
unsigned LinuxProcess(const std::wstring& path) {
  const std::string wanted(path.begin(), path.end());  // ASCII paths
  unsigned found = 0;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    wchar_t* end = nullptr;
    const unsigned long pid = std::wcstoul(entry.cFileName, &end, 10);
    if (pid == 0 || *end != L'\0') continue;
    std::string line;
    if (!ReadWhole(L"Z:\\proc\\" + std::wstring(entry.cFileName) + L"\\cmdline", line)) continue;
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (line != wanted) continue;
    if (found != 0) {
      found = 0;
      break;
    }
    found = static_cast<unsigned>(pid);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// CPU time in ms of all threads of a Linux process from the scheduler's
// nanosecond counts (/proc/PID/task/TID/schedstat), or -1.
double SchedulerCpuMs(unsigned pid) {
  if (pid == 0) return -1;
  const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\task\\";
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((tasks + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return -1;
  double total = 0;
  int counted = 0;
  do {
    if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
    std::string stat;
    if (!ReadWhole(tasks + entry.cFileName + L"\\schedstat", stat) || stat.empty()) continue;
    total += std::strtod(stat.c_str(), nullptr) / 1e6;
    ++counted;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return counted > 0 ? total : -1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Measure(int runs, int idleSeconds, std::vector<Target>& targets) {
  for (int round = 0; round <= runs; ++round) {  // round 0 warms the caches
    for (Target& target : targets) {
      Started started;
      const bool ready = Start(target, started);
      if (round > 0) target.startByRound.push_back(ready ? started.startMs : -1);
      if (ready && round > 0) {
        target.startMs.push_back(started.startMs);
        if (started.settledMs >= 0) target.settledMs.push_back(started.settledMs);
        if (started.readyCpuMs >= 0) target.readyCpuMs.push_back(started.readyCpuMs);
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(started.process.hProcess, &memory, sizeof memory)) {
          target.peak.push_back(static_cast<double>(memory.PeakWorkingSetSize));
          target.working.push_back(static_cast<double>(memory.WorkingSetSize));
          target.pagefile.push_back(static_cast<double>(memory.PagefileUsage));
        }
      }
      if (!Finish(started) || !ready) ++target.badExits;
    }
  }
  for (Target& target : targets) {
    Started started;
    const bool ready = Start(target, started);
    if (ready) {
      const DWORD id = started.process.dwProcessId;
      const unsigned linuxPid = LinuxProcess(target.path);
      const double before = SchedulerCpuMs(linuxPid);
      const double threadsBefore = ThreadCpuMs(id);
      Sleep(static_cast<DWORD>(idleSeconds) * 1000);
      const double after = SchedulerCpuMs(linuxPid);
      const double threadsAfter = ThreadCpuMs(id);
      if (before >= 0 && after >= 0) target.idleCpuMs = after - before;
      if (threadsBefore >= 0 && threadsAfter >= 0) target.idleThreadCpuMs = threadsAfter - threadsBefore;
    }
    if (!Finish(started) || !ready) ++target.badExits;
  }
  for (const Target& target : targets) {
    const auto& s = target.startMs;
    std::wstring rounds;
    for (double ms : target.startByRound) {
      wchar_t one[32];
      std::swprintf(one, 32, L"%ls%.1f", rounds.empty() ? L"" : L",", ms);
      rounds += one;
    }
    std::wprintf(L"%ls\t%lld\t%.1f\t%.1f\t%.1f\t%.1f\t%.0f\t%.0f\t%.0f\t%.3f\t%.0f\t%d\t%ls\t%.1f\n",
                 BaseName(target.path).c_str(), FileSize(target.path), Median(s),
                 s.empty() ? -1.0 : *std::min_element(s.begin(), s.end()),
                 s.empty() ? -1.0 : *std::max_element(s.begin(), s.end()), Median(target.settledMs),
                 Median(target.peak), Median(target.working), Median(target.pagefile),
                 target.idleCpuMs, target.idleThreadCpuMs, target.badExits, rounds.c_str(),
                 Median(target.readyCpuMs));
  }
  return 0;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: window_probe measure RUNS IDLE_SECONDS [--prefilled] PATH ...\n"
                L"       window_probe wait TITLE TIMEOUT_SECONDS\n"
                L"       window_probe close TITLE TIMEOUT_SECONDS\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"measure" && argc >= 5) {
    const int runs = std::max(1, _wtoi(argv[2]));
    const int idle = std::max(0, _wtoi(argv[3]));
    std::vector<Target> targets;
    bool prefilled = false;
    for (int i = 4; i < argc; ++i) {
      if (std::wcscmp(argv[i], L"--prefilled") == 0) {
        prefilled = true;
        continue;
      }
      Target target;
      target.path = WindowsPath(argv[i]);
      target.prefilled = prefilled;
      targets.push_back(target);
      prefilled = false;
    }
    if (targets.empty()) return Usage();
    return Measure(runs, idle, targets);
  }
  if ((command == L"wait" || command == L"close") && argc == 4) {
    const wchar_t* title = argv[2];
    const DWORD timeoutMs = static_cast<DWORD>(std::max(1, _wtoi(argv[3]))) * 1000;
    if (command == L"wait") {
      HWND top = WaitReady(0, title, true, timeoutMs);
      if (top == nullptr) return 1;
      // And painted: until the program first waits for input.
      DWORD id = 0;
      GetWindowThreadProcessId(top, &id);
      if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) {
        WaitForInputIdle(process, timeoutMs);
        CloseHandle(process);
      }
      RECT frame{};
      GetWindowRect(top, &frame);
      std::wprintf(L"%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                   frame.bottom - frame.top);
      return 0;
    }
    HWND top = FindTop(0, title);
    if (top == nullptr) return 0;
    PostMessageW(top, WM_CLOSE, 0, 0);
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (IsWindow(top)) {
      if (GetTickCount64() >= end) return 1;
      Sleep(10);
    }
    return 0;
  }
  return Usage();
}
