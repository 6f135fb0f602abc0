// Picture decoding: icon files, BMPs and PNGs into bottom-up DIB pixels (or a
// checked icon image). Every field read from the file is checked against the
// buffer before it is read; anything that does not add up is no picture.
#include "ui/picture_decoder.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <new>

namespace korvane {
namespace {

std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// True when [offset, offset + count) lies inside a buffer of size bytes.
bool Inside(std::size_t size, std::uint64_t offset, std::uint64_t count) {
  return offset <= size && count <= size - offset;
}

bool SideInRange(std::int64_t side) { return side >= 1 && side <= MaxPictureSide; }

// ---------------------------------------------------------------- PNG --

constexpr std::array<std::uint8_t, 8> PngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool HasPngSignature(const std::uint8_t* bytes, std::size_t size) {
  return size >= PngSignature.size() &&
         std::memcmp(bytes, PngSignature.data(), PngSignature.size()) == 0;
}

// Deflate never expands data by more than this factor (its best case is a
// 258-byte match per bit or so, about 1032:1), so a PNG whose pixels need
// more bytes than this times the file size cannot be whole: it is refused
// before its pixel buffer is allocated.
constexpr std::uint64_t MaxInflateRatio = 1100;

struct PngInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t offset;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (count > input->size - input->offset) png_error(png, "data ends early");
  std::memcpy(out, input->data + input->offset, count);
  input->offset += count;
}

// Errors end the decode (back to the setjmp in ReadPng); warnings are ignored.
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// Owns the read and info structs for one decode.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~PngReader() {
    if (png_ != nullptr) png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
  }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Reads the PNG into out. Only plain data lives in this frame, so a libpng
// error may jump back to the setjmp here; out and rows belong to the caller.
// The pixel buffer may throw std::bad_alloc, which passes to the caller.
bool ReadPng(png_structp png, png_infop info, std::size_t fileSize, DecodedPicture& out,
             std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_read_info(png, info);
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int depth = 0;
  int colorType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
  if (!SideInRange(width) || !SideInRange(height)) return false;

  const std::uint64_t storedRowBytes =
      (static_cast<std::uint64_t>(width) * png_get_channels(png, info) * depth + 7) / 8;
  if (storedRowBytes * height > static_cast<std::uint64_t>(fileSize) * MaxInflateRatio) return false;

  const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0 && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_scale_16(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const unsigned channels = hasAlpha ? 4 : 3;
  if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != channels ||
      png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * channels) {
    return false;
  }

  out.kind = PictureKind::Bitmap;
  out.width = width;
  out.height = height;
  out.bitsPerPixel = static_cast<std::uint16_t>(channels * 8);
  out.stride = DibStride(width, out.bitsPerPixel);
  out.pixels.assign(out.stride * height, 0);
  // The PNG's top row goes to the last stored row: the DIB is bottom-up.
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows[y] = out.pixels.data() + static_cast<std::size_t>(height - 1 - y) * out.stride;
  }
  png_read_image(png, rows.data());
  return true;
}

std::optional<DecodedPicture> DecodePng(const std::uint8_t* bytes, std::size_t size) {
  if (!HasPngSignature(bytes, size)) return std::nullopt;
  PngReader reader;
  if (reader.png() == nullptr || reader.info() == nullptr) return std::nullopt;
  png_set_user_limits(reader.png(), MaxPictureSide, MaxPictureSide);
  png_set_chunk_cache_max(reader.png(), 128);
  png_set_chunk_malloc_max(reader.png(), 8u * 1024u * 1024u);
  PngInput input{bytes, size, 0};
  png_set_read_fn(reader.png(), &input, ReadPngBytes);

  DecodedPicture picture;
  std::vector<png_bytep> rows;
  if (!ReadPng(reader.png(), reader.info(), size, picture, rows)) return std::nullopt;
  return picture;
}

// ---------------------------------------------------------------- BMP --

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiAlphaBitfields = 6;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

bool KnownInfoHeaderSize(std::uint32_t size) {
  return size == InfoHeaderSize || size == 52 || size == 56 || size == 108 || size == 124;
}

