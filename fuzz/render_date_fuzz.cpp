// Rendering and composing dates. The input is a 64-bit value (its first
// eight bytes, little-endian, missing bytes zero) and a mask (the bytes after
// them, as text; see DecodeText). Checks, for every input:
//   - RenderDate of the mask equals the reference rendering: every token
//     replaced by its zero-filled field, everything else copied;
//   - through ResultMask the value renders as ten characters dddd/dd/dd,
//     "0000/00/00" outside the valid period;
//   - a value in the valid period renders through all six fields and
//     composes back to itself (the value's low 31 bits, so every input
//     reaches this);
//   - ComposeDate of fields near their ranges, and of one field at full
//     64-bit width, matches the reference, and renders back to the fields;
//   - PrefillFromCalendar writes the value's "yyyy", "mm" and "dd", and
//     nothing at all for 0.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/date_value.h"
#include "core/day_offset.h"
#include "core/memory_window_texts.h"
#include "fuzz/fuzz_support.h"

namespace korvane::fuzz {
namespace {

constexpr std::u16string_view AllFields = u"%yyyy %mm %dd %hh %ii %ss";

std::string ShowFields(const ReferenceFields& f) {
  return std::to_string(f.year) + "-" + std::to_string(f.month) + "-" +
         std::to_string(f.day) + " " + std::to_string(f.hour) + ":" +
         std::to_string(f.minute) + ":" + std::to_string(f.second);
}

void CheckRender(std::u16string_view mask, std::int64_t value) {
  const std::u16string got = RenderDate(mask, value);
  const std::u16string want = ReferenceRender(mask, ReferenceBreakDown(value));
  if (got != want)
    Fail("RenderDate(\"" + Show(mask) + "\", " + std::to_string(value) + ") gives \"" +
         Show(got) + "\", expected \"" + Show(want) + "\"");

  const std::u16string result = RenderDate(ResultMask, value);
  const bool valid = 0 <= value && value <= ReferenceLastValid;
  if (!IsDateText(result) || (!valid && result != ZeroDateText))
    Fail("RenderDate(ResultMask, " + std::to_string(value) + ") gives \"" +
         Show(result) + "\"");
}

// A value in the valid period, rendered field by field and composed again.
void CheckRoundTrip(std::int64_t value) {
  const std::u16string text = RenderDate(AllFields, value);
  std::int64_t f[6] = {};
  for (int i = 0; i < 6; ++i) {
    const std::size_t at = i == 0 ? 0 : 5 + 3 * (i - 1);
    const std::size_t width = i == 0 ? 4 : 2;
    for (std::size_t k = at; k < at + width && k < text.size(); ++k)
      f[i] = f[i] * 10 + (text[k] - u'0');
  }
  const DateValue composed = ComposeDate(f[0], f[1], f[2], f[3], f[4], f[5]);
  if (text.size() != 19 || composed != value)
    Fail(std::to_string(value) + " renders as \"" + Show(text) +
         "\", which composes to " + std::to_string(composed));
}

void CheckCompose(const ReferenceFields& f) {
  const DateValue got = ComposeDate(f.year, f.month, f.day, f.hour, f.minute, f.second);
  const std::int64_t want = ReferenceCompose(f);
  if (got != want)
    Fail("ComposeDate(" + ShowFields(f) + ") gives " + std::to_string(got) +
         ", expected " + std::to_string(want));
  if (got == InvalidDate) return;
  const ReferenceFields back = ReferenceBreakDown(got);
  if (back.year != f.year || back.month != f.month || back.day != f.day ||
      back.hour != f.hour || back.minute != f.minute || back.second != f.second)
    Fail("ComposeDate(" + ShowFields(f) + ") gives " + std::to_string(got) +
         ", which is " + ShowFields(back));
}

void CheckPrefill(std::int64_t value) {
  MemoryWindowTexts window;
  const std::u16string before[3] = {u"year", u"month", u"day"};
  window.SetText(TextControl::YearField, before[0]);
  window.SetText(TextControl::MonthBox, before[1]);
  window.SetText(TextControl::DayBox, before[2]);
  window.calendarDate = value;
  PrefillFromCalendar(window);

  std::u16string want[3] = {before[0], before[1], before[2]};
  if (value != 0) {
    const ReferenceFields f = ReferenceBreakDown(value);
    want[0] = want[1] = want[2] = u"";
    AppendZeroFilled(want[0], f.year, 4);
    AppendZeroFilled(want[1], f.month, 2);
    AppendZeroFilled(want[2], f.day, 2);
  }
  const std::u16string got[3] = {window.GetText(TextControl::YearField),
                                  window.GetText(TextControl::MonthBox),
                                  window.GetText(TextControl::DayBox)};
  for (int i = 0; i < 3; ++i) {
    if (got[i] != want[i])
      Fail("PrefillFromCalendar(" + std::to_string(value) + ") writes \"" +
           Show(got[0]) + "\", \"" + Show(got[1]) + "\", \"" + Show(got[2]) +
           "\", expected \"" + Show(want[0]) + "\", \"" + Show(want[1]) + "\", \"" +
           Show(want[2]) + "\"");
  }
}

}  // namespace
}  // namespace korvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::fuzz;
  std::uint8_t bytes[8] = {};
  if (size > 0) std::memcpy(bytes, data, size < 8 ? size : 8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
  const auto value = static_cast<std::int64_t>(bits);
  const std::u16string mask = size > 8 ? DecodeText(data + 8, size - 8) : u"";

  CheckRender(mask, value);
  const std::int64_t inPeriod = value & ReferenceLastValid;
  CheckRender(mask, inPeriod);
  CheckRoundTrip(inPeriod);
  CheckPrefill(value);

  // Fields from the value's bytes, each a little beyond its range on both
  // sides, so that the checks reach every edge of the calendar.
  ReferenceFields near{1968 + bytes[0] % 72, bytes[1] % 14, bytes[2] % 33,
                       bytes[3] % 25,        bytes[4] % 61, bytes[5] % 61};
  CheckCompose(near);
  // One field at full width: only values inside its range may compose.
  std::int64_t* fields[6] = {&near.year, &near.month,  &near.day,
                             &near.hour, &near.minute, &near.second};
  *fields[bytes[6] % 6] = value;
  CheckCompose(near);
  return 0;
}
