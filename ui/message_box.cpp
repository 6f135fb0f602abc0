#include "ui/message_box.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace korvane {

namespace {

// A window that a box changed, tagged with the box's thread, so that boxes
// on different threads restore only their own windows.
struct HeldWindow {
  HWND hwnd;
  DWORD thread;
  bool topmost;
  bool disabledByBox;
};

std::mutex heldLock;
std::vector<HeldWindow> held;

HWND OwnerForBox() {
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(foreground, &process);
  return foreground != nullptr && process == GetCurrentProcessId() ? foreground : nullptr;
}

BOOL CALLBACK HoldWindow(HWND hwnd, LPARAM foreground) {
  const DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(hwnd, nullptr) != thread || !IsWindowVisible(hwnd)) return TRUE;
  HeldWindow record = {hwnd, thread,
                       (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, false};
  if (hwnd != reinterpret_cast<HWND>(foreground) && IsWindowEnabled(hwnd)) {
    EnableWindow(hwnd, FALSE);
    record.disabledByBox = true;
  }
  std::lock_guard lock(heldLock);
  held.push_back(record);
  return TRUE;
}

std::vector<HeldWindow> TakeThreadRecords(DWORD thread) {
  std::lock_guard lock(heldLock);
  std::vector<HeldWindow> mine;
  std::erase_if(held, [&](const HeldWindow& record) {
    if (record.thread != thread) return false;
    mine.push_back(record);
    return true;
  });
  return mine;
}

void SetTopmost(HWND hwnd, HWND where) {
  SetWindowPos(hwnd, where, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace

int ShowMessageBox(const wchar_t* title, const wchar_t* message, UINT flags) {
  const DWORD thread = GetCurrentThreadId();
  HWND owner = OwnerForBox();
  EnumWindows(&HoldWindow, reinterpret_cast<LPARAM>(GetForegroundWindow()));
  {
    std::lock_guard lock(heldLock);
    for (const HeldWindow& record : held) {
      if (record.thread == thread && record.topmost) SetTopmost(record.hwnd, HWND_NOTOPMOST);
    }
  }
  const int result = MessageBoxW(owner, message, title, flags);
  for (const HeldWindow& record : TakeThreadRecords(thread)) {
    if (record.disabledByBox) EnableWindow(record.hwnd, TRUE);
    if (record.topmost) SetTopmost(record.hwnd, HWND_TOPMOST);
  }
  return result;
}

}  // namespace korvane
