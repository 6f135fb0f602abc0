// Start-up, the event loop, the dispatcher and shutdown.
#pragma once

#include "ui/main_window.h"

namespace korvane {

// The two pictures, read once at start-up; either may be missing.
inline constexpr wchar_t LogoPicturePath[] =
    L"D:\\KorvaneDateCalcXdaysAfterGUI-SRC/KorvaneLogoNeon100x49.png";
inline constexpr wchar_t BannerPicturePath[] =
    L"D:\\KorvaneDateCalcXdaysAfterGUI-SRC\\KorvaneHizukeGUILogo.png";

// Runs the program from start-up to shutdown; the exit code is always 0.
int RunProgram();

// Turns the current event into its one call; false only for CloseRequest.
bool HandleEvent(MainWindow& main, EventKind kind);

// Gives AfterResultField the width of the client area less 630.
void OnWindowSized(MainWindow& main);

}  // namespace korvane
