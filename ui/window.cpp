#include "ui/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "ui/drop_down.h"
#include "ui/gdi_count.h"
#include "ui/keyboard.h"

namespace korvane {

namespace {

constexpr DWORD WindowStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The toolkit's live top-level windows.
std::vector<Window*> liveWindows;

std::wstring ClassName(Identity id) {
  wchar_t name[64];
  std::swprintf(name, 64, L"WindowClass_%lld", static_cast<long long>(id));
  return name;
}

bool RegisterWindowClass(const std::wstring& name, WNDPROC procedure) {
  const Toolkit& t = TheToolkit();
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = t.classIcon;
  windowClass.hCursor = t.arrowCursor;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name.c_str();
  return RegisterClassExW(&windowClass) != 0;
}

// Moves the window so that it is centred on the primary screen; a window
// larger than the screen goes to 0 on that axis.
void CentreOnScreen(HWND hwnd) {
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int width = std::min<int>(outer.right - outer.left, screenWidth);
  const int height = std::min<int>(outer.bottom - outer.top, screenHeight);
  SetWindowPos(hwnd, nullptr, (screenWidth - width) / 2,
               (screenHeight - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::unique_ptr<Window> Window::Create(const wchar_t* title, int x, int y,
                                       int clientWidth, int clientHeight) {
  std::unique_ptr<Window> window(new Window());
  window->id_ = NewIdentity();
  window->className_ = ClassName(window->id_);
  if (!RegisterWindowClass(window->className_, &Window::Procedure)) return nullptr;

  RECT outer = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, WindowStyles, FALSE, 0);
  HWND hwnd = CreateWindowExW(0, window->className_.c_str(), title, WindowStyles,
                              x, y, outer.right - outer.left,
                              outer.bottom - outer.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), window.get());
  if (hwnd == nullptr) {
    UnregisterClassW(window->className_.c_str(), GetModuleHandleW(nullptr));
    window->className_.clear();
    return nullptr;
  }
  liveWindows.push_back(window.get());
  CentreOnScreen(hwnd);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  window->shortcuts_ = CreateShortcutTable();
  window->creationComplete_ = true;
  return window;
}

Window::~Window() {
  std::erase(liveWindows, this);
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);  // the controls go with it
  for (const auto& control : controls_) {
    DeleteCounted(control->backgroundBrush);
    DeleteCounted(control->premultiplied);
  }
  if (!className_.empty()) UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
  if (shortcuts_ != nullptr) DestroyAcceleratorTable(shortcuts_);
  DeleteCounted(background_);
}

void Window::SetBackgroundColour(Colour colour) {
  DeleteCounted(background_);
  background_ = colour == DefaultColour ? nullptr
                                        : Counted(CreateSolidBrush(static_cast<COLORREF>(colour)));
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

Window* Window::FromHandle(HWND hwnd) {
  for (Window* window : liveWindows) {
    if (hwnd != nullptr && window->hwnd_ == hwnd) return window;
  }
  return nullptr;
}

Control& Window::AddControl(ControlKind kind, Identity id, HWND hwnd) {
  controls_.push_back(std::make_unique<Control>(Control{kind, id, hwnd}));
  return *controls_.back();
}

Control* Window::FindControl(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  for (const auto& control : controls_) {
    if (control->hwnd == hwnd) return control.get();
  }
  return nullptr;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<Window*>(
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {  // the last message: forget the handle
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return window->HandleMessage(message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LiveGdiObjectsMessage()) return static_cast<LRESULT>(LiveGdiObjects());
  switch (message) {
    case WM_CLOSE: return OnClose();
    case WM_SIZE: return OnSize(wParam);
    case WM_MOVE: return OnMove();
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK: return OnMouse(message, wParam, lParam);
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::Raise(EventKind kind, Identity source, std::int64_t report) {
  RaiseEvent(Event{kind, source, id_, report});
}

LRESULT Window::OnClose() {
  Raise(EventKind::CloseRequest, id_);
  return 0;  // the window stays; the loop decides
}

LRESULT Window::OnSize(WPARAM type) {
  if (!creationComplete_) return 0;
  if (type == SIZE_MINIMIZED) {
    minimized_ = true;
    Raise(EventKind::Minimized);
  } else if (type == SIZE_RESTORED) {
    if (minimized_) Raise(EventKind::Restored);
    minimized_ = false;
    Raise(EventKind::SizeEvent);  // replaces a waiting one
  }
  return 0;
}

LRESULT Window::OnMove() {
  if (creationComplete_) Raise(EventKind::Moved);
  return 0;
}

LRESULT Window::OnActivate(WPARAM state, LPARAM) {
  const bool active = LOWORD(state) != WA_INACTIVE;
  RememberOrRestoreFocus(*this, active);
  Raise(active ? EventKind::Activated : EventKind::Deactivated);
  return 0;
}

LRESULT Window::OnEraseBackground(HDC dc) {
  if (background_ == nullptr) return DefWindowProcW(hwnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(hwnd_, &client);
  FillRect(dc, &client, background_);
  Raise(EventKind::BackgroundErased);
  return 1;
}

LRESULT Window::OnCommand(WPARAM wParam, LPARAM lParam) {
  const WORD code = HIWORD(wParam);
  if (lParam == 0 && code == 1) {  // from the keyboard shortcut table
    RunShortcutCommand(*this, LOWORD(wParam));
    return 0;
  }
  Control* control = FindControl(reinterpret_cast<HWND>(lParam));
  if (control == nullptr) return 0;
  if (control->kind == ControlKind::DropDown && !DropDownReports(*control, code)) return 0;
  Raise(EventKind::ControlEvent, control->id, code);
  return 0;
}

LRESULT Window::OnNotify(const NMHDR* header) {
  Control* control = FindControl(header->hwndFrom);
  if (control != nullptr && control->kind == ControlKind::Calendar &&
      header->code == MCN_SELCHANGE) {
    Raise(EventKind::ControlEvent, control->id, MCN_SELCHANGE);
  }
  return 0;
}

LRESULT Window::OnLabelColour(HDC dc, HWND label, WPARAM wParam, LPARAM lParam) {
  const Control* control = FindControl(label);
  if (control == nullptr || control->kind != ControlKind::Label ||
      (control->textColour == DefaultColour && control->backgroundColour == DefaultColour)) {
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, wParam, lParam);
  }
  if (control->textColour != DefaultColour) SetTextColor(dc, static_cast<COLORREF>(control->textColour));
  if (control->backgroundColour == DefaultColour) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  SetBkColor(dc, static_cast<COLORREF>(control->backgroundColour));
  return reinterpret_cast<LRESULT>(control->backgroundBrush);
}

LRESULT Window::OnMouse(UINT message, WPARAM, LPARAM) {
  Raise(message == WM_LBUTTONUP   ? EventKind::Clicked
        : message == WM_RBUTTONUP ? EventKind::RightClicked
                                  : EventKind::DoubleClicked);
  return 0;
}

}  // namespace korvane
