#include "ui/picture_control.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ui/gdi_count.h"
#include "ui/window.h"

namespace korvane {

namespace {

// A copy of a 32-bit straight-alpha bitmap with its colours multiplied by
// alpha, the form AlphaBlend draws; null for any other picture.
HBITMAP PremultipliedCopy(const Picture* picture) {
  HBITMAP source = PictureBitmap(picture);
  if (source == nullptr || picture->bitsPerPixel != 32) return nullptr;
  DIBSECTION section = {};
  if (GetObjectW(source, sizeof section, &section) != sizeof section ||
      section.dsBm.bmBits == nullptr) {
    return nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader = section.dsBmih;
  void* bits = nullptr;
  HBITMAP copy = Counted(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (copy == nullptr) return nullptr;
  const std::size_t pixels = static_cast<std::size_t>(picture->width) * picture->height;
  const auto* from = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
  auto* to = static_cast<std::uint8_t*>(bits);
  for (std::size_t i = 0; i < pixels * 4; i += 4) {
    const unsigned alpha = from[i + 3];
    for (int channel = 0; channel < 3; ++channel) {
      to[i + channel] = static_cast<std::uint8_t>((from[i + channel] * alpha + 127) / 255);
    }
    to[i + 3] = static_cast<std::uint8_t>(alpha);
  }
  return copy;
}

void DrawPicture(const Control& control, HDC dc) {
  const Picture* picture = control.picture;
  if (HICON icon = PictureIcon(picture)) {
    DrawIconEx(dc, 0, 0, icon, picture->width, picture->height, 0, nullptr, DI_NORMAL);
    return;
  }
  const auto alphaBlend = TheToolkit().alphaBlend;
  const bool blend = control.premultiplied != nullptr && alphaBlend != nullptr;
  HBITMAP bitmap = blend ? control.premultiplied : PictureBitmap(picture);
  if (bitmap == nullptr) return;
  HDC memory = Counted(CreateCompatibleDC(dc));
  HGDIOBJ old = SelectObject(memory, bitmap);
  if (blend) {
    const BLENDFUNCTION perPixel = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    alphaBlend(dc, 0, 0, picture->width, picture->height, memory, 0, 0,
               picture->width, picture->height, perPixel);
  } else {
    BitBlt(dc, 0, 0, picture->width, picture->height, memory, 0, 0, SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteCountedDC(memory);
}

LRESULT OnPaint(HWND hwnd, const Control& control) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  // The static control's own background, then the picture over it.
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(hwnd)));
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
  DrawPicture(control, dc);
  EndPaint(hwnd, &paint);
  return 0;
}

// Reports to the parent as the static control reports its own clicks.
void Report(HWND hwnd, WORD report) {
  SendMessageW(GetParent(hwnd), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(hwnd), report), reinterpret_cast<LPARAM>(hwnd));
}

void OnLeftDown(HWND hwnd, Control& control, LPARAM where) {
  control.pressedAt = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  control.dragPossible = true;
  SetCapture(hwnd);  // a drag may leave the control
}

void OnMouseMove(HWND hwnd, Control& control, WPARAM keys, LPARAM where) {
  if (!control.dragPossible || (keys & MK_LBUTTON) == 0) return;
  const int dx = std::abs(static_cast<short>(LOWORD(where)) - control.pressedAt.x);
  const int dy = std::abs(static_cast<short>(HIWORD(where)) - control.pressedAt.y);
  if (dx <= GetSystemMetrics(SM_CXDRAG) && dy <= GetSystemMetrics(SM_CYDRAG)) return;
  control.dragPossible = false;
  Report(hwnd, PictureDragStart);
}

void OnLeftUp(HWND hwnd, Control& control) {
  control.dragPossible = false;
  if (GetCapture() == hwnd) ReleaseCapture();
}

void OnRightUp(HWND hwnd, Control& control) {
  if (control.rightDoubleClicked) {
    control.rightDoubleClicked = false;  // the release that ends a double click
    return;
  }
  Report(hwnd, PictureRightRelease);
}

void OnRightDoubleClick(HWND hwnd, Control& control) {
  control.rightDoubleClicked = true;
  Report(hwnd, PictureRightDoubleClick);
}

// The static control does the rest: STN_CLICKED on a left press and
// STN_DBLCLK on a left double click (it has SS_NOTIFY).
LRESULT CALLBACK PictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR data) {
  Control& control = *reinterpret_cast<Control*>(data);
  switch (message) {
    case WM_PAINT: return OnPaint(hwnd, control);
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills the whole client area
    case WM_LBUTTONDOWN: OnLeftDown(hwnd, control, lParam); break;
    case WM_MOUSEMOVE: OnMouseMove(hwnd, control, wParam, lParam); break;
    case WM_LBUTTONUP: OnLeftUp(hwnd, control); break;
    case WM_RBUTTONUP: OnRightUp(hwnd, control); break;
    case WM_RBUTTONDBLCLK: OnRightDoubleClick(hwnd, control); break;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, &PictureProcedure, 0); break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

Control& CreatePictureControl(Window& window, Rect place, const Picture* picture,
                              DWORD exStyle, Identity id) {
  Control& control = CreateControl(window, ControlKind::Picture, L"STATIC", L"",
                                   SS_NOTIFY, exStyle, place, id);
  if (!control.Exists()) return control;
  control.picture = picture;
  control.premultiplied = PremultipliedCopy(picture);
  SetWindowSubclass(control.hwnd, &PictureProcedure, 0, reinterpret_cast<DWORD_PTR>(&control));
  // The static control may already have painted itself (a font set with
  // redraw paints at once): paint again, this time with the picture.
  InvalidateRect(control.hwnd, nullptr, TRUE);
  if (picture != nullptr) {
    SetWindowPos(control.hwnd, nullptr, 0, 0, picture->width + 4, picture->height + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return control;
}

}  // namespace korvane
