// LoadPicture: reads the whole file in one go, decodes it with the portable
// decoder, and hands the result to GDI.
#include "ui/picture.h"

#include <cstring>
#include <new>
#include <vector>

#include "ui/gdi_count.h"

namespace korvane {
namespace {

// Closes the file on every path out of ReadWholeFile.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The file's bytes, or false when it cannot be opened, is not a plain file,
// is empty or over MaxPictureFileBytes, or reads short.
bool ReadWholeFile(const wchar_t* path, std::vector<std::uint8_t>& bytes) {
  FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return false;
  if (size.QuadPart <= 0 || static_cast<unsigned long long>(size.QuadPart) > MaxPictureFileBytes) {
    return false;
  }
  const auto wanted = static_cast<DWORD>(size.QuadPart);
  bytes.resize(wanted);
  DWORD got = 0;
  if (!ReadFile(file.get(), bytes.data(), wanted, &got, nullptr) || got != wanted) return false;
  return true;
}

HBITMAP MakeBitmap(const DecodedPicture& decoded) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(decoded.width);
  info.bmiHeader.biHeight = static_cast<LONG>(decoded.height);  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = decoded.bitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = Counted(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap == nullptr || bits == nullptr) {
    DeleteCounted(bitmap);
    return nullptr;
  }
  std::memcpy(bits, decoded.pixels.data(), decoded.pixels.size());
  return bitmap;
}

HICON MakeIcon(const DecodedPicture& decoded) {
  // The image's own size, so the system does not scale it to the default
  // icon size.
  return Counted(CreateIconFromResourceEx(
      const_cast<PBYTE>(decoded.iconImage.data()), static_cast<DWORD>(decoded.iconImage.size()),
      TRUE, 0x00030000, static_cast<int>(decoded.width), static_cast<int>(decoded.height),
      LR_DEFAULTCOLOR));
}

}  // namespace

Picture* LoadPicture(const wchar_t* path) {
  if (path == nullptr) return nullptr;
  try {
    std::optional<DecodedPicture> decoded;
    {
      std::vector<std::uint8_t> bytes;
      if (!ReadWholeFile(path, bytes)) return nullptr;
      decoded = DecodePicture(bytes.data(), bytes.size());
    }  // the file's bytes are released before the GDI object is made
    if (!decoded) return nullptr;

    HANDLE handle = decoded->kind == PictureKind::Icon
                        ? static_cast<HANDLE>(MakeIcon(*decoded))
                        : static_cast<HANDLE>(MakeBitmap(*decoded));
    if (handle == nullptr) return nullptr;
    auto* picture = new (std::nothrow) Picture{decoded->kind, handle, static_cast<int>(decoded->width),
                                               static_cast<int>(decoded->height), decoded->bitsPerPixel};
    if (picture == nullptr) {
      if (decoded->kind == PictureKind::Icon) {
        DestroyCountedIcon(static_cast<HICON>(handle));
      } else {
        DeleteCounted(handle);
      }
    }
    return picture;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HBITMAP PictureBitmap(const Picture* picture) {
  if (picture == nullptr || picture->kind != PictureKind::Bitmap) return nullptr;
  return static_cast<HBITMAP>(picture->handle);
}

HICON PictureIcon(const Picture* picture) {
  if (picture == nullptr || picture->kind != PictureKind::Icon) return nullptr;
  return static_cast<HICON>(picture->handle);
}

void ReleasePicture(Picture* picture) {
  if (picture == nullptr) return;
  if (picture->handle != nullptr) {
    if (picture->kind == PictureKind::Icon) {
      DestroyCountedIcon(static_cast<HICON>(picture->handle));
    } else {
      DeleteCounted(picture->handle);
    }
  }
  delete picture;
}

}  // namespace korvane
