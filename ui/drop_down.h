// The editable drop-down box: an edit part the user types into, and a list
// of items to choose from.
#pragma once

#include <string>
#include <string_view>

#include "ui/control.h"

namespace korvane {

class Window;

// Empty, with a tab stop on its edit part; created 60 pixels tall with
// visual styles on and 350 with them off, then its closed height is fitted
// to place.height.
Control& CreateDropDown(Window& window, Rect place, Identity id);

// Adds an item at the end of the (unsorted) list.
void AppendItem(Control& box, std::wstring_view item);

// Makes the closed box exactly as tall as asked, whatever its font.
void FitClosedHeight(Control& box);

// Keeps the list-choice flag up to date from a notification; true for the
// notifications the box reports as events (a list choice, typing, focus).
bool DropDownReports(Control& box, WORD notification);

// The edit part's text; right after a list choice (nothing typed since),
// the chosen item's text, or "" when none is selected.
std::u16string DropDownText(const Control& box);
// Puts the text into the edit part as it is; selects no item.
void SetDropDownText(Control& box, std::u16string_view text);

// The box's edit part (null when there is none).
HWND DropDownEdit(const Control& box);

}  // namespace korvane
