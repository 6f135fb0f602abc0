// A native child control as the toolkit keeps it. A control whose creation
// failed has no window handle, and every operation on it does nothing, so
// nothing addressed to it can reach another control.
#pragma once

#include <windows.h>

#include "ui/picture.h"
#include "ui/toolkit.h"

namespace korvane {

enum class ControlKind { TextField, Label, DropDown, PushButton, Calendar, Picture };

struct Rect {
  int x, y, width, height;
};

struct Control {
  ControlKind kind;
  Identity id = 0;
  HWND hwnd = nullptr;       // null when creation failed
  Colour textColour = DefaultColour;        // slot 1
  Colour backgroundColour = DefaultColour;  // slot 2
  HBRUSH backgroundBrush = nullptr;         // solid brush of slot 2
  bool listChoice = false;   // drop-down: last change was a list choice
  const Picture* picture = nullptr;   // picture control: what it shows
  HBITMAP premultiplied = nullptr;    // its 32-bit bitmap, ready for AlphaBlend
  POINT pressedAt = {};               // picture control: where a left press began
  bool dragPossible = false;          // ... and the drag has not been reported
  bool rightDoubleClicked = false;    // ... the next right release ends it
  int requestedHeight = 0;   // drop-down: the closed height asked for

  bool Exists() const { return hwnd != nullptr; }
};

class Window;

// Creates a visible child control of the window with the given class, text,
// styles and identity, gives it the default control font, and keeps it in
// the window. The control has no window handle when creation failed.
Control& CreateControl(Window& window, ControlKind kind, const wchar_t* className,
                       const wchar_t* text, DWORD style, DWORD exStyle,
                       Rect place, Identity id);

// Sends a message to the control, or does nothing (answering 0) when it has
// no window.
LRESULT SendToControl(const Control& control, UINT message, WPARAM wParam = 0,
                      LPARAM lParam = 0);

// Gives the control a font (WM_SETFONT with redraw); null means the
// system font.
void SetControlFont(Control& control, HFONT font);

// Moves and resizes the control in its window's client coordinates and
// repaints it.
void MoveControl(const Control& control, int x, int y, int width, int height);

}  // namespace korvane
