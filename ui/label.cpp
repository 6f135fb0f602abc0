#include "ui/label.h"

#include "ui/gdi_count.h"

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
  DeleteCounted(label.backgroundBrush);
  label.backgroundBrush =
      colour == DefaultColour ? nullptr : Counted(CreateSolidBrush(static_cast<COLORREF>(colour)));
  if (label.Exists()) InvalidateRect(label.hwnd, nullptr, TRUE);
}

}  // namespace korvane
