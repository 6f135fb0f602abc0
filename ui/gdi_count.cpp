#include "ui/gdi_count.h"

namespace korvane {

namespace {
std::int64_t live = 0;  // the GUI thread's objects only
}  // namespace

std::int64_t LiveGdiObjects() { return live; }

UINT LiveGdiObjectsMessage() {
  static const UINT message = RegisterWindowMessageW(L"KorvaneDaysAfter.LiveGdiObjects");
  return message;
}

void gdi_count::Made() { ++live; }
void gdi_count::Freed() { --live; }

void DeleteCounted(HGDIOBJ object) {
  if (object != nullptr && DeleteObject(object)) gdi_count::Freed();
}

void DeleteCountedDC(HDC dc) {
  if (dc != nullptr && DeleteDC(dc)) gdi_count::Freed();
}

void ReleaseCountedDC(HWND window, HDC dc) {
  if (dc != nullptr && ReleaseDC(window, dc)) gdi_count::Freed();
}

void DestroyCountedIcon(HICON icon) {
  if (icon != nullptr && DestroyIcon(icon)) gdi_count::Freed();
}

}  // namespace korvane
