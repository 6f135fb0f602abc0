// How MainWindow looks: the controls' fonts at the display's dpi, the text
// fields' colours, the labels' colour answers and the window's background.
#include <windows.h>

#include <richedit.h>

#include <cwchar>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/text_field.h"

namespace korvane::uitest {
namespace {

enum class Font { Main, Small, Calendar, Default };

const char* FontName(Font font) {
  switch (font) {
    case Font::Main: return "FontMain";
    case Font::Small: return "FontSmall";
    case Font::Calendar: return "FontCalendar";
    case Font::Default: break;
  }
  return "the default font";
}

// Character heights in pixels (negative: the em height) at the dpis the
// runs use.
struct Heights {
  int dpi, main, small, calendar;
};
constexpr Heights KnownHeights[] = {{96, -13, -12, -11}, {120, -17, -15, -13}};

struct ExpectedFont {
  std::wstring face;
  int height;
};

ExpectedFont Expected(Font font) {
  const Heights* heights = nullptr;
  for (const Heights& h : KnownHeights) {
    if (h.dpi == TheToolkit().dpi) heights = &h;
  }
  if (heights == nullptr) {
    ADD_FAILURE() << "no font heights known for " << TheToolkit().dpi << " dpi";
    return {L"?", 0};
  }
  switch (font) {
    case Font::Main: return {L"Sans", heights->main};
    case Font::Small: return {L"Sans", heights->small};
    case Font::Calendar: return {L"MS UI Gothic", heights->calendar};
    case Font::Default: break;
  }
  LOGFONTW stock = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
  return {stock.lfFaceName, stock.lfHeight};
}

HFONT Handle(Font font) {
  switch (font) {
    case Font::Main: return TestFonts().mainFont;
    case Font::Small: return TestFonts().smallFont;
    case Font::Calendar: return TestFonts().calendarFont;
    case Font::Default: break;
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

struct FontRow {
  const char* name;
  Control* MainWindow::*member;
  Font font;
};

using Look = MainWindowTest;

TEST_F(Look, ControlsUseTheirFonts) {
  const FontRow rows[] = {
      {"AfterLabel", &MainWindow::afterLabel, Font::Default},
      {"ValidPeriodLabel", &MainWindow::validPeriodLabel, Font::Small},
      {"DayLabel", &MainWindow::dayLabel, Font::Small},
      {"MonthLabel", &MainWindow::monthLabel, Font::Small},
      {"DayBox", &MainWindow::dayBox, Font::Default},
      {"BeforeButton", &MainWindow::beforeButton, Font::Main},
      {"BeforeLabel", &MainWindow::beforeLabel, Font::Default},
      {"Calendar", &MainWindow::calendar, Font::Calendar},
      {"AfterButton", &MainWindow::afterButton, Font::Main},
      {"MonthBox", &MainWindow::monthBox, Font::Main},
      {"YearLabel", &MainWindow::yearLabel, Font::Default},
  };
  for (const FontRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.name << " with " << FontName(row.font) << " at "
                                      << TheToolkit().dpi << " dpi");
    const Control& control = *(main_.get()->*row.member);
    auto font = reinterpret_cast<HFONT>(SendToControl(control, WM_GETFONT));
    EXPECT_EQ(font, Handle(row.font));
    LOGFONTW shown = {};
    ASSERT_NE(GetObjectW(font, sizeof shown, &shown), 0);
    const ExpectedFont expected = Expected(row.font);
    EXPECT_EQ(std::wstring(shown.lfFaceName), expected.face) << Narrow(shown.lfFaceName);
    EXPECT_EQ(shown.lfHeight, expected.height);
  }
}

// A rich edit keeps no font handle: its default character format holds the
// face, and the size in twips.
TEST_F(Look, TextFieldsUseTheirFontsAndColours) {
  constexpr Colour Auto = DefaultColour;
  struct FieldRow {
    const char* name;
    Control* MainWindow::*member;
    Font font;
    Colour colour;
  };
  const FieldRow rows[] = {
      {"YearField", &MainWindow::yearField, Font::Main, Auto},
      {"AfterDaysField", &MainWindow::afterDaysField, Font::Main, RGB(27, 15, 13)},
      {"AfterResultField", &MainWindow::afterResultField, Font::Default, RGB(0, 0, 0)},
      {"BeforeDaysField", &MainWindow::beforeDaysField, Font::Default, Auto},
      {"BeforeResultField", &MainWindow::beforeResultField, Font::Default, RGB(0, 0, 0)},
  };
  for (const FieldRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.name << " with " << FontName(row.font) << " at "
                                      << TheToolkit().dpi << " dpi");
    Control& field = *(main_.get()->*row.member);
    // The format for what is typed later, and that of a text written whole.
    SetFieldText(field, u"2019/06/30");
    SendToControl(field, EM_SETSEL, 0, -1);
    for (WPARAM which : {WPARAM{SCF_DEFAULT}, WPARAM{SCF_SELECTION}}) {
      SCOPED_TRACE(which == SCF_DEFAULT ? "default format" : "written text");
      CHARFORMAT2W format = {};
      format.cbSize = sizeof format;
      SendToControl(field, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
      const ExpectedFont expected = Expected(row.font);
      EXPECT_EQ(std::wstring(format.szFaceName), expected.face) << Narrow(format.szFaceName);
      EXPECT_EQ(MulDiv(format.yHeight, TheToolkit().dpi, 1440), -expected.height)
          << format.yHeight << " twips";
      if (row.colour == Auto) {
        EXPECT_NE(format.dwEffects & CFE_AUTOCOLOR, 0u);
      } else {
        EXPECT_EQ(format.dwEffects & CFE_AUTOCOLOR, 0u);
        EXPECT_EQ(format.crTextColor, static_cast<COLORREF>(row.colour));
      }
    }
  }
}

// The window answers WM_CTLCOLORSTATIC for its labels; the test asks it
// with a memory DC of its own.
TEST_F(Look, LabelsGetTheirColoursFromTheWindow) {
  constexpr Colour Background = RGB(188, 216, 215);
  struct LabelRow {
    const char* name;
    Control* MainWindow::*member;
    Colour text, background;  // DefaultColour: DefWindowProc's answer
  };
  const LabelRow rows[] = {
      {"AfterLabel", &MainWindow::afterLabel, RGB(70, 70, 70), Background},
      {"BeforeLabel", &MainWindow::beforeLabel, RGB(0, 0, 0), Background},
      {"ValidPeriodLabel", &MainWindow::validPeriodLabel, DefaultColour, DefaultColour},
      {"DayLabel", &MainWindow::dayLabel, DefaultColour, DefaultColour},
      {"MonthLabel", &MainWindow::monthLabel, DefaultColour, DefaultColour},
      {"YearLabel", &MainWindow::yearLabel, DefaultColour, DefaultColour},
      {"LogoImage", &MainWindow::logoImage, DefaultColour, DefaultColour},
  };
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  struct Answer {
    HBRUSH brush;
    COLORREF text, background;
  };
  auto ask = [&](HWND label, bool defaultAnswer) {
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const auto wParam = reinterpret_cast<WPARAM>(dc);
    const auto lParam = reinterpret_cast<LPARAM>(label);
    const LRESULT brush = defaultAnswer ? DefWindowProcW(MainHandle(), WM_CTLCOLORSTATIC, wParam, lParam)
                                        : SendMessageW(MainHandle(), WM_CTLCOLORSTATIC, wParam, lParam);
    return Answer{reinterpret_cast<HBRUSH>(brush), GetTextColor(dc), GetBkColor(dc)};
  };
  for (const LabelRow& row : rows) {
    SCOPED_TRACE(row.name);
    HWND label = (main_.get()->*row.member)->hwnd;
    const Answer answer = ask(label, false);
    if (row.text == DefaultColour) {
      const Answer platform = ask(label, true);
      EXPECT_EQ(answer.brush, platform.brush);
      EXPECT_EQ(answer.text, platform.text);
      EXPECT_EQ(answer.background, platform.background);
      continue;
    }
    EXPECT_EQ(answer.text, static_cast<COLORREF>(row.text));
    EXPECT_EQ(answer.background, static_cast<COLORREF>(row.background));
    LOGBRUSH brush = {};
    ASSERT_NE(GetObjectW(answer.brush, sizeof brush, &brush), 0) << "a brush";
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(row.background));
  }
  DeleteDC(dc);
}

TEST_F(Look, ErasingFillsTheClientAreaWithTheBackgroundColour) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 790, -400, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 790, 400};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_NE(SendMessageW(MainHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
  GdiFlush();
  for (POINT p : {POINT{0, 0}, POINT{789, 399}, POINT{450, 290}, POINT{10, 380}}) {
    EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(188, 216, 215)) << "at " << p.x << "," << p.y;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

}  // namespace
}  // namespace korvane::uitest
