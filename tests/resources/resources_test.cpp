// Reads the built program's resources back the way Windows does (the
// resource and version APIs), and checks each one byte for byte: exactly the
// four resources, the manifest as committed, the icon's pixels and group
// entry, and the version record down to the order of its keys.
//
// Usage: resources_tests [gtest flags] PROGRAM.exe MANIFEST
// Either path may be a Unix absolute path; under Wine it is read through
// drive Z:, which maps the Unix root.

#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring g_program;
std::wstring g_manifest;

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
static_assert(kEnglishUs == 1033);

// The version strings, in the order the table must hold them.
struct VersionString {
  const wchar_t* key;
  const wchar_t* value;
};
constexpr VersionString kVersionStrings[] = {
    {L"CompanyName", L"合同会社Korvane Corporation"},
    {L"ProductName", L"こるばねの日付計算GUI"},
    {L"ProductVersion", L"1.0.0.0"},
    {L"FileVersion", L"1,0,190322,1812"},
    {L"FileDescription", L"X日後の日付を表示"},
    {L"InternalName", L"こるばねの日付計算GUI"},
    {L"OriginalFilename", L"KorvaneXDaysAfterGUI"},
    {L"Email", L"info@korvane.example"},
    {L"Website", L"www.korvane.example"},
};

std::string narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(),
                                 static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                      out.data(), size, nullptr, nullptr);
  return out;
}

// "/work/x" -> "Z:\work\x"; a Windows path is left as it is.
std::wstring windowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::uint16_t u16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint32_t u32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::string describeId(LPCWSTR id) {
  if (IS_INTRESOURCE(id)) {
    return std::to_string(reinterpret_cast<ULONG_PTR>(id));
  }
  return "\"" + narrow(id) + "\"";
}

// Collects every (type, id, language) the module holds, as text.
BOOL CALLBACK onLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language,
                         LONG_PTR found) {
  reinterpret_cast<std::vector<std::string>*>(found)->push_back(
      "type " + describeId(type) + ", id " + describeId(name) +
      ", language " + std::to_string(language));
  return TRUE;
}

BOOL CALLBACK onName(HMODULE module, LPCWSTR type, LPWSTR name,
                     LONG_PTR found) {
  EnumResourceLanguagesW(module, type, name, onLanguage, found);
  return TRUE;
}

BOOL CALLBACK onType(HMODULE module, LPWSTR type, LONG_PTR found) {
  EnumResourceNamesW(module, type, onName, found);
  return TRUE;
}

class ResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExW(
        g_program.c_str(), nullptr,
        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loadError_ = module_ == nullptr ? GetLastError() : 0;
  }
  static void TearDownTestSuite() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr)
        << "cannot load " << narrow(g_program) << " (error " << loadError_
        << ")";
  }

  // The bytes of resource (type, 1) in language 1033, or nothing.
  static std::optional<std::vector<std::uint8_t>> resource(WORD type) {
    HRSRC found = FindResourceExW(module_, MAKEINTRESOURCEW(type),
                                  MAKEINTRESOURCEW(1), kEnglishUs);
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(module_, found);
    DWORD size = SizeofResource(module_, found);
    if (loaded == nullptr) return std::nullopt;
    auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
    if (bytes == nullptr) return std::nullopt;
    return std::vector<std::uint8_t>(bytes, bytes + size);
  }

  static HMODULE module_;
  static DWORD loadError_;
};

HMODULE ResourcesTest::module_ = nullptr;
DWORD ResourcesTest::loadError_ = 0;

TEST_F(ResourcesTest, HoldsExactlyIconGroupVersionAndManifest) {
  std::vector<std::string> found;
  EnumResourceTypesW(module_, onType, reinterpret_cast<LONG_PTR>(&found));
  const std::vector<std::string> expected = {
      "type 3, id 1, language 1033",   // icon image
      "type 14, id 1, language 1033",  // icon group
      "type 16, id 1, language 1033",  // version
      "type 24, id 1, language 1033",  // manifest
  };
  EXPECT_EQ(found, expected);
}

