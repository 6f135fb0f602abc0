// Lenient reading of whole numbers from typed text, and fixed substrings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// A number read from text, with whether its digits overflowed: a decimal
// value outside the signed 64-bit range, or "$"/"%" digits beyond 64
// significant bits. The value itself always wraps modulo 2^64.
struct ReadNumber {
  std::int64_t value;
  bool overflowed;
};

// Blanks (space, tab), one optional sign, then "$" hexadecimal, "%" binary or
// decimal digits up to the first non-digit. No digits read as 0.
ReadNumber ReadInteger(std::u16string_view text);

// ReadInteger's value: never fails, wraps modulo 2^64 without notice.
std::int64_t ParseInteger(std::u16string_view text);

// Up to length characters from the 1-based position start; a start below 1
// counts as 1, a negative length as 0, and positions past the end give "".
std::u16string TakeSubstring(std::u16string_view text, std::int64_t start,
                             std::int64_t length);

}  // namespace korvane
