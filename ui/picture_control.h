// The picture control: a static control with a sunken edge that shows a
// picture at its natural size and reports what the mouse does on it.
#pragma once

#include "ui/control.h"

namespace korvane {

class Window;

// What a picture control reports besides the static control's own
// STN_CLICKED (left press) and STN_DBLCLK (left double click).
enum PictureReport : WORD {
  PictureRightRelease = 0x0100,      // not the release that ends a double click
  PictureRightDoubleClick = 0x0101,
  PictureDragStart = 0x0102,         // moved beyond the drag distance, held down
};

// With a picture the control takes the picture's size + 4 (room for its
// 2-pixel client edge), keeping its top-left corner and z-order place;
// without one it keeps place's size and shows an empty frame.
Control& CreatePictureControl(Window& window, Rect place, const Picture* picture,
                              DWORD exStyle, Identity id);

}  // namespace korvane
