#include "ui/control.h"

#include "ui/drop_down.h"
#include "ui/text_field.h"
#include "ui/window.h"

namespace korvane {

Control& CreateControl(Window& window, ControlKind kind, const wchar_t* className,
                       const wchar_t* text, DWORD style, DWORD exStyle,
                       Rect place, Identity id) {
  HWND hwnd = CreateWindowExW(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.x, place.y,
      place.width, place.height, window.Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
      nullptr);
  Control& control = window.AddControl(kind, id, hwnd);
  SendToControl(control, WM_SETFONT,
                reinterpret_cast<WPARAM>(TheToolkit().defaultFont), TRUE);
  return control;
}

LRESULT SendToControl(const Control& control, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  if (!control.Exists()) return 0;
  return SendMessageW(control.hwnd, message, wParam, lParam);
}

void SetControlFont(Control& control, HFONT font) {
  SendToControl(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (control.kind == ControlKind::DropDown) FitClosedHeight(control);
  if (control.kind == ControlKind::TextField) KeepTextColour(control);
}

void MoveControl(const Control& control, int x, int y, int width, int height) {
  if (control.Exists()) MoveWindow(control.hwnd, x, y, width, height, TRUE);
}

}  // namespace korvane
