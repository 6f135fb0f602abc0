// What the core's fuzz targets share: the reading of fuzz bytes as UTF-16
// text, and slow, plainly written references for numbers and dates that the
// targets hold the core to. The references take other routes than the core
// (counting significant bits, stepping through years and months one at a
// time), so one mistake cannot sit in both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::fuzz {

// ---------------------------------------------------------------------------
// Bytes to UTF-16 text.
//
// Each byte 0x00..0xFE is the code unit of the same value, so ASCII seeds are
// plain text files. The byte 0xFF takes the next two bytes as one code unit,
// high byte first ("\xFF\xFF\x10" is U+FF10, the full-width zero), which
// reaches every unit, surrogates included. A 0xFF with fewer than two bytes
// after it is dropped.
inline std::u16string DecodeText(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0xFF) {
      text.push_back(static_cast<char16_t>(data[i]));
    } else if (size - i > 2) {
      text.push_back(static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]));
      i += 2;
    } else {
      break;
    }
  }
  return text;
}

// The text as printable ASCII with \uXXXX escapes, for failure messages.
inline std::string Show(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != u'\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

// Reports a broken expectation and stops the run, so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

// ---------------------------------------------------------------------------
// Reference number reading.

struct ReferenceNumber {
  std::int64_t value;
  bool overflowed;
};

// Blanks (space, tab), one optional sign, then "$" hexadecimal, "%" binary or
// decimal digits. The value is the digits modulo 2^64 (negated for "-"). The
// overflow flag counts significant digits rather than watching a running
// product: decimal overflows outside the signed 64-bit range, "$" and "%"
// when the significant digits need more than 64 bits.
inline ReferenceNumber ReferenceRead(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
  }
  unsigned radix = 10;
  unsigned bitsPerDigit = 0;
  if (at < text.size() && text[at] == u'$') {
    radix = 16, bitsPerDigit = 4, ++at;
  } else if (at < text.size() && text[at] == u'%') {
    radix = 2, bitsPerDigit = 1, ++at;
  }
  std::vector<unsigned> digits;
  for (; at < text.size(); ++at) {
    const char16_t c = text[at];
    unsigned digit = 99;
    if (u'0' <= c && c <= u'9') digit = c - u'0';
    if (u'a' <= c && c <= u'f') digit = c - u'a' + 10;
    if (u'A' <= c && c <= u'F') digit = c - u'A' + 10;
    if (digit >= radix) break;
    digits.push_back(digit);
  }

  std::uint64_t wrapped = 0;  // unsigned arithmetic is modulo 2^64
  for (const unsigned digit : digits) wrapped = wrapped * radix + digit;
  const std::uint64_t bits = negative ? ~wrapped + 1 : wrapped;

  std::size_t first = 0;  // the first significant digit
  while (first < digits.size() && digits[first] == 0) ++first;
  const std::size_t significant = digits.size() - first;
  bool overflowed;
  if (radix == 10) {
    if (significant > 19) {
      overflowed = true;  // at least 10^19 > 2^63
    } else {
      using Wide = unsigned __int128;
      Wide exact = 0;  // at most 10^19 - 1: exact here
      for (std::size_t i = first; i < digits.size(); ++i)
        exact = exact * 10 + digits[i];
      const Wide limit = (Wide{1} << 63) - (negative ? 0 : 1);
      overflowed = exact > limit;
    }
  } else {
    std::size_t bitCount = 0;
    if (significant > 0) {
      unsigned lead = digits[first];
      std::size_t leadBits = 0;
      while (lead != 0) ++leadBits, lead >>= 1;
      bitCount = (significant - 1) * bitsPerDigit + leadBits;
    }
    overflowed = bitCount > 64;
  }
  return {static_cast<std::int64_t>(bits), overflowed};  // two's complement
}

// ---------------------------------------------------------------------------
// Reference calendar: 1970-01-01 00:00:00 onwards, one day at a time.

inline constexpr std::int64_t ReferenceLastValid = 2147483647;  // 2^31 - 1

struct ReferenceFields {
  std::int64_t year, month, day, hour, minute, second;
};