struct Bgra {
  std::uint8_t b, g, r, a;
};

// One colour channel held under a bit mask, scaled to 0..255.
class MaskChannel {
 public:
  // False for a mask whose bits are not one run.
  bool Set(std::uint32_t mask) {
    mask_ = mask;
    if (mask == 0) return true;
    shift_ = 0;
    while (((mask >> shift_) & 1u) == 0) ++shift_;
    const std::uint64_t run = static_cast<std::uint64_t>(mask >> shift_) + 1;
    if ((run & (run - 1)) != 0) return false;
    max_ = run - 1;
    return true;
  }
  bool present() const { return mask_ != 0; }
  std::uint8_t Of(std::uint32_t value) const {
    if (mask_ == 0) return 0;
    const std::uint64_t v = (value & mask_) >> shift_;
    return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  unsigned shift_ = 0;
  std::uint64_t max_ = 1;
};

struct BmpLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool topDown = false;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = BiRgb;
  std::vector<Bgra> palette;  // always 1 << bitsPerPixel entries when used
  MaskChannel red, green, blue, alpha;
  std::size_t pixelOffset = 0;
};

// Reads and checks the headers, palette and masks. Every read is preceded by
// a check that it lies inside the buffer.
std::optional<BmpLayout> ReadBmpLayout(const std::uint8_t* bytes, std::size_t size) {
  if (!Inside(size, 0, FileHeaderSize + 4)) return std::nullopt;
  BmpLayout layout;
  layout.pixelOffset = U32(bytes + 10);
  const std::uint32_t headerSize = U32(bytes + FileHeaderSize);
  if (!Inside(size, FileHeaderSize, headerSize)) return std::nullopt;
  const std::uint8_t* header = bytes + FileHeaderSize;

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint16_t planes = 0;
  std::uint32_t colorsUsed = 0;
  std::size_t paletteEntrySize = 4;
  if (headerSize == CoreHeaderSize) {
    width = U16(header + 4);
    height = static_cast<std::int16_t>(U16(header + 6));
    planes = U16(header + 8);
    layout.bitsPerPixel = U16(header + 10);
    paletteEntrySize = 3;
  } else if (KnownInfoHeaderSize(headerSize)) {
    width = I32(header + 4);
    height = I32(header + 8);
    planes = U16(header + 12);
    layout.bitsPerPixel = U16(header + 14);
    layout.compression = U32(header + 16);
    colorsUsed = U32(header + 32);
  } else {
    return std::nullopt;
  }
  if (planes != 1) return std::nullopt;
  layout.topDown = height < 0;
  if (layout.topDown) height = -height;
  if (!SideInRange(width) || !SideInRange(height)) return std::nullopt;
  layout.width = static_cast<std::uint32_t>(width);
  layout.height = static_cast<std::uint32_t>(height);

  const std::uint16_t bpp = layout.bitsPerPixel;
  const std::uint32_t compression = layout.compression;
  bool supported = false;
  switch (bpp) {
    case 1: supported = compression == BiRgb; break;
    case 4: supported = compression == BiRgb || compression == BiRle4; break;
    case 8: supported = compression == BiRgb || compression == BiRle8; break;
    case 16:
    case 32:
      supported = compression == BiRgb || compression == BiBitfields ||
                  compression == BiAlphaBitfields;
      break;
    case 24: supported = compression == BiRgb; break;
    default: break;
  }
  if (!supported) return std::nullopt;
  // Run-length data is always stored bottom-up.
  if ((compression == BiRle4 || compression == BiRle8) && layout.topDown) return std::nullopt;

  const std::size_t afterHeader = FileHeaderSize + headerSize;
  if (bpp <= 8) {
    const std::uint32_t full = 1u << bpp;
    const std::uint32_t count = (colorsUsed == 0 || colorsUsed > full) ? full : colorsUsed;
    if (!Inside(size, afterHeader, static_cast<std::uint64_t>(count) * paletteEntrySize)) {
      return std::nullopt;
    }
    // Indices past the stored colours show black.
    layout.palette.assign(full, Bgra{0, 0, 0, 255});
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* entry = bytes + afterHeader + i * paletteEntrySize;
      layout.palette[i] = Bgra{entry[0], entry[1], entry[2], 255};
    }
  } else if (bpp != 24) {
    std::uint32_t masks[4] = {0, 0, 0, 0};
    if (compression == BiRgb) {
      if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
      } else {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
        masks[3] = 0xFF000000;
      }
    } else {
      // The masks follow a 40-byte header, or are part of a longer one.
      const std::size_t maskCount = compression == BiAlphaBitfields ? 4 : 3;
      const std::size_t stored =
          headerSize == InfoHeaderSize ? maskCount : std::min<std::size_t>(maskCount, (headerSize - InfoHeaderSize) / 4);
      const std::size_t start = FileHeaderSize + InfoHeaderSize;
      if (!Inside(size, start, stored * 4)) return std::nullopt;
      for (std::size_t i = 0; i < stored; ++i) masks[i] = U32(bytes + start + i * 4);
      if (headerSize >= 56 && compression == BiBitfields) masks[3] = U32(bytes + start + 12);
    }
    if (bpp == 16) {
      for (std::uint32_t& mask : masks) mask &= 0xFFFF;
    }
    if (!layout.red.Set(masks[0]) || !layout.green.Set(masks[1]) || !layout.blue.Set(masks[2]) ||
        !layout.alpha.Set(masks[3])) {
      return std::nullopt;
    }
  }
  if (layout.pixelOffset >= size) return std::nullopt;
  return layout;
}

