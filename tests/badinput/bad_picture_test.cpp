// Bad picture files where the program looks for its two pictures
// (D:\KorvaneDateCalcXdaysAfterGUI-SRC): directories in their place, files
// another process holds locked, empty files, a 70 MiB file, the picture
// decoder's fuzz seeds cut short, and made files that claim huge pictures.
// For each the program is started: it must show its window with empty
// picture frames of their usual sizes (600 x 50 and 100 x 49), answer a
// press, and close with exit code 0. The real pictures and the fuzz seeds
// themselves show, and must not harm it either.
//
// Run through tests/badinput/with-drive-d, which points drive D: of the
// Wine prefix at an empty folder for the run and back afterwards.
//
// Usage: bad_picture_tests [gtest flags] PROGRAM.exe ASSETS SEEDS DRIVE_D
// (folders as Unix or Windows paths: the project's assets/, the fuzz seeds
// of the picture decoder, and the folder that drive D: shows).

#include "tests/driver/program_driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using korvane::driver::ProgramControl;
using korvane::driver::RunningProgram;
using korvane::driver::Utf8;
using korvane::driver::WaitFor;
using korvane::driver::WindowsPath;

using Bytes = std::vector<std::uint8_t>;

std::wstring g_program, g_assets, g_seeds, g_drive;

constexpr wchar_t kFolder[] = L"\\KorvaneDateCalcXdaysAfterGUI-SRC";
constexpr wchar_t kBannerName[] = L"\\KorvaneHizukeGUILogo.png";
constexpr wchar_t kLogoName[] = L"\\KorvaneLogoNeon100x49.png";

std::wstring PictureFolder() { return g_drive + kFolder; }
std::wstring BannerPath() { return PictureFolder() + kBannerName; }
std::wstring LogoPath() { return PictureFolder() + kLogoName; }

// --- Files -----------------------------------------------------------------

bool ReadFile(const std::wstring& path, Bytes& bytes) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  bytes.clear();
  std::uint8_t buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  return true;
}

bool WriteFile(const std::wstring& path, const Bytes& bytes) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// A file of size bytes that starts with head and goes on with a pattern.
bool WriteLargeFile(const std::wstring& path, const Bytes& head, std::size_t size) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  Bytes block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 131 + 7);
  bool written = std::fwrite(head.data(), 1, head.size(), file) == head.size();
  for (std::size_t left = size - head.size(); written && left > 0;) {
    const std::size_t n = left < block.size() ? left : block.size();
    written = std::fwrite(block.data(), 1, n, file) == n;
    left -= n;
  }
  return std::fclose(file) == 0 && written;
}

