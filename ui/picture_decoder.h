// The picture decoder: turns the bytes of a picture file (a Windows icon
// file, a BMP or a PNG) into something GDI can show. Portable: no platform
// headers, so it is tested and fuzzed natively as well as under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvane {

// A file larger than this is not decoded.
inline constexpr std::size_t MaxPictureFileBytes = 64u * 1024u * 1024u;
// A picture wider or taller than this (in pixels) is not decoded.
inline constexpr std::uint32_t MaxPictureSide = 16384;

enum class PictureKind {
  Bitmap,  // pixels holds a bottom-up DIB
  Icon,    // iconImage holds one icon image for CreateIconFromResourceEx
};

struct DecodedPicture {
  PictureKind kind = PictureKind::Bitmap;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // Bitmap: 24 (BGR) or 32 (BGRA, straight alpha). Icon: the colour depth of
  // the chosen image (32 for an image stored as PNG).
  std::uint16_t bitsPerPixel = 0;
  // Bitmap: bytes per stored row, width * bitsPerPixel / 8 rounded up to a
  // multiple of 4. Icon: 0.
  std::size_t stride = 0;
  // Bitmap: height rows of stride bytes, the bottom row of the picture first
  // (the layout of a DIB with a positive height). Icon: empty.
  std::vector<std::uint8_t> pixels;
  // Icon: the bytes of the chosen image of the icon file (a DIB with its
  // AND mask, or a PNG), checked to lie inside the file and to describe a
  // picture within the limits. Bitmap: empty.
  std::vector<std::uint8_t> iconImage;
};

// Decodes the picture in bytes[0, size). The format is recognised by content:
// an icon file (first two 16-bit words 0 and 1), then a BMP ("BM"), then a
// PNG (its 8-byte signature); the first format that accepts the data decodes
// it. Anything else, damaged data, a file over MaxPictureFileBytes or a
// picture over MaxPictureSide gives std::nullopt, never a partial picture.
// bytes may be null when size is 0.
std::optional<DecodedPicture> DecodePicture(const std::uint8_t* bytes,
                                            std::size_t size);

// Bytes per row of a DIB of the given width and depth (rounded up to 4).
constexpr std::size_t DibStride(std::uint32_t width, std::uint32_t bitsPerPixel) {
  return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

}  // namespace korvane
