// DecodePicture over a table of picture files: every PNG colour type and
// depth the program may meet, BMPs, icon files, files of other formats, and
// damaged or lying files. Runs natively and, cross-built, under Wine.
#include <gtest/gtest.h>
#include <png.h>

#include <string>

#include "tests/picture/picture_fixtures.h"
#include "ui/picture_decoder.h"

namespace korvane::test {
namespace {

struct Expected {
  PictureKind kind = PictureKind::Bitmap;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bitsPerPixel = 0;
  PixelFn pixel;  // bitmaps: the colour of every pixel, from the top-left
};

struct DecodeCase {
  std::string name;
  std::function<Bytes()> make;
  std::optional<Expected> expected;  // nullopt: no picture
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

Expected Bitmap(std::uint32_t width, std::uint32_t height, std::uint16_t bpp, PixelFn pixel) {
  return Expected{PictureKind::Bitmap, width, height, bpp, std::move(pixel)};
}

Rgba Grey(std::uint8_t v, std::uint8_t a = 255) { return Rgba{v, v, v, a}; }

// Samples of one channel per pixel (grey or palette index).
PngPlan OneChannel(int colorType, int depth, std::uint32_t width, std::uint32_t height,
                   std::function<std::uint16_t(std::uint32_t, std::uint32_t)> value) {
  PngPlan plan;
  plan.width = width;
  plan.height = height;
  plan.colorType = colorType;
  plan.bitDepth = depth;
  plan.samples = [value](std::uint32_t x, std::uint32_t y) { return std::vector<std::uint16_t>{value(x, y)}; };
  return plan;
}

// The 16 palette colours of the palette tests: index i is Pattern(i, 0).
std::vector<Rgba> TestPalette(std::size_t count) {
  std::vector<Rgba> palette;
  for (std::size_t i = 0; i < count; ++i) palette.push_back(Pattern(static_cast<std::uint32_t>(i), 0));
  return palette;
}

std::uint32_t Index(std::uint32_t x, std::uint32_t y, std::uint32_t colours) { return (x + 2 * y) % colours; }

// A palette PNG of depth bits showing index (x + 2y) mod the palette size.
Bytes PalettePng(int depth, std::vector<std::uint8_t> alpha = {}) {
  const std::uint32_t colours = 1u << depth;
  PngPlan plan = OneChannel(PNG_COLOR_TYPE_PALETTE, depth, 7, 3, [colours](std::uint32_t x, std::uint32_t y) {
    return static_cast<std::uint16_t>(Index(x, y, colours));
  });
  plan.palette = TestPalette(colours);
  plan.paletteAlpha = std::move(alpha);
  return EncodePng(plan);
}

PixelFn PaletteColour(int depth) {
  return [depth](std::uint32_t x, std::uint32_t y) { return Pattern(Index(x, y, 1u << depth), 0); };
}

// A grey PNG of depth bits showing (x + y) mod the grey range.
Bytes GreyPng(int depth) {
  const std::uint32_t levels = 1u << depth;
  return EncodePng(OneChannel(PNG_COLOR_TYPE_GRAY, depth, 9, 2, [levels](std::uint32_t x, std::uint32_t y) {
    return static_cast<std::uint16_t>((x + y) % levels);
  }));
}

// The grey expected of GreyPng: the level scaled to 0..255.
PixelFn GreyLevel(int depth) {
  return [depth](std::uint32_t x, std::uint32_t y) {
    const std::uint32_t levels = 1u << depth;
    return Grey(static_cast<std::uint8_t>((x + y) % levels * 255 / (levels - 1)));
  };
}

Bytes Rgb16Png() {
  PngPlan plan;
  plan.width = 4;
  plan.height = 3;
  plan.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  plan.bitDepth = 16;
  // Each 16-bit sample repeats its 8-bit value in both bytes.
  plan.samples = [](std::uint32_t x, std::uint32_t y) {
    const Rgba c = PatternAlpha(x, y);
    return std::vector<std::uint16_t>{static_cast<std::uint16_t>(c.r * 257), static_cast<std::uint16_t>(c.g * 257),
                                      static_cast<std::uint16_t>(c.b * 257), static_cast<std::uint16_t>(c.a * 257)};
  };
  return EncodePng(plan);
}

Bytes Grey16Png() {
  return EncodePng(OneChannel(PNG_COLOR_TYPE_GRAY, 16, 3, 2, [](std::uint32_t x, std::uint32_t y) {
    return static_cast<std::uint16_t>((40 * x + 100 * y) * 257);
  }));
}

Bytes GreyAlphaPng() {
  PngPlan plan;
  plan.width = 5;
  plan.height = 3;
  plan.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  plan.samples = [](std::uint32_t x, std::uint32_t y) {
    return std::vector<std::uint16_t>{static_cast<std::uint16_t>(10 + 50 * x), static_cast<std::uint16_t>(255 - 60 * y)};
  };
  return EncodePng(plan);
}

// RGB with the colour of pixel (1, 1) made transparent by tRNS.
Bytes RgbTrnsPng() {
  PngPlan plan;
  plan.width = 4;
  plan.height = 3;
  plan.colorType = PNG_COLOR_TYPE_RGB;
  plan.transparentRgb = Pattern(1, 1);
  plan.samples = [](std::uint32_t x, std::uint32_t y) {
    const Rgba c = Pattern(x, y);
    return std::vector<std::uint16_t>{c.r, c.g, c.b};
  };
  return EncodePng(plan);
}

Bytes GreyTrnsPng() {
  PngPlan plan = OneChannel(PNG_COLOR_TYPE_GRAY, 4, 4, 4, [](std::uint32_t x, std::uint32_t y) {
    return static_cast<std::uint16_t>(x + 4 * y);
  });
  plan.transparentGrey = 5;
  return EncodePng(plan);
}

// A grey 1-bit PNG of the given size (small however large it claims to be).
Bytes WidePng(std::uint32_t width, std::uint32_t height) {
  return EncodePng(OneChannel(PNG_COLOR_TYPE_GRAY, 1, width, height,
                              [](std::uint32_t x, std::uint32_t) { return static_cast<std::uint16_t>(x % 2); }));
}

Bytes Rgb5x3() { return SimplePng(5, 3, Pattern, false); }

// The PNG with one byte of a chunk's data changed and its CRC left alone.
Bytes DamagedChunk(const char type[4]) {
  Bytes png = Rgb5x3();
  png.at(FindChunk(png, type) + 8) ^= 0x01;
  return png;
}

// The PNG whose header claims the given size, with a correct CRC.
Bytes ResizedHeader(std::uint32_t width, std::uint32_t height) {
  Bytes png = Rgb5x3();
  const std::size_t ihdr = FindChunk(png, "IHDR");
  for (int i = 0; i < 4; ++i) {
    png.at(ihdr + 8 + i) = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    png.at(ihdr + 12 + i) = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  FixChunkCrc(png, ihdr);
  return png;
}

std::vector<DecodeCase> PngCases() {
  const PixelFn opaque = Pattern;
  return {
      {"png_rgb", Rgb5x3, Bitmap(5, 3, 24, opaque)},
      {"png_rgba", [] { return SimplePng(5, 3, PatternAlpha, true); }, Bitmap(5, 3, 32, PatternAlpha)},
      {"png_rgb_interlaced", [] { return SimplePng(9, 9, Pattern, false, true); }, Bitmap(9, 9, 24, opaque)},
      {"png_rgba_interlaced", [] { return SimplePng(10, 7, PatternAlpha, true, true); },
       Bitmap(10, 7, 32, PatternAlpha)},
      {"png_rgba_16bit", Rgb16Png, Bitmap(4, 3, 32, PatternAlpha)},
      {"png_grey_16bit", Grey16Png,
       Bitmap(3, 2, 24, [](std::uint32_t x, std::uint32_t y) { return Grey(static_cast<std::uint8_t>(40 * x + 100 * y)); })},
      {"png_palette_8bit", [] { return PalettePng(8); }, Bitmap(7, 3, 24, PaletteColour(8))},
      {"png_palette_4bit", [] { return PalettePng(4); }, Bitmap(7, 3, 24, PaletteColour(4))},
      {"png_palette_2bit", [] { return PalettePng(2); }, Bitmap(7, 3, 24, PaletteColour(2))},
      {"png_palette_1bit", [] { return PalettePng(1); }, Bitmap(7, 3, 24, PaletteColour(1))},
      // tRNS covers indices 0..2; later indices stay opaque.
      {"png_palette_trns", [] { return PalettePng(2, {0, 128, 255}); },
       Bitmap(7, 3, 32,
              [](std::uint32_t x, std::uint32_t y) {
                const std::uint32_t i = Index(x, y, 4);
                Rgba c = Pattern(i, 0);
                c.a = i == 0 ? 0 : i == 1 ? 128 : 255;
                return c;
              })},
      {"png_grey_8bit", [] { return GreyPng(8); }, Bitmap(9, 2, 24, GreyLevel(8))},
      {"png_grey_4bit", [] { return GreyPng(4); }, Bitmap(9, 2, 24, GreyLevel(4))},
      {"png_grey_2bit", [] { return GreyPng(2); }, Bitmap(9, 2, 24, GreyLevel(2))},
      {"png_grey_1bit", [] { return GreyPng(1); }, Bitmap(9, 2, 24, GreyLevel(1))},
      {"png_grey_alpha", GreyAlphaPng,
       Bitmap(5, 3, 32,
              [](std::uint32_t x, std::uint32_t y) {
                return Grey(static_cast<std::uint8_t>(10 + 50 * x), static_cast<std::uint8_t>(255 - 60 * y));
              })},
      {"png_grey_trns", GreyTrnsPng,
       Bitmap(4, 4, 32,
              [](std::uint32_t x, std::uint32_t y) {
                const std::uint32_t level = x + 4 * y;
                return Grey(static_cast<std::uint8_t>(level * 17), level == 5 ? 0 : 255);
              })},
      {"png_rgb_trns", RgbTrnsPng,
       Bitmap(4, 3, 32,
              [](std::uint32_t x, std::uint32_t y) {
                Rgba c = Pattern(x, y);
                c.a = (x == 1 && y == 1) ? 0 : 255;
                return c;
              })},
      {"png_16384_wide", [] { return WidePng(16384, 1); },
       Bitmap(16384, 1, 24, [](std::uint32_t x, std::uint32_t) { return Grey(x % 2 ? 255 : 0); })},
      {"png_16385_wide", [] { return WidePng(16385, 1); }, std::nullopt},
      {"png_16385_tall", [] { return WidePng(1, 16385); }, std::nullopt},
      // Claims 16384 x 16384 over a few bytes of pixel data.
      {"png_header_claims_huge_size", [] { return ResizedHeader(16384, 16384); }, std::nullopt},
      {"png_header_claims_zero_width", [] { return ResizedHeader(0, 3); }, std::nullopt},
      {"png_damaged_ihdr_crc", [] { return DamagedChunk("IHDR"); }, std::nullopt},
      {"png_damaged_idat_crc", [] { return DamagedChunk("IDAT"); }, std::nullopt},
      {"png_signature_only", [] { return Truncated(Rgb5x3(), 8); }, std::nullopt},
      {"png_cut_after_ihdr", [] { return Truncated(Rgb5x3(), 33); }, std::nullopt},
      {"png_cut_inside_idat", [] {
         Bytes png = Rgb5x3();
         return Truncated(png, FindChunk(png, "IDAT") + 8 + 10);
       }, std::nullopt},
      {"png_signature_short_by_one", [] { return Truncated(Rgb5x3(), 7); }, std::nullopt},
  };
}

// ------------------------------------------------------------------ BMP --

BmpPlan Bmp24(std::int32_t width, std::int32_t height) {
  BmpPlan plan;
  plan.width = width;
  plan.height = height;
  plan.colour = Pattern;
  return plan;
}

BmpPlan BmpIndexed(std::uint16_t bpp, std::size_t colours) {
  BmpPlan plan;
  plan.width = 7;
  plan.height = 3;
  plan.bitsPerPixel = bpp;
  plan.palette = TestPalette(colours);
  plan.value = [bpp](std::uint32_t x, std::uint32_t y) { return Index(x, y, 1u << bpp); };
  return plan;
}

PixelFn IndexedColour(std::uint16_t bpp, std::size_t colours) {
  return [bpp, colours](std::uint32_t x, std::uint32_t y) {
    const std::uint32_t i = Index(x, y, 1u << bpp);
    return i < colours ? Pattern(i, 0) : Rgba{0, 0, 0, 255};
  };
}

BmpPlan Bmp32(std::uint32_t compression, std::vector<std::uint32_t> masks, std::uint32_t headerSize,
              std::function<std::uint32_t(std::uint32_t, std::uint32_t)> value) {
  BmpPlan plan;
  plan.width = 3;
  plan.height = 2;
  plan.bitsPerPixel = 32;
  plan.compression = compression;
  plan.masks = std::move(masks);
  plan.headerSize = headerSize;
  plan.value = std::move(value);
  return plan;
}

std::uint32_t Xrgb(const Rgba& c, std::uint8_t a) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

// 16-bit 5-5-5 pixels: each channel at 0, 16 or 31 of 31.
std::uint32_t Level5(std::uint32_t x, std::uint32_t y) { return (x + y) % 3 == 0 ? 0 : (x + y) % 3 == 1 ? 16 : 31; }
std::uint8_t Level5To8(std::uint32_t level) { return level == 0 ? 0 : level == 16 ? 132 : 255; }

// Run-length 8-bit data for a 4 x 3 picture: bottom row a run of index 1,
// then a literal row 2 3 1 2, then a delta skipping the top row's first two
// pixels, which stay index 0, a run of two 3s, end of picture.
Bytes Rle8Data() {
  return {4, 1, 0, 0,  0, 4, 2, 3, 1, 2,  0, 0,  0, 2, 2, 0,  2, 3,  0, 1};
}

// The picture both run-length rows decode to (palette indices, top row first).
PixelFn RleColour() {
  return [](std::uint32_t x, std::uint32_t y) {
    static const std::uint32_t rows[3][4] = {{0, 0, 3, 3}, {2, 3, 1, 2}, {1, 1, 1, 1}};
    return Pattern(rows[y][x], 0);
  };
}

std::vector<DecodeCase> BmpCases() {
  const PixelFn opaque = Pattern;
  const std::uint32_t off = 10, headerSize = 14, width = 18, height = 22, bpp = 28, colours = 46;
  return {
      {"bmp_24bit_bottom_up", [] { return EncodeBmp(Bmp24(5, 3)); }, Bitmap(5, 3, 24, opaque)},
      {"bmp_24bit_top_down", [] { return EncodeBmp(Bmp24(5, -3)); }, Bitmap(5, 3, 24, opaque)},
      {"bmp_24bit_core_header", [] {
         BmpPlan plan = Bmp24(3, 2);
         plan.headerSize = 12;
         return EncodeBmp(plan);
       }, Bitmap(3, 2, 24, opaque)},
      {"bmp_32bit_alpha", [] {
         return EncodeBmp(Bmp32(0, {}, 40, [](std::uint32_t x, std::uint32_t y) {
           return Xrgb(PatternAlpha(x, y), PatternAlpha(x, y).a);
         }));
       }, Bitmap(3, 2, 32, PatternAlpha)},
      // The fourth byte all zero: an opaque picture, not an invisible one.
      {"bmp_32bit_unused_alpha", [] {
         return EncodeBmp(Bmp32(0, {}, 40, [](std::uint32_t x, std::uint32_t y) { return Xrgb(Pattern(x, y), 0); }));
       }, Bitmap(3, 2, 32, opaque)},
      {"bmp_32bit_bitfields_v5", [] {
         // Channels stored as R G B A from the low byte up.
         return EncodeBmp(Bmp32(3, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, 124,
                                [](std::uint32_t x, std::uint32_t y) {
                                  const Rgba c = PatternAlpha(x, y);
                                  return (std::uint32_t{c.a} << 24) | (std::uint32_t{c.b} << 16) |
                                         (std::uint32_t{c.g} << 8) | c.r;
                                }));
       }, Bitmap(3, 2, 32, PatternAlpha)},
      {"bmp_16bit_555", [] {
         BmpPlan plan;
         plan.width = 5;
         plan.height = 2;
         plan.bitsPerPixel = 16;
         plan.value = [](std::uint32_t x, std::uint32_t y) {
           return (Level5(x, y) << 10) | (Level5(x + 1, y) << 5) | Level5(x + 2, y);
         };
         return EncodeBmp(plan);
       }, Bitmap(5, 2, 24, [](std::uint32_t x, std::uint32_t y) {
         return Rgba{Level5To8(Level5(x, y)), Level5To8(Level5(x + 1, y)), Level5To8(Level5(x + 2, y)), 255};
       })},
      {"bmp_16bit_565_bitfields", [] {
         BmpPlan plan;
         plan.width = 2;
         plan.height = 1;
         plan.bitsPerPixel = 16;
         plan.compression = 3;
         plan.masks = {0xF800, 0x07E0, 0x001F};
         plan.value = [](std::uint32_t x, std::uint32_t) { return x == 0 ? 0xF800u : 0x07FFu; };
         return EncodeBmp(plan);
       }, Bitmap(2, 1, 24, [](std::uint32_t x, std::uint32_t) {
         return x == 0 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 255, 255};
       })},
      {"bmp_8bit", [] { return EncodeBmp(BmpIndexed(8, 16)); }, Bitmap(7, 3, 24, IndexedColour(8, 16))},
      {"bmp_4bit", [] { return EncodeBmp(BmpIndexed(4, 16)); }, Bitmap(7, 3, 24, IndexedColour(4, 16))},
      {"bmp_1bit", [] { return EncodeBmp(BmpIndexed(1, 2)); }, Bitmap(7, 3, 24, IndexedColour(1, 2))},
      // Indices past the stored palette show black.
      {"bmp_8bit_short_palette", [] { return EncodeBmp(BmpIndexed(8, 3)); }, Bitmap(7, 3, 24, IndexedColour(8, 3))},
      {"bmp_rle8", [] {
         BmpPlan plan = BmpIndexed(8, 4);
         plan.width = 4;
         plan.compression = 1;
         plan.runLengthData = Rle8Data();
         return EncodeBmp(plan);
       }, Bitmap(4, 3, 24, RleColour())},
      {"bmp_rle4", [] {
         // The same picture in 4-bit runs: two indices per byte, high nibble first.
         BmpPlan plan = BmpIndexed(4, 4);
         plan.width = 4;
         plan.compression = 2;
         plan.runLengthData = {4, 0x11, 0, 0,  0, 4, 0x23, 0x12,  0, 0,  0, 2, 2, 0,  2, 0x33,  0, 1};
         return EncodeBmp(plan);
       }, Bitmap(4, 3, 24, RleColour())},
      {"bmp_rle8_data_ends_early", [] {
         BmpPlan plan = BmpIndexed(8, 4);
         plan.width = 4;
         plan.compression = 1;
         plan.runLengthData = Truncated(Rle8Data(), 12);
         return EncodeBmp(plan);
       }, std::nullopt},
      {"bmp_signature_only", [] { return Bytes{'B', 'M'}; }, std::nullopt},
      {"bmp_file_header_only", [] { return Truncated(EncodeBmp(Bmp24(5, 3)), 14); }, std::nullopt},
      {"bmp_pixels_cut_short", [] {
         const Bytes bmp = EncodeBmp(Bmp24(5, 3));
         return Truncated(bmp, bmp.size() - 1);
       }, std::nullopt},
      {"bmp_offset_past_end", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), off, 0xFFFFFFF0u); }, std::nullopt},
      {"bmp_offset_leaves_too_few_bytes", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), off, 60); }, std::nullopt},
      {"bmp_header_size_past_end", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), headerSize, 0x7FFFFFFF); },
       std::nullopt},
      {"bmp_header_size_unknown", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), headerSize, 20); }, std::nullopt},
      {"bmp_width_16385", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), width, 16385); }, std::nullopt},
      {"bmp_width_negative", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), width, 0xFFFFFFFBu); }, std::nullopt},
      {"bmp_height_zero", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), height, 0); }, std::nullopt},
      {"bmp_height_most_negative", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), height, 0x80000000u); },
       std::nullopt},
      {"bmp_height_larger_than_data", [=] { return Patched32(EncodeBmp(Bmp24(5, 3)), height, 16384); },
       std::nullopt},
      {"bmp_depth_7", [=] { return Patched16(EncodeBmp(Bmp24(5, 3)), bpp, 7); }, std::nullopt},
      {"bmp_palette_count_over_depth", [=] {
         // 256 colours claimed by a 4-bit file: only 16 are read, and they are there.
         return Patched32(EncodeBmp(BmpIndexed(4, 16)), colours, 256);
       }, Bitmap(7, 3, 24, IndexedColour(4, 16))},
      {"bmp_palette_cut_short", [] {
         return Truncated(EncodeBmp(BmpIndexed(8, 16)), 14 + 40 + 10);
       }, std::nullopt},
  };
}

