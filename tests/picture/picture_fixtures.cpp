#include "tests/picture/picture_fixtures.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

namespace korvane::test {

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "rgba(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ", " << int{c.a}
             << ")";
}

Rgba StoredPixel(const DecodedPicture& picture, std::uint32_t x, std::uint32_t y) {
  const std::size_t row = picture.height - 1 - y;
  const std::size_t bytesPerPixel = picture.bitsPerPixel / 8u;
  const std::uint8_t* p = picture.pixels.data() + row * picture.stride + x * bytesPerPixel;
  return Rgba{p[2], p[1], p[0], bytesPerPixel == 4 ? p[3] : std::uint8_t{255}};
}

Rgba Pattern(std::uint32_t x, std::uint32_t y) {
  return Rgba{static_cast<std::uint8_t>(17 + 29 * x + 3 * y), static_cast<std::uint8_t>(41 * y + 5 * x + 1),
              static_cast<std::uint8_t>(250 - 7 * x - 13 * y), 255};
}

Rgba PatternAlpha(std::uint32_t x, std::uint32_t y) {
  Rgba c = Pattern(x, y);
  c.a = static_cast<std::uint8_t>(255 - 37 * x - 11 * y);
  return c;
}

// ------------------------------------------------------------------ PNG --

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void FlushNothing(png_structp) {}
void WriterError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void WriterWarning(png_structp, png_const_charp) {}

int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

// The rows of plan packed as the PNG stores them (big-endian 16-bit samples,
// sub-byte samples from the high bit down).
std::vector<Bytes> PackRows(const PngPlan& plan) {
  const int channels = Channels(plan.colorType);
  const std::size_t rowBytes = (static_cast<std::size_t>(plan.width) * channels * plan.bitDepth + 7) / 8;
  std::vector<Bytes> rows(plan.height, Bytes(rowBytes, 0));
  for (std::uint32_t y = 0; y < plan.height; ++y) {
    std::size_t bit = 0;
    for (std::uint32_t x = 0; x < plan.width; ++x) {
      for (std::uint16_t sample : plan.samples(x, y)) {
        Bytes& row = rows[y];
        if (plan.bitDepth == 16) {
          row[bit / 8] = static_cast<std::uint8_t>(sample >> 8);
          row[bit / 8 + 1] = static_cast<std::uint8_t>(sample);
        } else if (plan.bitDepth == 8) {
          row[bit / 8] = static_cast<std::uint8_t>(sample);
        } else {
          const unsigned shift = 8 - plan.bitDepth - bit % 8;
          row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (sample << shift));
        }
        bit += plan.bitDepth;
      }
    }
  }
  return rows;
}

// Everything between setjmp and the end lives in the caller's frame.
bool WritePng(png_structp png, png_infop info, const PngPlan& plan, std::vector<png_bytep>& rowPointers,
              std::vector<png_color>& palette, png_color_16& transparent) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, plan.width, plan.height, plan.bitDepth, plan.colorType,
               plan.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!plan.paletteAlpha.empty()) {
    png_set_tRNS(png, info, plan.paletteAlpha.data(), static_cast<int>(plan.paletteAlpha.size()), nullptr);
  }
  if (plan.transparentGrey || plan.transparentRgb) png_set_tRNS(png, info, nullptr, 0, &transparent);
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, info);
  return true;
}

}  // namespace

Bytes EncodePng(const PngPlan& plan) {
  std::vector<Bytes> rows = PackRows(plan);
  std::vector<png_bytep> rowPointers;
  for (Bytes& row : rows) rowPointers.push_back(row.data());
  std::vector<png_color> palette;
  for (const Rgba& c : plan.palette) palette.push_back(png_color{c.r, c.g, c.b});
  png_color_16 transparent{};
  if (plan.transparentGrey) transparent.gray = *plan.transparentGrey;
  if (plan.transparentRgb) {
    transparent.red = plan.transparentRgb->r;
    transparent.green = plan.transparentRgb->g;
    transparent.blue = plan.transparentRgb->b;
  }

  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, WriterError, WriterWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (png != nullptr && info != nullptr) {
    png_set_write_fn(png, &out, AppendBytes, FlushNothing);
    written = WritePng(png, info, plan, rowPointers, palette, transparent);
  }
  png_destroy_write_struct(&png, &info);
  return written ? out : Bytes{};
}

