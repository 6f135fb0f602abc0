// LoadPicture against real files in a scratch folder: files it cannot read
// give null; good files give a GDI bitmap or icon of the right size and depth.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/picture/picture_fixtures.h"
#include "ui/picture.h"

namespace korvane::test {
namespace {

class LoadPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"korvane-picture-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }

  void TearDown() override {
    for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  std::wstring Write(const wchar_t* name, const Bytes& bytes) {
    const std::wstring path = folder_ + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty()) {
      EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    CloseHandle(file);
    files_.push_back(path);
    return path;
  }

  std::wstring folder_;
  std::vector<std::wstring> files_;
};

// Width, height, depth and bits of a bitmap picture, through GetObject.
DIBSECTION DibOf(const Picture* picture) {
  DIBSECTION dib{};
  EXPECT_EQ(GetObjectW(PictureBitmap(picture), sizeof dib, &dib), static_cast<int>(sizeof dib));
  return dib;
}

TEST_F(LoadPictureTest, UnreadablePathsGiveNull) {
  const std::wstring empty = Write(L"empty.png", {});
  const std::wstring missing = folder_ + L"\\missing.png";
  struct Row {
    const char* name;
    const wchar_t* path;
  } rows[] = {
      {"missing file", missing.c_str()},
      {"folder", folder_.c_str()},
      {"empty file", empty.c_str()},
      {"empty path", L""},
      {"null path", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PicturePtr picture(LoadPicture(row.path));
    EXPECT_EQ(picture, nullptr);
  }
}

TEST_F(LoadPictureTest, FileLockedByAnotherHandleGivesNull) {
  const std::wstring path = Write(L"locked.png", SimplePng(4, 4, Pattern, false));
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PicturePtr locked(LoadPicture(path.c_str()));
  CloseHandle(lock);
  EXPECT_EQ(locked, nullptr);
  // The same file once the lock is gone.
  PicturePtr unlocked(LoadPicture(path.c_str()));
  EXPECT_NE(unlocked, nullptr);
}

TEST_F(LoadPictureTest, OtherFormatsUnderAPictureNameGiveNull) {
  struct Row {
    const wchar_t* name;
    Bytes bytes;
  } rows[] = {
      {L"photo.png", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0xFF, 0xD9}},
      {L"anim.png", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, ';'}},
      {L"broken.bmp", Truncated(SimplePng(4, 4, Pattern, false), 40)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name, row.name + wcslen(row.name)));
    PicturePtr picture(LoadPicture(Write(row.name, row.bytes).c_str()));
    EXPECT_EQ(picture, nullptr);
  }
}

TEST_F(LoadPictureTest, FileOverTheSizeLimitGivesNull) {
  // A good PNG, then zeros up to one byte past the limit.
  const std::wstring path = Write(L"huge.png", SimplePng(4, 4, Pattern, false));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(MaxPictureFileBytes) + 1;
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  EXPECT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  PicturePtr picture(LoadPicture(path.c_str()));
  EXPECT_EQ(picture, nullptr);
}

TEST_F(LoadPictureTest, PngsAndBmpsBecomeBitmaps) {
  struct Row {
    const wchar_t* name;
    Bytes bytes;
    int bitsPerPixel;
    Rgba topLeft;
  } rows[] = {
      {L"rgb.png", SimplePng(100, 49, Pattern, false), 24, Pattern(0, 0)},
      {L"rgba.png", SimplePng(100, 49, PatternAlpha, true), 32, PatternAlpha(0, 0)},
      // The name says icon; the bytes are a PNG.
      {L"named.ico", SimplePng(100, 49, Pattern, false), 24, Pattern(0, 0)},
      {L"picture.bmp", EncodeBmp([] {
         BmpPlan plan;
         plan.width = 100;
         plan.height = 49;
         plan.colour = Pattern;
         return plan;
       }()), 24, Pattern(0, 0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name, row.name + wcslen(row.name)));
    PicturePtr picture(LoadPicture(Write(row.name, row.bytes).c_str()));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, PictureKind::Bitmap);
    EXPECT_EQ(PictureIcon(picture.get()), nullptr);
    EXPECT_EQ(picture->width, 100);
    EXPECT_EQ(picture->height, 49);
    EXPECT_EQ(picture->bitsPerPixel, row.bitsPerPixel);

    const DIBSECTION dib = DibOf(picture.get());
    EXPECT_EQ(dib.dsBm.bmWidth, 100);
    EXPECT_EQ(dib.dsBm.bmHeight, 49);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, row.bitsPerPixel);
    EXPECT_GT(dib.dsBmih.biHeight, 0) << "rows must be bottom-up";
    ASSERT_NE(dib.dsBm.bmBits, nullptr);
    // The picture's top-left pixel is the first pixel of the last stored row.
    const auto* last = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) +
                       static_cast<std::size_t>(dib.dsBm.bmWidthBytes) * (dib.dsBm.bmHeight - 1);
    EXPECT_EQ((Rgba{last[2], last[1], last[0], row.bitsPerPixel == 32 ? last[3] : std::uint8_t{255}}), row.topLeft);
  }
}

TEST_F(LoadPictureTest, IconFilesBecomeIcons) {
  struct Row {
    const wchar_t* name;
    Bytes bytes;
    int size;
  } rows[] = {
      {L"app.ico", EncodeIcon({{IconDib32(16, 16, Pattern), 16, 16, 32}, {IconDib32(32, 32, PatternAlpha), 32, 32, 32}}),
       32},
      {L"grey.ico", EncodeIcon({{IconDib8(48, 48), 48, 48, 8}}), 48},
      {L"png-image.ico", EncodeIcon({{SimplePng(64, 64, PatternAlpha, true), 64, 64, 32}}), 64},
      // The name says PNG; the bytes are an icon file.
      {L"named.png", EncodeIcon({{IconDib32(24, 24, Pattern), 24, 24, 32}}), 24},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name, row.name + wcslen(row.name)));
    PicturePtr picture(LoadPicture(Write(row.name, row.bytes).c_str()));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, PictureKind::Icon);
    EXPECT_EQ(PictureBitmap(picture.get()), nullptr);
    ASSERT_NE(PictureIcon(picture.get()), nullptr);
    EXPECT_EQ(picture->width, row.size);
    EXPECT_EQ(picture->height, row.size);

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(PictureIcon(picture.get()), &info));
    BITMAP colour{};
    ASSERT_NE(info.hbmColor, nullptr);
    EXPECT_NE(GetObjectW(info.hbmColor, sizeof colour, &colour), 0);
    EXPECT_EQ(colour.bmWidth, row.size);
    EXPECT_EQ(colour.bmHeight, row.size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

TEST(ReleasePicture, NullIsAllowed) {
  ReleasePicture(nullptr);
  EXPECT_EQ(PictureBitmap(nullptr), nullptr);
  EXPECT_EQ(PictureIcon(nullptr), nullptr);
}

}  // namespace
}  // namespace korvane::test
