#include "core/numeric_text.h"

#include <algorithm>
#include <limits>

namespace korvane {

namespace {

// The digit value of c in base 2, 10 or 16, or -1 when c is not one.
int DigitValue(char16_t c, unsigned base) {
  int value = -1;
  if (c >= u'0' && c <= u'9') value = c - u'0';
  else if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
  else if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

ReadNumber ReadInteger(std::u16string_view text) {
  std::size_t at = 0;
  // Only spaces and tabs count as blanks; a line break before the number
  // ends it at once.
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
    negative = text[at] == u'-';
    ++at;
  }
  unsigned base = 10;
  if (at < text.size() && text[at] == u'$') {
    base = 16;
    ++at;
  } else if (at < text.size() && text[at] == u'%') {
    base = 2;
    ++at;
  }
  std::uint64_t magnitude = 0;  // modulo 2^64
  bool overflowed = false;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) break;
    // Both steps wrap modulo 2^64; a carry out of either is an overflow.
    const bool multiplyCarried =
        __builtin_mul_overflow(magnitude, std::uint64_t{base}, &magnitude);
    const bool addCarried = __builtin_add_overflow(
        magnitude, static_cast<std::uint64_t>(digit), &magnitude);
    overflowed = overflowed || multiplyCarried || addCarried;
  }
  // A decimal number must fit the signed range: up to 2^63 - 1, or 2^63
  // with a minus sign. "$" and "%" digits keep their two's-complement
  // reading, so $FFFFFFFFFFFFFFFF is -1.
  constexpr std::uint64_t signedMax = std::numeric_limits<std::int64_t>::max();
  if (base == 10 && magnitude > signedMax + (negative ? 1 : 0)) overflowed = true;
  const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
  return {static_cast<std::int64_t>(bits), overflowed};
}

std::int64_t ParseInteger(std::u16string_view text) {
  return ReadInteger(text).value;
}

std::u16string TakeSubstring(std::u16string_view text, std::int64_t start,
                             std::int64_t length) {
  const std::uint64_t skip = start <= 1 ? 0 : static_cast<std::uint64_t>(start) - 1;
  if (length <= 0 || skip >= text.size()) return {};
  const std::uint64_t count =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(length), text.size() - skip);
  return std::u16string(text.substr(skip, count));
}

}  // namespace korvane
