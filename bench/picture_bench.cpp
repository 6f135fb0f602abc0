// Time to decode the program's two PNG sizes: a 100 x 49 picture with alpha
// and a 596 x 46 banner without, both made here with libpng's writer from a
// gradient with detail (so they compress like drawn art, not like a flat
// fill), then decoded again and again from memory by DecodePicture.
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/picture_decoder.h"

namespace korvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void NoFlush(png_structp) {}

bool Write(png_structp png, png_infop info, std::uint32_t width, std::uint32_t height, bool alpha,
           std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return true;
}

// A gradient with a checker of light and dark bands and a soft-edged disc
// of transparency, as an RGB or RGBA PNG.
Bytes MakePng(std::uint32_t width, std::uint32_t height, bool alpha) {
  const unsigned channels = alpha ? 4 : 3;
  std::vector<Bytes> pixels(height, Bytes(width * channels));
  std::vector<png_bytep> rows;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* p = pixels[y].data() + x * channels;
      const bool band = ((x / 8) + (y / 8)) % 2 == 0;
      p[0] = static_cast<std::uint8_t>(x * 255 / width);
      p[1] = static_cast<std::uint8_t>(y * 255 / height);
      p[2] = static_cast<std::uint8_t>(band ? 200 : 60 + (x * y) % 40);
      if (alpha) {
        const int dx = static_cast<int>(x) - static_cast<int>(width / 2);
        const int dy = static_cast<int>(y) - static_cast<int>(height / 2);
        const int d2 = dx * dx + dy * dy;
        p[3] = static_cast<std::uint8_t>(d2 < 100 ? 0 : d2 < 400 ? (d2 - 100) * 255 / 300 : 255);
      }
    }
    rows.push_back(pixels[y].data());
  }
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, NoFlush);
  const bool written = Write(png, info, width, height, alpha, rows);
  png_destroy_write_struct(&png, &info);
  if (!written) {
    std::fprintf(stderr, "picture_bench: libpng could not write the %ux%u picture\n", width, height);
    std::exit(1);
  }
  return out;
}

void DecodePng(benchmark::State& state, std::uint32_t width, std::uint32_t height, bool alpha) {
  const Bytes png = MakePng(width, height, alpha);
  const std::optional<DecodedPicture> check = DecodePicture(png.data(), png.size());
  if (!check || check->width != width || check->height != height || check->bitsPerPixel != (alpha ? 32 : 24)) {
    state.SkipWithError("the picture does not decode");
    return;
  }
  for (auto _ : state) {
    std::optional<DecodedPicture> picture = DecodePicture(png.data(), png.size());
    benchmark::DoNotOptimize(picture);
  }
  state.counters["file_bytes"] = static_cast<double>(png.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * width * height * (alpha ? 4 : 3));
}

BENCHMARK_CAPTURE(DecodePng, rgba_100x49, 100, 49, true);
BENCHMARK_CAPTURE(DecodePng, rgb_596x46, 596, 46, false);

// The two pictures the program ships, read from assets/.
void DecodeShipped(benchmark::State& state, const char* name) {
  const std::string path = std::string(KORVANE_ASSETS_DIR) + "/" + name;
  Bytes file;
  if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
    std::uint8_t buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
      file.insert(file.end(), buffer, buffer + got);
    }
    std::fclose(in);
  }
  if (!DecodePicture(file.data(), file.size())) {
    state.SkipWithError(("cannot decode " + path).c_str());
    return;
  }
  for (auto _ : state) {
    std::optional<DecodedPicture> picture = DecodePicture(file.data(), file.size());
    benchmark::DoNotOptimize(picture);
  }
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

BENCHMARK_CAPTURE(DecodeShipped, logo, "KorvaneLogoNeon100x49.png");
BENCHMARK_CAPTURE(DecodeShipped, banner, "KorvaneHizukeGUILogo.png");

}  // namespace
}  // namespace korvane

BENCHMARK_MAIN();
