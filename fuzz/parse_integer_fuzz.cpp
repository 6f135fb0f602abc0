// Arbitrary text (see DecodeText for how bytes become UTF-16) through the
// lenient number reading: ParseInteger must give ReadInteger's value, and
// ReadInteger must agree with the reference reading on both the value and
// the overflow flag.
#include <cstdint>
#include <string>

#include "core/numeric_text.h"
#include "fuzz/fuzz_support.h"

namespace korvane::fuzz {
namespace {

void Check(std::u16string_view text) {
  const ReadNumber read = ReadInteger(text);
  const ReferenceNumber expected = ReferenceRead(text);
  const std::int64_t parsed = ParseInteger(text);
  if (read.value != expected.value || read.overflowed != expected.overflowed ||
      parsed != read.value) {
    Fail("\"" + Show(text) + "\": ReadInteger gives " + std::to_string(read.value) +
         (read.overflowed ? " (overflowed)" : "") + ", ParseInteger " +
         std::to_string(parsed) + ", expected " + std::to_string(expected.value) +
         (expected.overflowed ? " (overflowed)" : ""));
  }
}

}  // namespace
}  // namespace korvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::fuzz;
  Check(DecodeText(data, size));
  return 0;
}
