// A modal message box that holds every other window of the calling thread
// still while it is open.
#pragma once

#include <windows.h>

namespace korvane {

// Shows MessageBoxW owned by the foreground window when that window is this
// process's; the thread's other visible windows are disabled and lose their
// topmost place for as long as the box is open. Returns MessageBoxW's code.
int ShowMessageBox(const wchar_t* title, const wchar_t* message, UINT flags);

}  // namespace korvane
