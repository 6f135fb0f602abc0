// The GDI objects the toolkit holds, counted as it makes and frees them.
// The platform's own count (GetGuiResources) does not answer everywhere, and
// a leak check needs a figure that does; MainWindow answers it on request.
#pragma once

#include <windows.h>

#include <cstdint>

namespace korvane {

// The count of the toolkit's live GDI objects (brushes, fonts, bitmaps,
// icons and device contexts).
std::int64_t LiveGdiObjects();

// The message that MainWindow answers with LiveGdiObjects(), for tests
// driving the program from another process.
UINT LiveGdiObjectsMessage();

namespace gdi_count {
void Made();
void Freed();
}  // namespace gdi_count

// Counts a newly made object (when it was made) and hands it back.
template <typename Handle>
Handle Counted(Handle made) {
  if (made != nullptr) gdi_count::Made();
  return made;
}

// Frees a counted object; null is allowed.
void DeleteCounted(HGDIOBJ object);
void DeleteCountedDC(HDC dc);
void ReleaseCountedDC(HWND window, HDC dc);
void DestroyCountedIcon(HICON icon);

}  // namespace korvane
