#include "ui/toolkit.h"

#include <commctrl.h>
#include <objbase.h>

namespace korvane {

namespace {

ShortcutStep shortcutStep = nullptr;

int DisplayDpi() {
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (display == nullptr) return 96;
  const int dpi = GetDeviceCaps(display, LOGPIXELSY);
  DeleteDC(display);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

Toolkit& TheToolkit() {
  static Toolkit toolkit;
  return toolkit;
}

void StartToolkit() {
  Toolkit& t = TheToolkit();
  t.dpi = DisplayDpi();
  t.msimg32 = LoadLibraryW(L"msimg32.dll");
  if (t.msimg32 != nullptr) {
    t.alphaBlend = reinterpret_cast<Toolkit::AlphaBlendFunction>(
        reinterpret_cast<void*>(GetProcAddress(t.msimg32, "AlphaBlend")));
  }
  t.queue = EventQueue();
  t.classIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  t.arrowCursor = LoadCursorW(nullptr, IDC_ARROW);
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_TAB_CLASSES | ICC_HOTKEY_CLASS |
                                       ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                       ICC_INTERNET_CLASSES};  // 0xB48
  InitCommonControlsEx(&controls);
  t.defaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  t.comInitialized = SUCCEEDED(CoInitialize(nullptr));
}

void ReleaseAlphaBlend() {
  Toolkit& t = TheToolkit();
  t.alphaBlend = nullptr;
  if (t.msimg32 != nullptr) FreeLibrary(t.msimg32);
  t.msimg32 = nullptr;
}

void StopToolkit() {
  Toolkit& t = TheToolkit();
  // The class icon comes from the executable's resources: nothing to free.
  t.classIcon = nullptr;
  ReleaseAlphaBlend();
  if (t.comInitialized) CoUninitialize();
  t.comInitialized = false;
  t.queue = EventQueue();
}

Identity NewIdentity() { return ++TheToolkit().lastIdentity; }

void RaiseEvent(const Event& event) { TheToolkit().queue.Append(event); }

EventKind WaitEvent() {
  Toolkit& t = TheToolkit();
  if (t.queue.Take(t.current)) return t.current.kind;
  MSG message;
  if (GetMessageW(&message, nullptr, 0, 0) <= 0) return EventKind::None;
  if (shortcutStep == nullptr || !shortcutStep(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return EventKind::None;
}

Identity EventSource() { return TheToolkit().current.source; }

std::int64_t EventReport() { return TheToolkit().current.report; }

void SetShortcutStep(ShortcutStep step) { shortcutStep = step; }

int ClientWidth(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.right - client.left;
}

}  // namespace korvane