// Removes whatever the path names: a file, or a folder with all inside.
void RemoveAll(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") RemoveAll(path + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

// An empty picture folder on drive D:.
bool FreshPictureFolder() {
  RemoveAll(PictureFolder());
  return CreateDirectoryW(PictureFolder().c_str(), nullptr) != 0;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// --- Made pictures -----------------------------------------------------------

void Put32(Bytes& out, std::uint32_t v) {  // big-endian, as PNG keeps numbers
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Put32Le(Bytes& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Put16Le(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutChunk(Bytes& png, const char* type, const Bytes& data, bool rightCrc = true) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const std::uint32_t crc = Crc32(png.data() + start, png.size() - start);
  Put32(png, rightCrc ? crc : ~crc);
}

// A zlib stream holding the bytes in one stored block.
Bytes Stored(const Bytes& raw) {
  Bytes z = {0x78, 0x01, 0x01};
  Put16Le(z, static_cast<std::uint16_t>(raw.size()));
  Put16Le(z, static_cast<std::uint16_t>(~raw.size()));
  z.insert(z.end(), raw.begin(), raw.end());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, (b << 16) | a);
  return z;
}

// A PNG whose header claims width x height pixels of the colour type at 8
// or 16 bits, with a few bytes of picture data.
Bytes Png(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colourType,
          bool rightHeaderCrc = true) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Put32(header, width);
  Put32(header, height);
  header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
  PutChunk(png, "IHDR", header, rightHeaderCrc);
  PutChunk(png, "IDAT", Stored(Bytes(64, 0)));
  PutChunk(png, "IEND", {});
  return png;
}

// A BMP whose header claims the size, with no room for its pixels.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint16_t bitCount) {
  Bytes bmp = {'B', 'M'};
  Put32Le(bmp, 54 + 16);
  Put32Le(bmp, 0);
  Put32Le(bmp, 54);
  Put32Le(bmp, 40);
  Put32Le(bmp, static_cast<std::uint32_t>(width));
  Put32Le(bmp, static_cast<std::uint32_t>(height));
  Put16Le(bmp, 1);
  Put16Le(bmp, bitCount);
  for (int i = 0; i < 6; ++i) Put32Le(bmp, 0);
  bmp.resize(bmp.size() + 16, 0xAB);
  return bmp;
}

// An icon file with count directory entries, each pointing past the end.
Bytes IconPointingOutside(std::uint16_t count) {
  Bytes ico;
  Put16Le(ico, 0);
  Put16Le(ico, 1);
  Put16Le(ico, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    ico.insert(ico.end(), {0, 0, 0, 0});  // 256 x 256, no palette
    Put16Le(ico, 1);
    Put16Le(ico, 32);
    Put32Le(ico, 0x7FFFFFF0u);        // bytes in the image
    Put32Le(ico, 0xFFFFFF00u - i);    // where it starts
  }
  return ico;
}

// --- The window seen from outside -------------------------------------------

// The colours of the control's client area as the screen shows them.
std::set<std::uint32_t> ColoursOf(HWND control) {
  std::set<std::uint32_t> colours;
  RECT client{};
  GetClientRect(control, &client);
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return colours;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t p : pixels) colours.insert(p & 0xFFFFFF);
  return colours;
}

SIZE SizeOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  return {place.right - place.left, place.bottom - place.top};
}

std::string Describe(SIZE size) { return std::to_string(size.cx) + " x " + std::to_string(size.cy); }

// --- One start -----------------------------------------------------------

enum class Frames {
  Empty,  // no picture: one colour, the usual sizes
  Shown,  // the real pictures: many colours, each control the picture's size + 4
  Any,    // a picture may or may not show; only the program's health counts
};

// Starts the program over the picture folder as it is now and checks it.
void StartAndCheck(const std::string& scenario, Frames frames) {
  SCOPED_TRACE(scenario);
  const ULONGLONG started = GetTickCount64();
  std::string why;
  std::unique_ptr<RunningProgram> program = RunningProgram::Start(g_program, &why);
  ASSERT_NE(program, nullptr) << why;
  const ULONGLONG ready = GetTickCount64();

  const HWND banner = program->Control(ProgramControl::BannerImage);
  const HWND logo = program->Control(ProgramControl::LogoImage);
  if (frames == Frames::Empty) {
    EXPECT_EQ(Describe(SizeOf(banner)), "600 x 50") << "banner frame";
    EXPECT_EQ(Describe(SizeOf(logo)), "100 x 49") << "logo frame";
  } else if (frames == Frames::Shown) {
    EXPECT_EQ(Describe(SizeOf(banner)), "600 x 50") << "banner frame";
    EXPECT_EQ(Describe(SizeOf(logo)), "104 x 53") << "logo frame";
  }
  if (frames != Frames::Any) {
    // Seen on the screen once painted: in front, the calendar drawn.
    SetForegroundWindow(program->Window());
    const HWND calendar = program->Control(ProgramControl::Calendar);
    const bool painted = WaitFor([&] { return ColoursOf(calendar).size() > 1; }, 5000);
    EXPECT_TRUE(painted) << "the window was never painted";
    for (HWND frame : {banner, logo}) {
      const char* which = frame == banner ? "banner" : "logo";
      const bool asExpected = WaitFor(
          [&] {
            const std::size_t colours = ColoursOf(frame).size();
            return frames == Frames::Empty ? colours == 1 : colours > 8;
          },
          5000);
      EXPECT_TRUE(asExpected) << which << " frame shows " << ColoursOf(frame).size()
                              << " colours, expected "
                              << (frames == Frames::Empty ? "one (empty)" : "a picture");
    }
  }

  ASSERT_TRUE(program->SetText(ProgramControl::YearField, L"2019"));
  ASSERT_TRUE(program->SetText(ProgramControl::MonthBox, L"03"));
  ASSERT_TRUE(program->SetText(ProgramControl::DayBox, L"22"));
  ASSERT_TRUE(program->SetText(ProgramControl::AfterDaysField, L"100"));
  const RunningProgram::PressResult press = program->Press(ProgramControl::AfterButton);
  EXPECT_TRUE(press.answered);
  EXPECT_EQ(press.text, L"2019/06/30");
  EXPECT_TRUE(program->IsResponsive(1000));

  DWORD code = 1;
  ASSERT_TRUE(program->Close(10000, &code)) << "still running 10 s after WM_CLOSE";
  EXPECT_EQ(code, 0u) << "exit code";
  std::printf("  %-58s ready in %5llu ms, press %.1f ms\n", scenario.c_str(),
              static_cast<unsigned long long>(ready - started), press.milliseconds);
}

