// Picture files built in memory for the decoder and LoadPicture tests: PNGs
// through libpng's writer, BMPs and icon files byte by byte, and the damage
// the tests do to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/picture_decoder.h"

namespace korvane::test {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgba& c);

// The colour a test picture shows at (x, y), counted from its top-left pixel.
using PixelFn = std::function<Rgba(std::uint32_t x, std::uint32_t y)>;

// The pixel at (x, y) (from the top-left) of a decoded bitmap, read from its
// bottom-up BGR/BGRA rows; alpha is 255 for a 24-bit bitmap.
Rgba StoredPixel(const DecodedPicture& picture, std::uint32_t x, std::uint32_t y);

// ------------------------------------------------------------------ PNG --

struct PngPlan {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<Rgba> palette;                 // colour, for PNG_COLOR_TYPE_PALETTE
  std::vector<std::uint8_t> paletteAlpha;    // tRNS for a palette
  std::optional<std::uint16_t> transparentGrey;
  std::optional<Rgba> transparentRgb;        // tRNS for RGB (8-bit values)
  // The stored samples of pixel (x, y): one per channel, at bitDepth bits.
  std::function<std::vector<std::uint16_t>(std::uint32_t x, std::uint32_t y)> samples;
};

// The PNG file libpng writes for plan (empty when libpng refuses it).
Bytes EncodePng(const PngPlan& plan);

// An 8-bit RGB or RGBA PNG of pixel(x, y).
Bytes SimplePng(std::uint32_t width, std::uint32_t height, const PixelFn& pixel, bool alpha,
                bool interlaced = false);

// Offset of the first chunk of the given type (its length field), or npos.
std::size_t FindChunk(const Bytes& png, const char type[4]);

// Recomputes the CRC of the chunk whose length field is at offset.
void FixChunkCrc(Bytes& png, std::size_t offset);

// ------------------------------------------------------------------ BMP --

struct BmpPlan {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows stored top-down
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;          // BI_RGB
  std::uint32_t headerSize = 40;          // 12 (core), 40, 108, 124
  std::vector<Rgba> palette;              // 1/4/8-bit
  std::vector<std::uint32_t> masks;       // BI_BITFIELDS: red, green, blue[, alpha]
  // The stored value of pixel (x, y): a palette index for 1/4/8-bit, a 16 or
  // 32-bit word for 16/32-bit; 24-bit uses colour.
  std::function<std::uint32_t(std::uint32_t x, std::uint32_t y)> value;
  PixelFn colour;
  Bytes runLengthData;                    // BI_RLE8 / BI_RLE4: the coded pixels
};

Bytes EncodeBmp(const BmpPlan& plan);

// ----------------------------------------------------------------- Icon --

// One image of an icon file as stored: a DIB (header with doubled height,
// bottom-up BGRA rows, zero AND mask) of pixel(x, y).
Bytes IconDib32(std::uint32_t width, std::uint32_t height, const PixelFn& pixel);
// An 8-bit DIB image with a palette of 256 greys, showing index (x + y) % 256.
Bytes IconDib8(std::uint32_t width, std::uint32_t height);

struct IconEntry {
  Bytes image;
  std::uint8_t width = 0;   // 0 means 256
  std::uint8_t height = 0;
  std::uint16_t bitCount = 32;
};

// An icon file: directory, entries, then the images in order.
Bytes EncodeIcon(const std::vector<IconEntry>& entries);

// Offsets of one icon directory entry's fields.
inline constexpr std::size_t IconEntryOffset(std::size_t index) { return 6 + 16 * index; }

// ---------------------------------------------------------------- Edits --

Bytes Patched32(Bytes bytes, std::size_t offset, std::uint32_t value);
Bytes Patched16(Bytes bytes, std::size_t offset, std::uint16_t value);
Bytes Truncated(Bytes bytes, std::size_t size);

// The test pattern: every pixel differs from its neighbours in each channel,
// so a flipped, mirrored or channel-swapped picture shows.
Rgba Pattern(std::uint32_t x, std::uint32_t y);
// Pattern with a varying alpha.
Rgba PatternAlpha(std::uint32_t x, std::uint32_t y);

}  // namespace korvane::test
