#include "ui/program.h"

#include "ui/about_box.h"
#include "ui/keyboard.h"

namespace korvane {

bool HandleEvent(MainWindow& main, EventKind kind) {
  switch (kind) {
    case EventKind::ControlEvent: {
      const Identity source = EventSource();
      if (source == BeforeButtonId) CalculateDaysBefore(main.texts);
      else if (source == main.afterButton->id) CalculateDaysAfter(main.texts);
      else if (source == main.logoImage->id) ShowAboutBox(EventReport());
      return true;
    }
    case EventKind::CloseRequest: return false;
    case EventKind::SizeEvent: OnWindowSized(main); return true;
    default: return true;
  }
}

void OnWindowSized(MainWindow& main) {
  const int width = ClientWidth(main.window->Handle()) - 630;
  MoveControl(*main.afterResultField, 230, 160, width, 35);
}

int RunProgram() {
  StartToolkit();
  SetShortcutStep(&OfferToShortcuts);
  PicturePtr logo(LoadPicture(LogoPicturePath));
  PicturePtr banner(LoadPicture(BannerPicturePath));
  Fonts fonts = CreateFonts(TheToolkit().dpi);
  std::unique_ptr<MainWindow> main =
      BuildMainWindow(40, 40, 790, 400, fonts, banner.get(), logo.get());
  // Without a window there is nothing to close: end at once rather than
  // wait for events that can never come.
  if (main != nullptr) {
    PrefillFromCalendar(main->texts);
    while (HandleEvent(*main, WaitEvent())) {
    }
  }
  main.reset();  // the window and its controls, before what they show
  logo.reset();
  banner.reset();
  ReleaseAlphaBlend();
  ReleaseFonts(fonts);
  StopToolkit();
  return 0;
}

}  // namespace korvane
