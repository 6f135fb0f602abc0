// DecodePicture on arbitrary bytes: it must never crash or read outside the
// buffer (ASan watches), and a picture it returns must be whole: a bitmap's
// pixel buffer exactly height rows of the DIB stride for its width and depth,
// an icon's image exactly the bytes one directory entry of the input names.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ui/picture_decoder.h"

namespace {

using korvane::DecodedPicture;
using korvane::fuzz::Fail;

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void CheckBitmap(const DecodedPicture& picture) {
  if (picture.bitsPerPixel != 24 && picture.bitsPerPixel != 32) {
    Fail("bitmap depth " + std::to_string(picture.bitsPerPixel));
  }
  if (picture.width == 0 || picture.height == 0 || picture.width > korvane::MaxPictureSide ||
      picture.height > korvane::MaxPictureSide) {
    Fail("bitmap size " + std::to_string(picture.width) + "x" + std::to_string(picture.height));
  }
  // Rows of width pixels, padded to 4 bytes, computed here the long way.
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * (picture.bitsPerPixel / 8);
  const std::size_t stride = rowBytes + (4 - rowBytes % 4) % 4;
  if (picture.stride != stride) Fail("stride " + std::to_string(picture.stride) + ", want " + std::to_string(stride));
  if (picture.pixels.size() != stride * picture.height) {
    Fail("pixel bytes " + std::to_string(picture.pixels.size()) + ", want " + std::to_string(stride * picture.height));
  }
  if (!picture.iconImage.empty()) Fail("bitmap with icon bytes");
}

void CheckIcon(const DecodedPicture& picture, const std::uint8_t* data, std::size_t size) {
  if (!picture.pixels.empty() || picture.stride != 0) Fail("icon with pixels");
  if (picture.width == 0 || picture.height == 0 || picture.width > korvane::MaxPictureSide ||
      picture.height > korvane::MaxPictureSide) {
    Fail("icon size " + std::to_string(picture.width) + "x" + std::to_string(picture.height));
  }
  if (size < 6 || data[0] != 0 || data[1] != 0 || data[2] != 1 || data[3] != 0) Fail("icon from a non-icon file");
  const std::size_t count = data[4] | (data[5] << 8);
  if (6 + 16 * count > size) Fail("icon directory past the end");
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = data + 6 + 16 * i;
    const std::uint64_t length = Le32(entry + 8);
    const std::uint64_t offset = Le32(entry + 12);
    if (offset + length > size) Fail("icon entry past the end accepted");
    if (length == picture.iconImage.size() &&
        std::memcmp(data + offset, picture.iconImage.data(), picture.iconImage.size()) == 0) {
      return;
    }
  }
  Fail("icon image matches no directory entry");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<DecodedPicture> picture = korvane::DecodePicture(data, size);
  if (!picture) return 0;
  if (picture->kind == korvane::PictureKind::Bitmap) {
    CheckBitmap(*picture);
  } else {
    CheckIcon(*picture, data, size);
  }
  return 0;
}