inline bool ReferenceLeap(std::int64_t year) {
  if (year % 400 == 0) return true;
  if (year % 100 == 0) return false;
  return year % 4 == 0;
}

inline std::int64_t ReferenceMonthLength(std::int64_t year, std::int64_t month) {
  switch (month) {
    case 2: return ReferenceLeap(year) ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
  }
}

// The fields of a value in the valid period; all zero outside it.
inline ReferenceFields ReferenceBreakDown(std::int64_t value) {
  if (value < 0 || value > ReferenceLastValid) return {0, 0, 0, 0, 0, 0};
  std::int64_t days = value / 86400;
  const std::int64_t seconds = value % 86400;
  std::int64_t year = 1970;
  while (days >= (ReferenceLeap(year) ? 366 : 365))
    days -= ReferenceLeap(year) ? 366 : 365, ++year;
  std::int64_t month = 1;
  while (days >= ReferenceMonthLength(year, month))
    days -= ReferenceMonthLength(year, month), ++month;
  return {year, month, days + 1, seconds / 3600, seconds / 60 % 60, seconds % 60};
}

// The value of the fields, or -1 when a field is out of range, the day is
// not in the month, or the moment is after the valid period.
inline std::int64_t ReferenceCompose(const ReferenceFields& f) {
  if (f.year < 1970 || f.year > 2038 || f.month < 1 || f.month > 12 ||
      f.day < 1 || f.day > ReferenceMonthLength(f.year, f.month) ||
      f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 ||
      f.second < 0 || f.second > 59)
    return -1;
  std::int64_t days = 0;
  for (std::int64_t y = 1970; y < f.year; ++y) days += ReferenceLeap(y) ? 366 : 365;
  for (std::int64_t m = 1; m < f.month; ++m) days += ReferenceMonthLength(f.year, m);
  days += f.day - 1;
  const std::int64_t value = days * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
  return value <= ReferenceLastValid ? value : -1;
}

// Appends number (0 .. 9999) zero-filled to width digits.
inline void AppendZeroFilled(std::u16string& out, std::int64_t number, int width) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%0*d", width, static_cast<int>(number));
  for (const char* c = digits; *c != 0; ++c) out += static_cast<char16_t>(*c);
}

// The mask with %yyyy, %yy, %mm, %dd, %hh, %ii and %ss (letters in any case)
// replaced by the fields; anything else, a lone "%" included, copied.
inline std::u16string ReferenceRender(std::u16string_view mask,
                                      const ReferenceFields& f) {
  // True when the letters from position at spell token (lower case), each
  // letter in either case.
  const auto spells = [&](std::size_t at, std::string_view token) {
    if (mask.size() - at < token.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
      const char16_t c = mask[at + i];
      const char16_t lower = (u'A' <= c && c <= u'Z') ? c - u'A' + u'a' : c;
      if (lower != static_cast<char16_t>(token[i])) return false;
    }
    return true;
  };
  std::u16string out;
  out.reserve(2 * mask.size());
  std::size_t at = 0;
  while (at < mask.size()) {
    if (mask[at] != u'%') {
      out += mask[at++];
      continue;
    }
    ++at;
    if (spells(at, "yyyy")) {
      AppendZeroFilled(out, f.year, 4);
      at += 4;
      continue;
    }
    std::int64_t field = -1;
    if (spells(at, "yy")) field = f.year % 100;
    if (spells(at, "mm")) field = f.month;
    if (spells(at, "dd")) field = f.day;
    if (spells(at, "hh")) field = f.hour;
    if (spells(at, "ii")) field = f.minute;
    if (spells(at, "ss")) field = f.second;
    if (field < 0) {
      out += u'%';
    } else {
      AppendZeroFilled(out, field, 2);
      at += 2;
    }
  }
  return out;
}

// True when text is ten characters of the form dddd/dd/dd.
inline bool IsDateText(std::u16string_view text) {
  if (text.size() != 10) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool slash = i == 4 || i == 7;
    if (slash ? text[i] != u'/' : (text[i] < u'0' || text[i] > u'9')) return false;
  }
  return true;
}

}  // namespace korvane::fuzz
