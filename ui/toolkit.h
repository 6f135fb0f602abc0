// The GUI toolkit's process-wide part: preparation and release, the event
// loop's primitives, and the few helpers every control kind shares. One GUI
// thread uses all of it.
#pragma once

#include <windows.h>

#include "ui/event_queue.h"

namespace korvane {

// A 24-bit RGB value in COLORREF layout, or DefaultColour.
using Colour = std::int64_t;
inline constexpr Colour DefaultColour = -1;

class Window;

// What the toolkit prepares once at start-up.
struct Toolkit {
  int dpi = 96;                  // LOGPIXELSY of the display
  HICON classIcon = nullptr;     // icon resource 1 of the executable
  HCURSOR arrowCursor = nullptr;
  HFONT defaultFont = nullptr;   // the stock DEFAULT_GUI_FONT
  HMODULE msimg32 = nullptr;
  using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int,
                                           int, int, int, BLENDFUNCTION);
  AlphaBlendFunction alphaBlend = nullptr;  // null when msimg32 lacks it
  EventQueue queue;
  Event current;                 // the event WaitEvent returned last
  Identity lastIdentity = 0;
  bool comInitialized = false;
};

Toolkit& TheToolkit();

// Start-up preparation, in order: display dpi, AlphaBlend, the event queue,
// class icon and cursor, the common controls, the default font, COM.
void StartToolkit();
// Releases msimg32 and COM (windows, pictures and fonts go first).
void ReleaseAlphaBlend();
void StopToolkit();

// The next identity for a window or control: 1, 2, 3, ...
Identity NewIdentity();

// Appends an event to the queue.
void RaiseEvent(const Event& event);

// The next event's kind, or EventKind::None after dispatching one message.
// Blocks in GetMessageW without a time-out when the queue is empty.
EventKind WaitEvent();
Identity EventSource();
std::int64_t EventReport();

// Offered every retrieved message before it is dispatched; true when it was
// carried out as a keyboard shortcut. Set by the window that owns the table.
using ShortcutStep = bool (*)(MSG& message);
void SetShortcutStep(ShortcutStep step);

int ClientWidth(HWND window);

}  // namespace korvane
