// A CBT hook that refuses to create any top-level window titled
// "KorvaneDaysAfter". program_tests installs it on a freshly started
// program's main thread (Windows loads this library into that process to
// call it), so that the program meets a window that cannot be created.
#include <windows.h>

#include <cwchar>

extern "C" __declspec(dllexport) LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam,
                                                                   LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    const bool topLevel = (create->style & WS_CHILD) == 0;
    // lpszName may also be a resource number (high bits zero).
    const bool named = (reinterpret_cast<ULONG_PTR>(create->lpszName) >> 16) != 0;
    if (topLevel && named && std::wcscmp(create->lpszName, L"KorvaneDaysAfter") == 0) {
      return 1;  // CreateWindowExW fails
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
