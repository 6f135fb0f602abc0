// LoadPicture: a picture file (icon file, BMP or PNG, told apart by content)
// as a GDI object the window can show.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/picture_decoder.h"

namespace korvane {

struct Picture {
  PictureKind kind = PictureKind::Bitmap;
  // PictureKind::Bitmap: an HBITMAP (a DIB section, bottom-up, 24-bit BGR or
  // 32-bit BGRA with straight alpha). PictureKind::Icon: an HICON.
  HANDLE handle = nullptr;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};

// The picture in the file at path, or null when the file cannot be opened or
// read (missing, a folder, locked, empty), is larger than
// MaxPictureFileBytes, or holds no picture DecodePicture accepts. Release
// the result with ReleasePicture.
Picture* LoadPicture(const wchar_t* path);

// The bitmap of a bitmap picture; null for an icon or a null picture.
HBITMAP PictureBitmap(const Picture* picture);

// The icon of an icon picture; null for a bitmap or a null picture.
HICON PictureIcon(const Picture* picture);

// Frees the GDI object and the record. Null is allowed.
void ReleasePicture(Picture* picture);

struct PictureRelease {
  void operator()(Picture* picture) const { ReleasePicture(picture); }
};
using PicturePtr = std::unique_ptr<Picture, PictureRelease>;

}  // namespace korvane
