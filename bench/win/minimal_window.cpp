// The start-up floor with nothing in the window: one class, one 790x400
// client-area window like the program's, shown, and a message loop. The
// window closes on WM_CLOSE and the process ends with code 0.
#include <windows.h>

namespace {

constexpr DWORD kStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"MinimalWindow";
  if (RegisterClassExW(&windowClass) == 0) return 0;

  RECT outer = {0, 0, 790, 400};
  AdjustWindowRectEx(&outer, kStyles, FALSE, 0);
  HWND window = CreateWindowExW(0, L"MinimalWindow", L"minimal_window", kStyles, 40, 40,
                                outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  ShowWindow(window, SW_SHOWNORMAL);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
