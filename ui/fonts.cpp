#include "ui/fonts.h"

#include <initializer_list>

#include "ui/gdi_count.h"

namespace korvane {

int FontHeight(int points, int dpi) { return -MulDiv(points, dpi, 72); }

HFONT CreatePlainFont(const wchar_t* face, int points, int dpi) {
  return Counted(CreateFontW(FontHeight(points, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face));
}

Fonts CreateFonts(int dpi) {
  Fonts fonts;
  fonts.mainFont = CreatePlainFont(L"Sans", 10, dpi);
  fonts.smallFont = CreatePlainFont(L"Sans", 9, dpi);
  fonts.calendarFont = CreatePlainFont(L"MS UI Gothic", 8, dpi);
  return fonts;
}

void ReleaseFonts(Fonts& fonts) {
  for (HFONT* font : {&fonts.mainFont, &fonts.smallFont, &fonts.calendarFont}) {
    DeleteCounted(*font);
    *font = nullptr;
  }
}

}  // namespace korvane
