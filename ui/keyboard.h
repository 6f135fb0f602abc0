// Keyboard focus for a window that is not a dialog box: Tab and Shift+Tab
// through a two-entry shortcut table, the rich-edit Tab exception, focus
// cues, and the focus remembered across deactivation.
#pragma once

#include <windows.h>

#include <vector>

namespace korvane {

class Window;

enum ShortcutCommand : WORD { FocusNextCommand = 1, FocusPreviousCommand = 2 };

// Tab gives FocusNext, Shift+Tab FocusPrevious.
HACCEL CreateShortcutTable();

// The shortcut step of WaitEvent: true when the message was carried out as
// a shortcut of the active window (which must be one of ours).
bool OfferToShortcuts(MSG& message);

// Carries out a command of the shortcut table.
void RunShortcutCommand(Window& window, WORD command);

// The enabled, visible WS_TABSTOP windows in creation order, each control
// followed by its own child windows.
std::vector<HWND> TabStops(const Window& window);

void FocusNext(Window& window);
void FocusPrevious(Window& window);

// On deactivation remembers the focused control and hides the focus cues;
// on activation gives the focus back to the remembered control.
void RememberOrRestoreFocus(Window& window, bool activated);

}  // namespace korvane
