// The picture control: a static control with a sunken edge that shows a
// bitmap at its natural size and reports presses on it.
#pragma once

#include "ui/control.h"

namespace korvane {

class Window;

// With a bitmap the control takes the picture's size + 4 (its client edge);
// without one it keeps place's size and shows an empty frame.
Control& CreatePictureControl(Window& window, Rect place, HBITMAP bitmap,
                              DWORD exStyle, Identity id);

}  // namespace korvane
