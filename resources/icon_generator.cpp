// Draws the program's icon and writes it as a one-image .ico file, which the
// resource script embeds. It runs on the build machine, so the icon is made
// from this source at build time instead of being kept as a binary.
//
// The image is 256x256 at 32 bits: a calendar page in outlined rectangles,
// pale pink on a transparent ground, with one day cell ringed as the day
// the program works out. Every pixel is either fully opaque in the one
// colour or fully transparent and black, and the AND mask marks exactly the
// transparent ones, so the icon looks the same however it is drawn.
//
// Usage: icon_generator OUTPUT.ico

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr std::uint8_t kRed = 252, kGreen = 210, kBlue = 210;

constexpr std::uint32_t kHeaderBytes = 40;
constexpr std::uint32_t kColourBytes = kSize * kSize * 4;
constexpr std::uint32_t kMaskRowBytes = kSize / 8;  // already a multiple of 4
constexpr std::uint32_t kMaskBytes = kMaskRowBytes * kSize;
constexpr std::uint32_t kImageBytes = kHeaderBytes + kColourBytes + kMaskBytes;
static_assert(kImageBytes == 270376);

// Which pixels are drawn, indexed [y][x] with y = 0 the top row.
using Canvas = std::vector<std::array<bool, kSize>>;

// Marks the frame of the rectangle [left, right) x [top, bottom), `thick`
// pixels wide, inside those bounds.
void outline(Canvas& canvas, int left, int top, int right, int bottom,
             int thick) {
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      bool edge = x < left + thick || x >= right - thick || y < top + thick ||
                  y >= bottom - thick;
      if (edge && x >= 0 && x < kSize && y >= 0 && y < kSize) {
        canvas[y][x] = true;
      }
    }
  }
}

Canvas draw() {
  Canvas canvas(kSize);
  for (auto& row : canvas) row.fill(false);

  // The page, and its header band across the top.
  outline(canvas, 16, 36, 240, 240, 10);
  outline(canvas, 16, 36, 240, 88, 10);
  // Two binder rings standing up through the header.
  outline(canvas, 60, 12, 84, 60, 8);
  outline(canvas, 172, 12, 196, 60, 8);

  // Three weeks of four day cells inside the page.
  constexpr int cellWidth = 36, cellHeight = 32;
  constexpr int columns[] = {38, 86, 134, 182};
  constexpr int rows[] = {107, 148, 189};
  for (int top : rows) {
    for (int left : columns) {
      outline(canvas, left, top, left + cellWidth, top + cellHeight, 4);
    }
  }
  // The day reached: a second, thinner ring around one cell.
  const int left = columns[2], top = rows[2];
  outline(canvas, left - 6, top - 6, left + cellWidth + 6,
          top + cellHeight + 6, 3);
  return canvas;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

// The image as an icon stores it: a BITMAPINFOHEADER with twice the height
// (colour plus mask), the BGRA rows, then the 1-bit AND mask, both bottom
// row first.
std::vector<std::uint8_t> encode(const Canvas& canvas) {
  std::vector<std::uint8_t> out;
  out.reserve(kImageBytes);
  put32(out, kHeaderBytes);
  put32(out, kSize);      // width
  put32(out, kSize * 2);  // height of colour and mask together
  put16(out, 1);          // planes
  put16(out, 32);         // bits per pixel
  put32(out, 0);          // BI_RGB
  put32(out, 0);          // image size, may be 0 for BI_RGB
  put32(out, 0);          // horizontal resolution
  put32(out, 0);          // vertical resolution
  put32(out, 0);          // colours used
  put32(out, 0);          // colours important

  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) {
      if (canvas[y][x]) {
        out.insert(out.end(), {kBlue, kGreen, kRed, 255});
      } else {
        out.insert(out.end(), {0, 0, 0, 0});
      }
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 8) {
      std::uint8_t bits = 0;
      for (int i = 0; i < 8; ++i) {
        if (!canvas[y][x + i]) bits |= static_cast<std::uint8_t>(0x80 >> i);
      }
      out.push_back(bits);
    }
  }
  return out;
}

// An .ico file holding the one image: the directory, its single entry, then
// the image right after them.
std::vector<std::uint8_t> icoFile(const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> out;
  put16(out, 0);  // reserved
  put16(out, 1);  // type: icon
  put16(out, 1);  // one image
  out.push_back(0);  // width 256
  out.push_back(0);  // height 256
  out.push_back(0);  // no palette
  out.push_back(0);  // reserved
  put16(out, 1);     // planes
  put16(out, 32);    // bits per pixel
  put32(out, static_cast<std::uint32_t>(image.size()));
  put32(out, 6 + 16);  // where the image starts
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
    return 2;
  }
  std::vector<std::uint8_t> image = encode(draw());
  if (image.size() != kImageBytes) {
    std::fprintf(stderr, "icon_generator: image is %zu bytes, not %u\n",
                 image.size(), static_cast<unsigned>(kImageBytes));
    return 1;
  }
  std::vector<std::uint8_t> file = icoFile(image);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()),
            static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "icon_generator: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