// ----------------------------------------------------------------- Icon --

Bytes Icon16() { return EncodeIcon({{IconDib32(16, 16, PatternAlpha), 16, 16, 32}}); }

Expected IconOf(std::uint32_t width, std::uint32_t height, std::uint16_t bpp) {
  return Expected{PictureKind::Icon, width, height, bpp, nullptr};
}

std::vector<DecodeCase> IconCases() {
  const std::size_t size = 8, offset = 12;
  return {
      {"icon_32bit", Icon16, IconOf(16, 16, 32)},
      {"icon_8bit", [] { return EncodeIcon({{IconDib8(32, 32), 32, 32, 8}}); }, IconOf(32, 32, 8)},
      {"icon_picks_largest", [] {
         return EncodeIcon({{IconDib32(16, 16, Pattern), 16, 16, 32},
                            {IconDib32(48, 48, Pattern), 48, 48, 32},
                            {IconDib32(32, 32, Pattern), 32, 32, 32}});
       }, IconOf(48, 48, 32)},
      {"icon_picks_deepest_of_equal_size", [] {
         return EncodeIcon({{IconDib8(32, 32), 32, 32, 8}, {IconDib32(32, 32, Pattern), 32, 32, 32}});
       }, IconOf(32, 32, 32)},
      {"icon_png_image", [] { return EncodeIcon({{SimplePng(64, 64, PatternAlpha, true), 64, 64, 32}}); },
       IconOf(64, 64, 32)},
      {"icon_skips_bad_image", [] {
         Bytes broken = IconDib32(64, 64, Pattern);
         broken.resize(100);
         return EncodeIcon({{broken, 64, 64, 32}, {IconDib32(16, 16, Pattern), 16, 16, 32}});
       }, IconOf(16, 16, 32)},
      {"icon_header_only", [] { return Truncated(Icon16(), 6); }, std::nullopt},
      {"icon_too_short_for_header", [] { return Truncated(Icon16(), 5); }, std::nullopt},
      {"icon_zero_images", [] { return Patched16(Icon16(), 4, 0); }, std::nullopt},
      {"icon_count_past_end", [] { return Patched16(Icon16(), 4, 0xFFFF); }, std::nullopt},
      {"icon_cursor_type", [] { return Patched16(Icon16(), 2, 2); }, std::nullopt},
      {"icon_image_size_past_end", [=] { return Patched32(Icon16(), IconEntryOffset(0) + size, 0x7FFFFFFF); },
       std::nullopt},
      {"icon_image_size_one_past_end", [=] {
         const Bytes icon = Icon16();
         return Patched32(icon, IconEntryOffset(0) + size, static_cast<std::uint32_t>(icon.size() - 22 + 1));
       }, std::nullopt},
      {"icon_offset_past_end", [=] { return Patched32(Icon16(), IconEntryOffset(0) + offset, 0xFFFFFFF0u); },
       std::nullopt},
      {"icon_offset_into_directory", [=] { return Patched32(Icon16(), IconEntryOffset(0) + offset, 6); },
       std::nullopt},
      {"icon_image_size_zero", [=] { return Patched32(Icon16(), IconEntryOffset(0) + size, 0); }, std::nullopt},
      // The DIB claims more rows than its bytes hold.
      {"icon_dib_height_past_data", [] { return Patched32(Icon16(), 22 + 8, 2 * 200); }, std::nullopt},
      {"icon_dib_width_16385", [] { return Patched32(Icon16(), 22 + 4, 16385); }, std::nullopt},
      {"icon_dib_header_size_past_image", [] { return Patched32(Icon16(), 22, 0x10000); }, std::nullopt},
      {"icon_png_header_claims_16385", [] {
         Bytes png = SimplePng(8, 8, Pattern, false);
         png.at(16 + 2) = 0x40;  // width 0x4001 = 16385
         png.at(16 + 3) = 0x01;
         FixChunkCrc(png, 8);
         return EncodeIcon({{png, 8, 8, 32}});
       }, std::nullopt},
      {"icon_png_image_cut_in_header", [] {
         return EncodeIcon({{Truncated(SimplePng(8, 8, Pattern, false), 20), 8, 8, 32}});
       }, std::nullopt},
      // The largest image is chosen by its header; when it then fails to
      // decode, the file is damaged, whatever the smaller images hold.
      {"icon_largest_png_damaged", [] {
         Bytes png = SimplePng(64, 64, Pattern, false);
         png.at(FindChunk(png, "IDAT") + 8) ^= 0x01;
         return EncodeIcon({{IconDib32(16, 16, Pattern), 16, 16, 32}, {png, 64, 64, 32}});
       }, std::nullopt},
      {"icon_damaged_png_image", [] {
         Bytes png = SimplePng(8, 8, Pattern, false);
         png.at(FindChunk(png, "IDAT") + 8) ^= 0x01;
         return EncodeIcon({{png, 8, 8, 32}});
       }, std::nullopt},
  };
}

