// The core's texts are char16_t; Windows' wchar_t is the same 16-bit unit.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16");

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace korvane
