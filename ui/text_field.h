// The text field: a multi-line rich edit control that the user types into
// and the calculations read and write whole.
#pragma once

#include <string>
#include <string_view>

#include "ui/control.h"

namespace korvane {

class Window;

// Empty, with no text limit and change notifications on. With visual styles
// off it has a client edge; with them on, the themed edit frame and a text
// area inset by that frame's content margin plus one pixel.
Control& CreateTextField(Window& window, Rect place, Identity id);

// Slot 1: the colour of all the field's text, now and later; DefaultColour
// is the platform's automatic colour.
void SetTextColour(Control& field, Colour colour);
// Applies slot 1 again (a new font resets the character format).
void KeepTextColour(Control& field);

// Appends a line at the end, after a line break when the field is not
// empty; the insertion can be undone.
void AppendLine(Control& field, std::wstring_view line);

// The whole text, every line of it.
std::u16string FieldText(const Control& field);
// Replaces the whole text, showing it from its start; "" clears the field.
void SetFieldText(Control& field, std::u16string_view text);

}  // namespace korvane
