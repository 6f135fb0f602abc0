#include "ui/push_button.h"

namespace korvane {

Control& CreatePushButton(Window& window, Rect place, const wchar_t* text, Identity id) {
  // 257 = BS_DEFPUSHBUTTON | BS_LEFT; without BS_NOTIFY only clicks arrive.
  return CreateControl(window, ControlKind::PushButton, L"Button", text,
                       WS_GROUP | WS_TABSTOP | 257, 0, place, id);
}

}  // namespace korvane