// ---------------------------------------------------------- Other bytes --

std::vector<DecodeCase> OtherCases() {
  return {
      {"empty", [] { return Bytes{}; }, std::nullopt},
      {"jpeg_bytes", [] {
         return Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00,
                      0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xD9};
       }, std::nullopt},
      {"gif_bytes", [] {
         return Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                      ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, ';'};
       }, std::nullopt},
      {"text", [] { return Bytes{'h', 'e', 'l', 'l', 'o'}; }, std::nullopt},
  };
}

std::vector<DecodeCase> AllCases() {
  std::vector<DecodeCase> all;
  for (auto cases : {PngCases(), BmpCases(), IconCases(), OtherCases()}) {
    all.insert(all.end(), cases.begin(), cases.end());
  }
  return all;
}

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, DecodesOrRefuses) {
  const DecodeCase& c = GetParam();
  const Bytes bytes = c.make();
  ASSERT_FALSE(bytes.empty() && c.name != "empty") << "fixture not built";
  const std::optional<DecodedPicture> picture = DecodePicture(bytes.data(), bytes.size());

  if (!c.expected) {
    EXPECT_FALSE(picture.has_value()) << "expected no picture";
    return;
  }
  ASSERT_TRUE(picture.has_value()) << "expected a picture";
  const Expected& e = *c.expected;
  ASSERT_EQ(picture->kind, e.kind);
  EXPECT_EQ(picture->width, e.width);
  EXPECT_EQ(picture->height, e.height);
  EXPECT_EQ(picture->bitsPerPixel, e.bitsPerPixel);

  if (e.kind == PictureKind::Icon) {
    EXPECT_TRUE(picture->pixels.empty());
    EXPECT_FALSE(picture->iconImage.empty());
    return;
  }
  EXPECT_TRUE(picture->iconImage.empty());
  ASSERT_EQ(picture->stride, DibStride(e.width, e.bitsPerPixel));
  ASSERT_EQ(picture->pixels.size(), picture->stride * e.height);
  int wrong = 0;
  for (std::uint32_t y = 0; y < e.height && wrong < 3; ++y) {
    for (std::uint32_t x = 0; x < e.width && wrong < 3; ++x) {
      const Rgba got = StoredPixel(*picture, x, y);
      const Rgba want = e.pixel(x, y);
      if (got != want) {
        ++wrong;
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << got << ", want " << want;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(picture, DecodeTable, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

// The stored layout spelled out byte by byte: a 2 x 2 PNG with red top-left,
// green top-right, blue bottom-left, white bottom-right becomes a bottom-up
// BGR DIB with 8-byte rows (6 bytes of pixels, 2 of padding).
TEST(picture_decoder, PngBecomesBottomUpBgrRows) {
  const PixelFn corners = [](std::uint32_t x, std::uint32_t y) {
    static const Rgba colours[2][2] = {{{255, 0, 0, 255}, {0, 255, 0, 255}}, {{0, 0, 255, 255}, {255, 255, 255, 255}}};
    return colours[y][x];
  };
  const Bytes png = SimplePng(2, 2, corners, false);
  const std::optional<DecodedPicture> picture = DecodePicture(png.data(), png.size());
  ASSERT_TRUE(picture.has_value());
  const Bytes want = {255, 0, 0, 255, 255, 255, 0, 0,   // bottom row: blue, white
                      0, 0, 255, 0, 255, 0, 0, 0};      // top row: red, green
  EXPECT_EQ(picture->pixels, want);
}

TEST(picture_decoder, IconImageIsTheChosenEntrysBytes) {
  const Bytes small = IconDib32(16, 16, Pattern);
  const Bytes large = IconDib32(32, 32, PatternAlpha);
  const Bytes icon = EncodeIcon({{small, 16, 16, 32}, {large, 32, 32, 32}});
  const std::optional<DecodedPicture> picture = DecodePicture(icon.data(), icon.size());
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->iconImage, large);
}

TEST(picture_decoder, RefusesFilesOverTheSizeLimit) {
  // A good PNG followed by padding up to one byte past the limit.
  Bytes png = SimplePng(2, 2, Pattern, false);
  png.resize(MaxPictureFileBytes + 1, 0);
  EXPECT_FALSE(DecodePicture(png.data(), png.size()).has_value());
  png.resize(MaxPictureFileBytes);
  EXPECT_TRUE(DecodePicture(png.data(), png.size()).has_value());
}

TEST(picture_decoder, NullBytesAreNoPicture) { EXPECT_FALSE(DecodePicture(nullptr, 0).has_value()); }

}  // namespace
}  // namespace korvane::test