TEST_F(ResourcesTest, ManifestIsTheCommittedFileByteForByte) {
  std::ifstream in(std::filesystem::path(g_manifest), std::ios::binary);
  ASSERT_TRUE(in) << "cannot open " << narrow(g_manifest);
  const std::string file{std::istreambuf_iterator<char>(in),
                         std::istreambuf_iterator<char>()};
  // The committed file itself: UTF-8 without a BOM, 21 lines joined by
  // single LFs and none after the last, 615 bytes.
  EXPECT_EQ(file.size(), 615u);
  EXPECT_NE(file.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(file.find('\r'), std::string::npos);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 20);
  EXPECT_EQ(file.rfind("\n</assembly>"), file.size() - 12);

  auto stored = resource(24);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(std::string(stored->begin(), stored->end()), file);
}

TEST_F(ResourcesTest, IconImageIsA256PixelBgraDibWithItsMask) {
  auto icon = resource(3);
  ASSERT_TRUE(icon.has_value());
  ASSERT_EQ(icon->size(), 270376u);
  const std::uint8_t* p = icon->data();

  struct Field {
    const char* name;
    std::uint32_t offset, size, expected;
  };
  const Field header[] = {
      {"header size", 0, 4, 40},   {"width", 4, 4, 256},
      {"height", 8, 4, 512},       {"planes", 12, 2, 1},
      {"bits per pixel", 14, 2, 32}, {"compression", 16, 4, BI_RGB},
      {"image size", 20, 4, 0},    {"x resolution", 24, 4, 0},
      {"y resolution", 28, 4, 0},  {"colours used", 32, 4, 0},
      {"colours important", 36, 4, 0},
  };
  for (const Field& f : header) {
    std::uint32_t value = f.size == 2 ? u16(p + f.offset) : u32(p + f.offset);
    EXPECT_EQ(value, f.expected) << f.name;
  }

  const std::uint8_t* colour = p + 40;
  const std::uint8_t* mask = colour + 256 * 256 * 4;
  int opaque = 0, transparent = 0, bad = 0;
  std::string firstBad;
  for (int row = 0; row < 256; ++row) {  // bottom row first, as stored
    for (int x = 0; x < 256; ++x) {
      const std::uint8_t* bgra = colour + (row * 256 + x) * 4;
      bool maskBit = (mask[row * 32 + x / 8] >> (7 - x % 8)) & 1;
      std::string fault;
      if (bgra[3] == 255) {
        ++opaque;
        if (bgra[0] != 210 || bgra[1] != 210 || bgra[2] != 252) {
          fault = "opaque but not pale pink";
        } else if (maskBit) {
          fault = "opaque but masked";
        }
      } else if (bgra[3] == 0) {
        ++transparent;
        if (bgra[0] != 0 || bgra[1] != 0 || bgra[2] != 0) {
          fault = "transparent but not black";
        } else if (!maskBit) {
          fault = "transparent but not masked";
        }
      } else {
        fault = "partial alpha";
      }
      if (!fault.empty() && bad++ == 0) {
        std::ostringstream where;
        where << fault << " at x " << x << ", stored row " << row << ": BGRA "
              << int(bgra[0]) << "," << int(bgra[1]) << "," << int(bgra[2])
              << "," << int(bgra[3]) << ", mask " << maskBit;
        firstBad = where.str();
      }
    }
  }
  EXPECT_EQ(bad, 0) << "first: " << firstBad;
  EXPECT_GT(opaque, 0);
  EXPECT_GT(transparent, 0);
}

TEST_F(ResourcesTest, IconGroupNamesTheOneImage) {
  auto group = resource(14);
  ASSERT_TRUE(group.has_value());
  const std::vector<std::uint8_t> expected = {
      0, 0, 1, 0, 1, 0,        // reserved, type icon, one entry
      0, 0, 0, 0,              // 256 x 256, no palette, reserved
      1, 0, 32, 0,             // planes, bits per pixel
      0x28, 0x20, 0x04, 0x00,  // 270376 bytes
      1, 0,                    // image id 1
  };
  EXPECT_EQ(*group, expected);
}

