// Shows UTF-16 texts readably in failure messages.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace korvane {

// ASCII as is; line breaks, tabs and everything else as \n, \t or \uXXXX.
inline std::string Readable(std::u16string_view text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char16_t c : text) {
    if (c == u'\n') out += "\\n";
    else if (c == u'\t') out += "\\t";
    else if (c == u'\r') out += "\\r";
    else if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
    else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
    }
  }
  return out + "\"";
}

}  // namespace korvane
