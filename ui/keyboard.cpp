#include "ui/keyboard.h"

#include <richedit.h>

#include <algorithm>
#include <cwchar>

#include "ui/window.h"

namespace korvane {

namespace {

constexpr WPARAM BothCues = UISF_HIDEFOCUS | UISF_HIDEACCEL;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

bool ModifierHeld() {
  return KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU);
}

// Tab without modifiers belongs to an editable rich-edit field with the
// focus: it types a tab character there.
bool TabGoesToRichEdit() {
  if (!KeyDown(VK_TAB) || ModifierHeld()) return false;
  HWND focus = GetFocus();
  wchar_t className[16] = {};
  if (focus == nullptr || GetClassNameW(focus, className, 16) == 0) return false;
  if (std::wcsncmp(className, L"Rich", 4) != 0) return false;
  return (SendMessageW(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY) == 0;
}

// Asks the window to show its focus rectangles and access-key underlines,
// unless both are shown already.
void ShowCues(HWND window) {
  if ((SendMessageW(window, WM_QUERYUISTATE, 0, 0) & BothCues) == 0) return;
  SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, BothCues), 0);
}

void HideCues(HWND window) {
  if ((SendMessageW(window, WM_QUERYUISTATE, 0, 0) & BothCues) == BothCues) return;
  SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, BothCues), 0);
}

bool IsTabStop(HWND hwnd) {
  return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
         (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) != 0;
}

void AddTabStops(HWND hwnd, std::vector<HWND>& stops) {
  if (IsTabStop(hwnd)) stops.push_back(hwnd);
  for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    AddTabStops(child, stops);
  }
}

// Gives the focus to the stop `step` places from the focused one, or to the
// first (step 1) or last (step -1) when the focus is not on a stop.
void MoveFocus(Window& window, int step) {
  const std::vector<HWND> stops = TabStops(window);
  if (stops.empty()) return;
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  const auto at = std::find(stops.begin(), stops.end(), GetFocus()) - stops.begin();
  const std::ptrdiff_t next =
      at == count ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
  SetFocus(stops[static_cast<std::size_t>(next)]);
}

}  // namespace

HACCEL CreateShortcutTable() {
  ACCEL entries[] = {
      {FVIRTKEY, VK_TAB, FocusNextCommand},
      {FVIRTKEY | FSHIFT, VK_TAB, FocusPreviousCommand},
  };
  return CreateAcceleratorTableW(entries, 2);
}

bool OfferToShortcuts(MSG& message) {
  Window* window = Window::FromHandle(GetActiveWindow());
  if (window == nullptr || window->Shortcuts() == nullptr) return false;
  if (ModifierHeld()) ShowCues(window->Handle());
  if (TabGoesToRichEdit()) return false;
  // A table entry with Ctrl or Alt held does not match either entry.
  if (!TranslateAcceleratorW(window->Handle(), window->Shortcuts(), &message)) return false;
  ShowCues(window->Handle());
  return true;
}

void RunShortcutCommand(Window& window, WORD command) {
  if (command == FocusNextCommand) FocusNext(window);
  if (command == FocusPreviousCommand) FocusPrevious(window);
}

std::vector<HWND> TabStops(const Window& window) {
  std::vector<HWND> stops;
  for (const auto& control : window.Controls()) {
    if (control->Exists()) AddTabStops(control->hwnd, stops);
  }
  return stops;
}

void FocusNext(Window& window) { MoveFocus(window, 1); }

void FocusPrevious(Window& window) { MoveFocus(window, -1); }

void RememberOrRestoreFocus(Window& window, bool activated) {
  if (!activated) {
    HWND focus = GetFocus();
    window.rememberedFocus = IsChild(window.Handle(), focus) ? focus : nullptr;
    HideCues(window.Handle());
  } else if (window.rememberedFocus != nullptr && IsWindow(window.rememberedFocus)) {
    SetFocus(window.rememberedFocus);
  }
}

}  // namespace korvane