class BadPictures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FreshPictureFolder()) << Utf8(PictureFolder()); }
  void TearDown() override { RemoveAll(PictureFolder()); }
};

TEST_F(BadPictures, TheRealPicturesShow) {
  Bytes banner, logo;
  ASSERT_TRUE(ReadFile(g_assets + kBannerName, banner));
  ASSERT_TRUE(ReadFile(g_assets + kLogoName, logo));
  ASSERT_TRUE(WriteFile(BannerPath(), banner));
  ASSERT_TRUE(WriteFile(LogoPath(), logo));
  StartAndCheck("the real pictures", Frames::Shown);
}

TEST_F(BadPictures, NoPicturesAtAll) { StartAndCheck("no picture files", Frames::Empty); }

TEST_F(BadPictures, FoldersInTheirPlace) {
  ASSERT_TRUE(CreateDirectoryW(BannerPath().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(LogoPath().c_str(), nullptr));
  StartAndCheck("folders named as the pictures", Frames::Empty);
}

TEST_F(BadPictures, FilesLockedByAnotherProcess) {
  Bytes banner, logo;
  ASSERT_TRUE(ReadFile(g_assets + kBannerName, banner));
  ASSERT_TRUE(ReadFile(g_assets + kLogoName, logo));
  ASSERT_TRUE(WriteFile(BannerPath(), banner));
  ASSERT_TRUE(WriteFile(LogoPath(), logo));
  // Open with no sharing at all while the program starts: it cannot read them.
  HANDLE locks[2];
  int i = 0;
  for (const std::wstring& path : {BannerPath(), LogoPath()}) {
    locks[i] = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locks[i], INVALID_HANDLE_VALUE) << "cannot lock " << Utf8(path);
    ++i;
  }
  StartAndCheck("the real pictures, locked", Frames::Empty);
  for (HANDLE lock : locks) CloseHandle(lock);
}

TEST_F(BadPictures, EmptyFiles) {
  ASSERT_TRUE(WriteFile(BannerPath(), {}));
  ASSERT_TRUE(WriteFile(LogoPath(), {}));
  StartAndCheck("0-byte files", Frames::Empty);
}