Bytes SimplePng(std::uint32_t width, std::uint32_t height, const PixelFn& pixel, bool alpha,
                bool interlaced) {
  PngPlan plan;
  plan.width = width;
  plan.height = height;
  plan.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  plan.interlaced = interlaced;
  plan.samples = [&pixel, alpha](std::uint32_t x, std::uint32_t y) {
    const Rgba c = pixel(x, y);
    std::vector<std::uint16_t> s{c.r, c.g, c.b};
    if (alpha) s.push_back(c.a);
    return s;
  };
  return EncodePng(plan);
}

std::size_t FindChunk(const Bytes& png, const char type[4]) {
  std::size_t offset = 8;
  while (offset + 12 <= png.size()) {
    const std::uint32_t length = (std::uint32_t{png[offset]} << 24) | (std::uint32_t{png[offset + 1]} << 16) |
                                 (std::uint32_t{png[offset + 2]} << 8) | png[offset + 3];
    if (std::memcmp(png.data() + offset + 4, type, 4) == 0) return offset;
    offset += 12 + static_cast<std::size_t>(length);
  }
  return std::string::npos;
}

void FixChunkCrc(Bytes& png, std::size_t offset) {
  const std::uint32_t length = (std::uint32_t{png[offset]} << 24) | (std::uint32_t{png[offset + 1]} << 16) |
                               (std::uint32_t{png[offset + 2]} << 8) | png[offset + 3];
  const uLong crc = crc32(0L, png.data() + offset + 4, static_cast<uInt>(length + 4));
  std::uint8_t* out = png.data() + offset + 8 + length;
  out[0] = static_cast<std::uint8_t>(crc >> 24);
  out[1] = static_cast<std::uint8_t>(crc >> 16);
  out[2] = static_cast<std::uint8_t>(crc >> 8);
  out[3] = static_cast<std::uint8_t>(crc);
}

// ------------------------------------------------------------------ BMP --

namespace {

void Put16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::size_t Stride(std::uint32_t width, std::uint32_t bpp) { return ((width * bpp + 31) / 32) * 4; }

}  // namespace

