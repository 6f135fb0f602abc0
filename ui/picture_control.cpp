#include "ui/picture_control.h"

namespace korvane {

Control& CreatePictureControl(Window& window, Rect place, HBITMAP bitmap,
                              DWORD exStyle, Identity id) {
  Control& picture = CreateControl(window, ControlKind::Picture, L"STATIC", L"",
                                   SS_NOTIFY, exStyle, place, id);
  picture.picture = bitmap;
  return picture;
}

}  // namespace korvane