TEST_F(ResourcesTest, IconLoadsAtItsFullSize) {
  HICON standard = LoadIconW(module_, MAKEINTRESOURCEW(1));
  EXPECT_NE(standard, nullptr) << "error " << GetLastError();

  HICON large = static_cast<HICON>(
      LoadImageW(module_, MAKEINTRESOURCEW(1), IMAGE_ICON, 256, 256, 0));
  ASSERT_NE(large, nullptr) << "error " << GetLastError();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(large, &info));
  BITMAP bitmap{};
  ASSERT_NE(info.hbmColor, nullptr);
  ASSERT_NE(GetObjectW(info.hbmColor, sizeof bitmap, &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, 256);
  EXPECT_EQ(bitmap.bmHeight, 256);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(large);
}

// The version record read through the version API.
class VersionInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(g_program.c_str(), &ignored);
    ASSERT_NE(size, 0u) << "error " << GetLastError();
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(g_program.c_str(), 0, size, data_.data()));
  }

  // The value at `path` and its length as VerQueryValueW reports it.
  std::optional<std::pair<const void*, UINT>> query(const std::wstring& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), path.c_str(), &value, &length)) {
      return std::nullopt;
    }
    return std::make_pair(static_cast<const void*>(value), length);
  }

  std::vector<std::uint8_t> data_;
};

TEST_F(VersionInfoTest, FixedPartGivesBothVersionsAndAnApplication) {
  auto fixed = query(L"\\");
  ASSERT_TRUE(fixed.has_value());
  ASSERT_EQ(fixed->second, sizeof(VS_FIXEDFILEINFO));
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed->first);
  struct Field {
    const char* name;
    DWORD actual, expected;
  };
  const Field fields[] = {
      {"signature", info->dwSignature, 0xFEEF04BD},
      {"structure version", info->dwStrucVersion, 0x00010000},
      {"file version high", info->dwFileVersionMS, 0x00010000},
      {"file version low", info->dwFileVersionLS, 0xE7720672},  // 59250.1650
      {"product version high", info->dwProductVersionMS, 0x00010000},
      {"product version low", info->dwProductVersionLS, 0},
      {"flags mask", info->dwFileFlagsMask, 0},
      {"flags", info->dwFileFlags, 0},
      {"OS", info->dwFileOS, VOS_UNKNOWN},
      {"type", info->dwFileType, VFT_APP},
      {"subtype", info->dwFileSubtype, 0},
      {"date high", info->dwFileDateMS, 0},
      {"date low", info->dwFileDateLS, 0},
  };
  for (const Field& f : fields) {
    EXPECT_EQ(f.actual, f.expected) << f.name;
  }
}

TEST_F(VersionInfoTest, EveryStringReadsBackUnderItsKey) {
  for (const VersionString& s : kVersionStrings) {
    SCOPED_TRACE(narrow(s.key));
    auto value = query(std::wstring(L"\\StringFileInfo\\041104b0\\") + s.key);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value->first)),
              s.value);
  }
}

