#include "ui/label.h"

namespace korvane {

Control& CreateLabel(Window& window, Rect place, const wchar_t* text,
                     Alignment alignment, Identity id) {
  return CreateControl(window, ControlKind::Label, L"Static", text,
                       WS_GROUP | SS_NOPREFIX | static_cast<DWORD>(alignment), 0,
                       place, id);
}

void SetLabelTextColour(Control& label, Colour colour) {
  label.textColour = colour;
  if (label.Exists()) InvalidateRect(label.hwnd, nullptr, TRUE);
}

void SetLabelBackgroundColour(Control& label, Colour colour) {
  label.backgroundColour = colour;
  if (label.backgroundBrush != nullptr) DeleteObject(label.backgroundBrush);
  label.backgroundBrush =
      colour == DefaultColour ? nullptr : CreateSolidBrush(static_cast<COLORREF>(colour));
  if (label.Exists()) InvalidateRect(label.hwnd, nullptr, TRUE);
}

}  // namespace korvane
