// The label: a static text with two colour slots that the window answers
// when the label paints.
#pragma once

#include "ui/control.h"

namespace korvane {

class Window;

enum class Alignment { Left = 0, Centre = 1, Right = 2 };

// Shows ampersands literally; no tab stop.
Control& CreateLabel(Window& window, Rect place, const wchar_t* text,
                     Alignment alignment, Identity id);

// Slot 1 is the text colour, slot 2 the background; either repaints.
void SetLabelTextColour(Control& label, Colour colour);
void SetLabelBackgroundColour(Control& label, Colour colour);

}  // namespace korvane
