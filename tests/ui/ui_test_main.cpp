// The window tests' entry. Besides GoogleTest's flags it takes:
//   --themed        decide visual styles on before the first window is built
//                   (the decision holds for the whole process);
//   --logpixels=N   run the tests in a child process that starts with the
//                   display at N dpi. The dpi comes from LogPixels under
//                   HKCU\Control Panel\Desktop, read when a process starts:
//                   this process sets it, starts the child and puts the old
//                   value back; the child puts it back too as soon as it has
//                   read it, so that other programs of the prefix are not
//                   left at N dpi even when this process is killed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/visual_styles.h"

namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t LogPixelsValue[] = L"LogPixels";
constexpr char RestoreFlag[] = "--restore-logpixels=";

// The value before this run changed it; -1 when there was none.
long ReadLogPixels() {
  DWORD value = 0, type = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, DesktopKey, LogPixelsValue, RRF_RT_REG_DWORD, &type,
                   &value, &size) != ERROR_SUCCESS) {
    return -1;
  }
  return static_cast<long>(value);
}

bool WriteLogPixels(long value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LSTATUS status;
  if (value < 0) {
    status = RegDeleteValueW(key, LogPixelsValue);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else {
    const DWORD dword = static_cast<DWORD>(value);
    status = RegSetValueExW(key, LogPixelsValue, 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&dword), sizeof dword);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// Runs this program again, with the same arguments, at the given dpi.
int RunChildAtLogPixels(int dpi) {
  const long old = ReadLogPixels();
  if (!WriteLogPixels(dpi)) {
    std::fprintf(stderr, "cannot set LogPixels to %d\n", dpi);
    return 1;
  }
  std::wstring command = GetCommandLineW();
  command += L" " + std::wstring(RestoreFlag, RestoreFlag + std::strlen(RestoreFlag)) +
             std::to_wstring(old);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  DWORD code = 1;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &child)) {
    WaitForSingleObject(child.hProcess, INFINITE);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  } else {
    std::fprintf(stderr, "cannot start the child process (error %lu)\n", GetLastError());
  }
  if (!WriteLogPixels(old)) {
    std::fprintf(stderr, "cannot put LogPixels back to %ld\n", old);
    return 1;
  }
  return static_cast<int>(code);
}

int DisplayDpiNow() {
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  const int dpi = display != nullptr ? GetDeviceCaps(display, LOGPIXELSY) : 0;
  if (display != nullptr) DeleteDC(display);
  return dpi;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  korvane::uitest::TestMode& mode = korvane::uitest::Mode();
  bool child = false;
  long restore = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--themed") {
      mode.themed = true;
    } else if (arg.rfind("--logpixels=", 0) == 0) {
      mode.logPixels = std::atoi(arg.c_str() + 12);
    } else if (arg.rfind(RestoreFlag, 0) == 0) {
      child = true;
      restore = std::atol(arg.c_str() + std::strlen(RestoreFlag));
    } else {
      std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  if (mode.logPixels > 0 && !child) return RunChildAtLogPixels(mode.logPixels);
  if (child) {
    // The dpi is fixed for this process once the display has been asked.
    DisplayDpiNow();
    WriteLogPixels(restore);
  }
  if (mode.themed) korvane::DecideVisualStylesForTesting(true);
  return RUN_ALL_TESTS();
}
