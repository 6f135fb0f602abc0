// MainWindow: the window with its eighteen controls, and the calculations'
// view of it (WindowTexts over the real controls).
#pragma once

#include <memory>

#include "core/day_offset.h"
#include "ui/fonts.h"
#include "ui/window.h"

namespace korvane {

inline constexpr Colour BackgroundColor = RGB(188, 216, 215);
inline constexpr Identity BeforeButtonId = 0;  // fixed; all others are non-zero

struct MainWindow;

// WindowTexts over MainWindow's fields, boxes and calendar.
class MainWindowTexts final : public WindowTexts {
 public:
  explicit MainWindowTexts(MainWindow& window) : window_(window) {}
  std::u16string GetText(TextControl control) override;
  void SetText(TextControl control, std::u16string_view text) override;
  DateValue GetCalendarDate() override;

 private:
  Control& ControlOf(TextControl control);
  MainWindow& window_;
};

struct MainWindow {
  std::unique_ptr<Window> window;
  Control* yearField = nullptr;
  Control* afterDaysField = nullptr;
  Control* afterResultField = nullptr;
  Control* afterLabel = nullptr;
  Control* validPeriodLabel = nullptr;
  Control* dayLabel = nullptr;
  Control* monthLabel = nullptr;
  Control* dayBox = nullptr;
  Control* beforeButton = nullptr;
  Control* beforeDaysField = nullptr;
  Control* beforeLabel = nullptr;
  Control* beforeResultField = nullptr;
  Control* calendar = nullptr;
  Control* afterButton = nullptr;
  Control* monthBox = nullptr;
  Control* bannerImage = nullptr;
  Control* logoImage = nullptr;
  Control* yearLabel = nullptr;
  MainWindowTexts texts{*this};
};

// Creates MainWindow with the given client size, centred and shown, and its
// controls in their fixed order. Null when the window cannot be created.
// The pictures may be null: their controls then show empty frames.
std::unique_ptr<MainWindow> BuildMainWindow(int x, int y, int width, int height,
                                            const Fonts& fonts, const Picture* banner,
                                            const Picture* logo);

}  // namespace korvane
