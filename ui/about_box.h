// The about box: the maker's name, postal address and web address, opened
// by a left press on the logo.
#pragma once

#include <cstdint>

namespace korvane {

inline constexpr wchar_t AboutTitle[] = L"合同会社Korvane Corporation";

// Four lines: empty, the company name, the postal address after two
// ideographic spaces, the web address.
inline constexpr wchar_t AboutText[] =
    L"\n"
    L"合同会社Korvane Corporation\n"
    L"\u3000\u3000大阪府大阪市北区梅田一丁目1番1号\n"
    L"https://www.korvane.example/";

// Shows the box for the logo's left press (STN_CLICKED) and returns 0 once
// it is dismissed; any other report returns 0 at once.
int ShowAboutBox(std::int64_t report);

}  // namespace korvane