TEST_F(BadPictures, FilesTooLargeAndAtTheLimit) {
  const Bytes head = Png(100, 49, 8, 6);
  struct Large {
    const char* name;
    std::size_t size;
  };
  // 70 MiB is over the 64 MiB the program reads; 64 MiB is read in full.
  for (const Large large : {Large{"70 MiB files", 70u << 20}, Large{"64 MiB files", 64u << 20}}) {
    ASSERT_TRUE(WriteLargeFile(BannerPath(), head, large.size));
    ASSERT_TRUE(WriteLargeFile(LogoPath(), head, large.size));
    StartAndCheck(std::string(large.name) + " (a picture's first bytes, then noise)",
                  Frames::Empty);
  }
}

TEST_F(BadPictures, MadeFilesThatClaimHugeOrImpossiblePictures) {
  struct Made {
    const char* name;
    Bytes banner, logo;
  };
  const Made made[] = {
      {"PNG 2147483647 x 2147483647 / PNG 16384 x 16384 16-bit RGBA",
       Png(0x7FFFFFFF, 0x7FFFFFFF, 8, 6), Png(16384, 16384, 16, 6)},
      {"PNG 0 x 0 / PNG with a broken header checksum", Png(0, 0, 8, 2), Png(100, 49, 8, 6, false)},
      {"PNG 16384 x 1 / PNG with colour type 7", Png(16384, 1, 8, 6), Png(100, 49, 8, 7)},
      {"BMP 2147483647 x -2147483648 / BMP 16384 x 16384 32-bit",
       Bmp(0x7FFFFFFF, INT32_MIN, 24), Bmp(16384, 16384, 32)},
      {"icon with 65535 entries outside the file / BMP of 0 bits per pixel",
       IconPointingOutside(65535), Bmp(100, 49, 0)},
  };
  for (const Made& m : made) {
    ASSERT_TRUE(WriteFile(BannerPath(), m.banner));
    ASSERT_TRUE(WriteFile(LogoPath(), m.logo));
    StartAndCheck(m.name, Frames::Empty);
  }
}

TEST_F(BadPictures, FuzzSeedsCutShort) {
  const std::vector<std::wstring> seeds = FilesIn(g_seeds);
  ASSERT_FALSE(seeds.empty()) << "no seeds in " << Utf8(g_seeds);
  for (const std::wstring& seed : seeds) {
    Bytes bytes;
    ASSERT_TRUE(ReadFile(g_seeds + L"\\" + seed, bytes));
    const Bytes half(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    const Bytes header(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                           bytes.size() < 24 ? bytes.size() : 24));
    ASSERT_TRUE(WriteFile(BannerPath(), half));
    ASSERT_TRUE(WriteFile(LogoPath(), header));
    StartAndCheck(Utf8(seed) + ": half / first 24 bytes", Frames::Empty);
  }
}

TEST_F(BadPictures, FuzzSeedsAsTheyAre) {
  const std::vector<std::wstring> seeds = FilesIn(g_seeds);
  ASSERT_FALSE(seeds.empty()) << "no seeds in " << Utf8(g_seeds);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    // Each seed once as the banner and once as the logo.
    const std::wstring& other = seeds[(i + 1) % seeds.size()];
    Bytes banner, logo;
    ASSERT_TRUE(ReadFile(g_seeds + L"\\" + seeds[i], banner));
    ASSERT_TRUE(ReadFile(g_seeds + L"\\" + other, logo));
    ASSERT_TRUE(WriteFile(BannerPath(), banner));
    ASSERT_TRUE(WriteFile(LogoPath(), logo));
    StartAndCheck(Utf8(seeds[i]) + " / " + Utf8(other), Frames::Any);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 5) {
    std::fprintf(stderr, "usage: bad_picture_tests [gtest flags] PROGRAM.exe ASSETS SEEDS DRIVE_D\n");
    return 2;
  }
  g_program = argv[1];
  g_assets = WindowsPath(argv[2]);
  g_seeds = WindowsPath(argv[3]);
  g_drive = WindowsPath(argv[4]);
  for (std::wstring* folder : {&g_assets, &g_seeds, &g_drive}) {
    while (!folder->empty() && folder->back() == L'\\') folder->pop_back();
  }
  return RUN_ALL_TESTS();
}
