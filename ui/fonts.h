// The window's three fonts, made from point sizes at the display's dpi.
#pragma once

#include <windows.h>

namespace korvane {

struct Fonts {
  HFONT mainFont = nullptr;      // FontMain: "Sans" 10 pt
  HFONT smallFont = nullptr;     // FontSmall: "Sans" 9 pt
  HFONT calendarFont = nullptr;  // FontCalendar: "MS UI Gothic" 8 pt
};

// -MulDiv(points, dpi, 72): the character height in pixels, negated.
int FontHeight(int points, int dpi);

// A plain font (normal weight, default charset and qualities) of the face;
// null when it cannot be made.
HFONT CreatePlainFont(const wchar_t* face, int points, int dpi);

// FontMain, FontSmall, FontCalendar, in that order.
Fonts CreateFonts(int dpi);
void ReleaseFonts(Fonts& fonts);

}  // namespace korvane
