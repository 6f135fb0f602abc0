// The push button: reports a click (mouse release over it, or Space while
// it has the focus) and nothing else.
#pragma once

#include "ui/control.h"

namespace korvane {

class Window;

// A tab stop with the default-button frame and its text at the left edge.
Control& CreatePushButton(Window& window, Rect place, const wchar_t* text, Identity id);

}  // namespace korvane