Bytes EncodeBmp(const BmpPlan& plan) {
  const auto width = static_cast<std::uint32_t>(plan.width);
  const bool topDown = plan.height < 0;
  const std::uint32_t height = static_cast<std::uint32_t>(topDown ? -static_cast<std::int64_t>(plan.height)
                                                                  : plan.height);
  const std::uint16_t bpp = plan.bitsPerPixel;

  Bytes header;
  Put32(header, plan.headerSize);
  if (plan.headerSize == 12) {
    Put16(header, static_cast<std::uint16_t>(plan.width));
    Put16(header, static_cast<std::uint16_t>(plan.height));
    Put16(header, 1);
    Put16(header, bpp);
  } else {
    Put32(header, static_cast<std::uint32_t>(plan.width));
    Put32(header, static_cast<std::uint32_t>(plan.height));
    Put16(header, 1);
    Put16(header, bpp);
    Put32(header, plan.compression);
    Put32(header, 0);  // image size
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, static_cast<std::uint32_t>(plan.palette.size()));
    Put32(header, 0);
    // Longer headers carry the masks inside; the rest stays zero.
    for (std::size_t i = 0; i < 4 && header.size() < plan.headerSize; ++i) {
      Put32(header, plan.headerSize > 40 && i < plan.masks.size() ? plan.masks[i] : 0);
    }
    header.resize(plan.headerSize, 0);
  }
  Bytes extra;  // masks after a 40-byte header, or the palette
  if (plan.headerSize == 40) {
    for (std::uint32_t mask : plan.masks) Put32(extra, mask);
  }
  for (const Rgba& c : plan.palette) {
    extra.push_back(c.b);
    extra.push_back(c.g);
    extra.push_back(c.r);
    if (plan.headerSize != 12) extra.push_back(0);
  }

  Bytes pixels;
  if (!plan.runLengthData.empty()) {
    pixels = plan.runLengthData;
  } else {
    const std::size_t stride = Stride(width, bpp);
    pixels.assign(stride * height, 0);
    for (std::uint32_t stored = 0; stored < height; ++stored) {
      const std::uint32_t y = topDown ? stored : height - 1 - stored;
      std::uint8_t* row = pixels.data() + stored * stride;
      for (std::uint32_t x = 0; x < width; ++x) {
        if (bpp == 24) {
          const Rgba c = plan.colour(x, y);
          row[x * 3] = c.b;
          row[x * 3 + 1] = c.g;
          row[x * 3 + 2] = c.r;
        } else if (bpp == 16 || bpp == 32) {
          const std::uint32_t v = plan.value(x, y);
          for (unsigned i = 0; i < bpp / 8u; ++i) row[x * (bpp / 8u) + i] = static_cast<std::uint8_t>(v >> (8 * i));
        } else {
          const std::size_t bit = static_cast<std::size_t>(x) * bpp;
          row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (plan.value(x, y) << (8 - bpp - bit % 8)));
        }
      }
    }
  }

  Bytes file{'B', 'M'};
  const auto offBits = static_cast<std::uint32_t>(14 + header.size() + extra.size());
  Put32(file, static_cast<std::uint32_t>(offBits + pixels.size()));
  Put32(file, 0);
  Put32(file, offBits);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), extra.begin(), extra.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// ----------------------------------------------------------------- Icon --

namespace {

Bytes IconDibHeader(std::uint32_t width, std::uint32_t height, std::uint16_t bpp) {
  Bytes out;
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);
  Put16(out, 1);
  Put16(out, bpp);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  return out;
}

}  // namespace

Bytes IconDib32(std::uint32_t width, std::uint32_t height, const PixelFn& pixel) {
  Bytes out = IconDibHeader(width, height, 32);
  for (std::uint32_t stored = 0; stored < height; ++stored) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const Rgba c = pixel(x, height - 1 - stored);
      out.insert(out.end(), {c.b, c.g, c.r, c.a});
    }
  }
  out.resize(out.size() + Stride(width, 1) * height, 0);
  return out;
}

Bytes IconDib8(std::uint32_t width, std::uint32_t height) {
  Bytes out = IconDibHeader(width, height, 8);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    out.insert(out.end(), {v, v, v, 0});
  }
  const std::size_t stride = Stride(width, 8);
  for (std::uint32_t stored = 0; stored < height; ++stored) {
    Bytes row(stride, 0);
    for (std::uint32_t x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>((x + height - 1 - stored) % 256);
    out.insert(out.end(), row.begin(), row.end());
  }
  out.resize(out.size() + Stride(width, 1) * height, 0);
  return out;
}

Bytes EncodeIcon(const std::vector<IconEntry>& entries) {
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(entries.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IconEntry& e : entries) {
    out.push_back(e.width);
    out.push_back(e.height);
    out.push_back(0);  // colour count
    out.push_back(0);
    Put16(out, 1);
    Put16(out, e.bitCount);
    Put32(out, static_cast<std::uint32_t>(e.image.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(e.image.size());
  }
  for (const IconEntry& e : entries) out.insert(out.end(), e.image.begin(), e.image.end());
  return out;
}

// ---------------------------------------------------------------- Edits --

Bytes Patched32(Bytes bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

Bytes Patched16(Bytes bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
  return bytes;
}

Bytes Truncated(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

}  // namespace korvane::test