TEST_F(VersionInfoTest, TranslationIsJapaneseUtf16) {
  auto translation = query(L"\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation.has_value());
  ASSERT_EQ(translation->second, 4u);
  const auto* words = static_cast<const WORD*>(translation->first);
  EXPECT_EQ(words[0], 0x0411);
  EXPECT_EQ(words[1], 0x04B0);
}

// One block of a version record: its header, key, value and children.
struct VersionBlock {
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  std::wstring key;
  std::vector<std::uint8_t> value;
  std::vector<VersionBlock> children;
};

std::size_t align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// Reads the block at `offset` of the record (offsets count from the start of
// the record, where every block is 4-byte aligned). Returns an error, or an
// empty string when the block and all its children are well formed.
std::string parseBlock(const std::vector<std::uint8_t>& record,
                       std::size_t offset, VersionBlock& block,
                       std::size_t& length) {
  if (offset + 6 > record.size()) return "header past the end";
  length = u16(&record[offset]);
  block.valueLength = u16(&record[offset + 2]);
  block.type = u16(&record[offset + 4]);
  const std::size_t end = offset + length;
  if (length < 6 || end > record.size()) return "bad length";

  std::size_t at = offset + 6;
  for (;;) {
    if (at + 2 > end) return "key runs past its block";
    wchar_t c = static_cast<wchar_t>(u16(&record[at]));
    at += 2;
    if (c == 0) break;
    block.key += c;
  }
  at = align4(at);
  std::size_t valueBytes =
      block.type == 1 ? block.valueLength * std::size_t{2} : block.valueLength;
  if (at + valueBytes > end) return narrow(block.key) + ": value too long";
  block.value.assign(record.begin() + at, record.begin() + at + valueBytes);
  at += valueBytes;

  while (align4(at) < end) {
    VersionBlock child;
    std::size_t childLength = 0;
    std::string error = parseBlock(record, align4(at), child, childLength);
    if (!error.empty()) return narrow(block.key) + "/" + error;
    at = align4(at) + childLength;
    if (at > end) return narrow(block.key) + ": child runs past its parent";
    block.children.push_back(std::move(child));
  }
  return "";
}

std::vector<std::wstring> keysOf(const VersionBlock& block) {
  std::vector<std::wstring> keys;
  for (const VersionBlock& child : block.children) keys.push_back(child.key);
  return keys;
}

// The raw record, as stored in the program: the layout, the key order and
// the counted terminating NULs, which the version API does not show.
TEST_F(ResourcesTest, VersionRecordIsLaidOutInOrder) {
  auto record = resource(16);
  ASSERT_TRUE(record.has_value());
  VersionBlock root;
  std::size_t length = 0;
  std::string error = parseBlock(*record, 0, root, length);
  ASSERT_EQ(error, "");
  EXPECT_EQ(length, record->size());

  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  EXPECT_EQ(root.type, 0);
  ASSERT_EQ(root.valueLength, sizeof(VS_FIXEDFILEINFO));
  const std::uint8_t* fixed = root.value.data();
  EXPECT_EQ(u32(fixed), 0xFEEF04BDu);
  EXPECT_EQ(u32(fixed + 8), 0x00010000u);   // file version high
  EXPECT_EQ(u32(fixed + 12), 0xE7720672u);  // file version low
  EXPECT_EQ(u32(fixed + 16), 0x00010000u);  // product version high
  EXPECT_EQ(u32(fixed + 20), 0u);           // product version low

  ASSERT_EQ(keysOf(root),
            (std::vector<std::wstring>{L"StringFileInfo", L"VarFileInfo"}));
  const VersionBlock& stringInfo = root.children[0];
  ASSERT_EQ(keysOf(stringInfo), std::vector<std::wstring>{L"041104b0"});
  const VersionBlock& table = stringInfo.children[0];

  std::vector<std::wstring> expectedKeys;
  for (const VersionString& s : kVersionStrings) expectedKeys.push_back(s.key);
  EXPECT_EQ(keysOf(table), expectedKeys);

  for (const VersionBlock& entry : table.children) {
    SCOPED_TRACE(narrow(entry.key));
    EXPECT_EQ(entry.type, 1) << "a text value";
    EXPECT_TRUE(entry.children.empty());
    // The stored length counts the terminating NUL, which ends the value.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < entry.value.size(); i += 2) {
      text += static_cast<wchar_t>(u16(&entry.value[i]));
    }
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), L'\0');
    text.pop_back();
    for (const VersionString& s : kVersionStrings) {
      if (entry.key == s.key) {
        EXPECT_EQ(text, s.value);
      }
    }
  }

  const VersionBlock& varInfo = root.children[1];
  ASSERT_EQ(keysOf(varInfo), std::vector<std::wstring>{L"Translation"});
  const VersionBlock& translation = varInfo.children[0];
  EXPECT_EQ(translation.type, 0);
  EXPECT_EQ(translation.value,
            (std::vector<std::uint8_t>{0x11, 0x04, 0xB0, 0x04}));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: resources_tests PROGRAM.exe MANIFEST\n");
    return 2;
  }
  g_program = windowsPath(argv[1]);
  g_manifest = windowsPath(argv[2]);
  return RUN_ALL_TESTS();
}