// Expands run-length coded 4- or 8-bit data, handing each pixel's palette
// index to put(x, row) with row counted from the bottom. Runs past the end of
// a row are clipped; pixels the data skips are not handed out. Data that ends
// before the picture is complete (no end-of-picture mark and rows left) is
// refused.
template <typename Put>
bool ExpandRunLength(const BmpLayout& layout, const std::uint8_t* data, std::size_t size, Put put) {
  const bool four = layout.compression == BiRle4;
  const std::uint32_t width = layout.width;
  const std::uint32_t height = layout.height;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::size_t pos = 0;
  auto next = [&](std::uint8_t index) {
    if (x < width) put(x++, y, index);
  };
  while (y < height) {
    if (!Inside(size, pos, 2)) return false;
    const std::uint8_t count = data[pos];
    const std::uint8_t value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        next(four ? static_cast<std::uint8_t>((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of row
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return true;
      case 2: {  // move right and up
        if (!Inside(size, pos, 2)) return false;
        x = std::min<std::uint32_t>(x + data[pos], width);
        y += data[pos + 1];
        pos += 2;
        break;
      }
      default: {  // literal pixels, padded to a 16-bit boundary
        const std::size_t literalBytes = four ? (value + 1u) / 2u : value;
        const std::size_t padded = (literalBytes + 1u) & ~static_cast<std::size_t>(1);
        if (!Inside(size, pos, padded)) return false;
        for (unsigned i = 0; i < value; ++i) {
          const std::uint8_t byte = data[pos + (four ? i / 2 : i)];
          next(four ? static_cast<std::uint8_t>((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
        }
        pos += padded;
        break;
      }
    }
  }
  return true;
}

std::optional<DecodedPicture> DecodeBmp(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  std::optional<BmpLayout> found = ReadBmpLayout(bytes, size);
  if (!found) return std::nullopt;
  const BmpLayout& layout = *found;
  const std::uint32_t width = layout.width;
  const std::uint32_t height = layout.height;
  const std::uint16_t bpp = layout.bitsPerPixel;
  const std::uint8_t* data = bytes + layout.pixelOffset;
  const std::size_t dataSize = size - layout.pixelOffset;

  const bool runLength = layout.compression == BiRle4 || layout.compression == BiRle8;
  const std::size_t sourceStride = DibStride(width, bpp);
  if (!runLength && !Inside(dataSize, 0, static_cast<std::uint64_t>(sourceStride) * height)) {
    return std::nullopt;
  }

  DecodedPicture picture;
  picture.kind = PictureKind::Bitmap;
  picture.width = width;
  picture.height = height;
  picture.bitsPerPixel = layout.alpha.present() ? 32 : 24;
  picture.stride = DibStride(width, picture.bitsPerPixel);
  picture.pixels.assign(picture.stride * height, 0);
  const unsigned outBytes = picture.bitsPerPixel / 8u;
  auto store = [&](std::uint32_t x, std::uint32_t row, const Bgra& colour) {
    std::uint8_t* out = picture.pixels.data() + static_cast<std::size_t>(row) * picture.stride + x * outBytes;
    out[0] = colour.b;
    out[1] = colour.g;
    out[2] = colour.r;
    if (outBytes == 4) out[3] = colour.a;
  };

  if (runLength) {
    // Pixels the runs skip show the first palette colour: one row of it,
    // copied to the others.
    for (std::uint32_t x = 0; x < width; ++x) store(x, 0, layout.palette[0]);
    for (std::uint32_t row = 1; row < height; ++row) {
      std::memcpy(picture.pixels.data() + static_cast<std::size_t>(row) * picture.stride,
                  picture.pixels.data(), picture.stride);
    }
    const bool whole = ExpandRunLength(layout, data, dataSize, [&](std::uint32_t x, std::uint32_t row, std::uint8_t index) {
      store(x, row, layout.palette[index]);
    });
    if (!whole) return std::nullopt;
    return picture;
  }

  bool anyAlpha = false;
  for (std::uint32_t row = 0; row < height; ++row) {
    // row counts stored rows from the bottom of the picture.
    const std::uint32_t sourceRow = layout.topDown ? height - 1 - row : row;
    const std::uint8_t* in = data + static_cast<std::size_t>(sourceRow) * sourceStride;
    for (std::uint32_t x = 0; x < width; ++x) {
      Bgra colour{0, 0, 0, 255};
      if (bpp <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bpp;
        const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
        colour = layout.palette[(in[bit / 8] >> shift) & ((1u << bpp) - 1)];
      } else if (bpp == 24) {
        colour = Bgra{in[x * 3], in[x * 3 + 1], in[x * 3 + 2], 255};
      } else {
        const std::uint32_t value = bpp == 16 ? U16(in + x * 2) : U32(in + x * 4);
        colour = Bgra{layout.blue.Of(value), layout.green.Of(value), layout.red.Of(value),
                      layout.alpha.Of(value)};
        anyAlpha = anyAlpha || colour.a != 0;
      }
      store(x, row, colour);
    }
  }
  // Many writers leave the fourth byte of every pixel zero: such a picture
  // is opaque, not invisible.
  if (picture.bitsPerPixel == 32 && !anyAlpha) {
    for (std::uint32_t row = 0; row < height; ++row) {
      std::uint8_t* out = picture.pixels.data() + static_cast<std::size_t>(row) * picture.stride;
      for (std::uint32_t x = 0; x < width; ++x) out[x * 4 + 3] = 255;
    }
  }
  return picture;
}

// --------------------------------------------------------------- Icon --

constexpr std::size_t IconDirSize = 6;
constexpr std::size_t IconEntrySize = 16;

struct IconImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bitsPerPixel = 0;
  bool png = false;
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

// Checks the parts of one image of an icon file that cost nothing to check:
// for a PNG its header chunk (the size in range), for a DIB (doubled height:
// colour rows then AND-mask rows) that its header, colour table, colour rows
// and mask rows all lie inside the image's bytes. A PNG image is decoded in
// full only once chosen, so a file of many PNG entries costs one decode.
std::optional<IconImage> CheckIconImage(const std::uint8_t* image, std::size_t size) {
  if (HasPngSignature(image, size)) {
    // Signature, then the IHDR chunk: length 13, type, width, height.
    constexpr std::size_t IhdrEnd = 8 + 8 + 8;
    if (!Inside(size, 0, IhdrEnd) || BigEndian32(image + 8) != 13 ||
        std::memcmp(image + 12, "IHDR", 4) != 0) {
      return std::nullopt;
    }
    const std::uint32_t width = BigEndian32(image + 16);
    const std::uint32_t height = BigEndian32(image + 20);
    if (!SideInRange(width) || !SideInRange(height)) return std::nullopt;
    return IconImage{width, height, 32, true};
  }
  if (!Inside(size, 0, InfoHeaderSize)) return std::nullopt;
  const std::uint32_t headerSize = U32(image);
  if (!KnownInfoHeaderSize(headerSize) || !Inside(size, 0, headerSize)) return std::nullopt;
  const std::int64_t width = I32(image + 4);
  const std::int64_t doubledHeight = I32(image + 8);
  const std::uint16_t planes = U16(image + 12);
  const std::uint16_t bpp = U16(image + 14);
  const std::uint32_t compression = U32(image + 16);
  const std::uint32_t colorsUsed = U32(image + 32);
  const std::int64_t height = doubledHeight / 2;
  if (!SideInRange(width) || doubledHeight < 0 || !SideInRange(height)) return std::nullopt;
  if (planes != 1 || compression != BiRgb) return std::nullopt;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
  // The colour table as the system sizes it: at most 256 entries, all
  // 1 << bpp of them when the header gives none.
  std::uint64_t colors = std::min<std::uint32_t>(colorsUsed, 256);
  if (colors == 0 && bpp <= 8) colors = 1u << bpp;
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint64_t>(height);
  const std::uint64_t needed = headerSize + colors * 4 + DibStride(w, bpp) * h + DibStride(w, 1) * h;
  if (needed > size) return std::nullopt;
  return IconImage{w, static_cast<std::uint32_t>(height), bpp, false};
}

std::optional<DecodedPicture> DecodeIcon(const std::uint8_t* bytes, std::size_t size) {
  if (!Inside(size, 0, IconDirSize) || U16(bytes) != 0 || U16(bytes + 2) != 1) return std::nullopt;
  const std::size_t count = U16(bytes + 4);
  const std::size_t directoryEnd = IconDirSize + count * IconEntrySize;
  if (count == 0 || directoryEnd > size) return std::nullopt;

  // The largest image wins; between equal sizes, the deepest colour.
  std::optional<IconImage> best;
  std::size_t bestOffset = 0;
  std::size_t bestSize = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = bytes + IconDirSize + i * IconEntrySize;
    const std::uint32_t imageSize = U32(entry + 8);
    const std::uint32_t imageOffset = U32(entry + 12);
    // A directory that points outside the file (or into itself) is damaged.
    if (imageSize == 0 || imageOffset < directoryEnd || !Inside(size, imageOffset, imageSize)) {
      return std::nullopt;
    }
    std::optional<IconImage> image = CheckIconImage(bytes + imageOffset, imageSize);
    if (!image) continue;
    const std::uint64_t area = static_cast<std::uint64_t>(image->width) * image->height;
    const std::uint64_t bestArea = best ? static_cast<std::uint64_t>(best->width) * best->height : 0;
    if (!best || area > bestArea || (area == bestArea && image->bitsPerPixel > best->bitsPerPixel)) {
      best = image;
      bestOffset = imageOffset;
      bestSize = imageSize;
    }
  }
  if (!best) return std::nullopt;
  // The chosen PNG must decode whole, as a PNG file of its own would.
  if (best->png && !DecodePng(bytes + bestOffset, bestSize)) return std::nullopt;

  DecodedPicture picture;
  picture.kind = PictureKind::Icon;
  picture.width = best->width;
  picture.height = best->height;
  picture.bitsPerPixel = best->bitsPerPixel;
  picture.iconImage.assign(bytes + bestOffset, bytes + bestOffset + bestSize);
  return picture;
}

}  // namespace

std::optional<DecodedPicture> DecodePicture(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size == 0 || size > MaxPictureFileBytes) return std::nullopt;
  try {
    if (std::optional<DecodedPicture> icon = DecodeIcon(bytes, size)) return icon;
    if (std::optional<DecodedPicture> bmp = DecodeBmp(bytes, size)) return bmp;
    if (std::optional<DecodedPicture> png = DecodePng(bytes, size)) return png;
  } catch (const std::bad_alloc&) {
    // A picture too large for the memory at hand is no picture.
  }
  return std::nullopt;
}

}  // namespace korvane
