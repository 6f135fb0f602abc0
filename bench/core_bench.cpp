// Time per call of the date core's operations, and of the core's day-count
// conversions beside a floor: the fastest known way to do the same
// conversions, written here from Neri and Schneider's published description
// of their Euclidean affine calendar algorithms.
//
// Every benchmark reads its inputs from a table filled once, before timing,
// with values spread over the valid period, and hands each result to
// benchmark::DoNotOptimize, so no call can be folded or dropped.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/civil_days.h"
#include "core/date_value.h"
#include "core/day_offset.h"
#include "core/memory_window_texts.h"
#include "core/numeric_text.h"

namespace korvane {
namespace {

// Inputs per table: a power of two, so that the index wraps with a mask, and
// small enough to stay in the first-level cache.
constexpr std::size_t TableSize = 4096;
constexpr std::size_t TableMask = TableSize - 1;

// Days since 1970-01-01 of 1970-01-01 .. 2038-12-31, the domain of the
// conversions.
constexpr std::uint32_t LastConvertibleDay = 25202;

constexpr std::int64_t SecondsPerDay = 86400;

std::mt19937_64& Random() {
  static std::mt19937_64 generator(20190506);
  return generator;
}

std::int64_t RandomIn(std::int64_t low, std::int64_t high) {
  return std::uniform_int_distribution<std::int64_t>(low, high)(Random());
}

std::u16string Widen(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// ---------------------------------------------------------------------------
// The floor. Neri and Schneider count days in a computational calendar that
// starts each year on March 1 (so that the leap day ends the year) and shift
// the epoch so all arithmetic is unsigned. Each step is a Euclidean affine
// function, a multiply and a shift or a division by a constant, chosen so
// that the quotient is the year, month or day and the remainder carries on to
// the next step. Here the epoch shift is just enough to reach 1970 from the
// computational calendar's year 0; every product fits its register.

namespace floor_algorithm {

// Days from 0000-03-01 to 1970-01-01, proleptic Gregorian.
constexpr std::uint32_t DaysToEpoch = 719468;

inline CivilDate ToCivil(std::uint32_t daysSinceEpoch) {
  const std::uint32_t shifted = daysSinceEpoch + DaysToEpoch;
  // Centuries: four times the day count plus three, over the days of 400
  // years, gives the century; the remainder over four, its day.
  const std::uint32_t quarterDays = 4 * shifted + 3;
  const std::uint32_t centuries = quarterDays / 146097;
  const std::uint32_t dayInCentury = quarterDays % 146097 / 4;
  // Years in the century: one 32x32->64 multiply yields the year in the high
  // half and, scaled, the day of the year in the low half.
  const std::uint64_t yearProduct =
      std::uint64_t{2939745} * (4 * dayInCentury + 3);
  const auto yearInCentury = static_cast<std::uint32_t>(yearProduct >> 32);
  const std::uint32_t dayInYear =
      static_cast<std::uint32_t>(yearProduct) / 2939745 / 4;
  // Months from March: the day of the year through 2141/65536 gives the month
  // in the high bits and the day of the month, scaled, in the low 16.
  const std::uint32_t monthProduct = 2141 * dayInYear + 197913;
  const std::uint32_t month = monthProduct >> 16;
  const std::uint32_t dayInMonth = (monthProduct & 0xFFFF) / 2141;
  // January and February (months 13 and 14 here) open the next civil year.
  const std::uint32_t early = dayInYear >= 306;
  return {100 * centuries + yearInCentury + early, early ? month - 12 : month,
          dayInMonth + 1};
}

inline std::uint32_t FromCivil(CivilDate date) {
  const std::uint32_t early = date.month <= 2;
  const std::uint32_t year = date.year - early;
  const std::uint32_t month = early ? date.month + 12 : date.month;
  const std::uint32_t centuries = year / 100;
  // 365.25 days a year, less the century years that are not leap years.
  const std::uint32_t yearStart = 1461 * year / 4 - centuries + centuries / 4;
  // Days from March 1 to the first of the month, 30.6 a month.
  const std::uint32_t monthStart = (979 * month - 2919) / 32;
  return yearStart + monthStart + date.day - 1 - DaysToEpoch;
}

// The same conversions behind a call, as the core's are: beside these, the
// ratio compares the arithmetic and not the call.
[[gnu::noinline]] CivilDate ToCivilCalled(std::uint32_t days) {
  return ToCivil(days);
}
[[gnu::noinline]] std::uint32_t FromCivilCalled(CivilDate date) {
  return FromCivil(date);
}

}  // namespace floor_algorithm

// ---------------------------------------------------------------------------
// Input tables.

const std::vector<std::uint32_t>& DayTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> days(TableSize);
    for (auto& day : days)
      day = static_cast<std::uint32_t>(RandomIn(0, LastConvertibleDay));
    return days;
  }();
  return table;
}

const std::vector<CivilDate>& CivilTable() {
  static const std::vector<CivilDate> table = [] {
    std::vector<CivilDate> dates;
    for (const std::uint32_t day : DayTable()) dates.push_back(CivilFromDays(day));
    return dates;
  }();
  return table;
}

const std::vector<DateValue>& DateTable() {
  static const std::vector<DateValue> table = [] {
    std::vector<DateValue> dates(TableSize);
    for (auto& date : dates) date = RandomIn(FirstValidDate, LastValidDate);
    return dates;
  }();
  return table;
}

// The floor is checked against the core on every day of the domain before
// anything is timed, so that a wrong floor cannot pass for a fast one.
bool FloorAgreesWithCore() {
  for (std::uint32_t day = 0; day <= LastConvertibleDay; ++day) {
    const CivilDate core = CivilFromDays(day);
    const CivilDate floor = floor_algorithm::ToCivil(day);
    if (core.year != floor.year || core.month != floor.month ||
        core.day != floor.day || floor_algorithm::FromCivil(floor) != day)
      return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Benchmarks.

void BM_ComposeDate(benchmark::State& state) {
  struct Fields {
    std::int64_t year, month, day, hour, minute, second;
  };
  std::vector<Fields> fields;
  for (const DateValue date : DateTable()) {
    const CivilDate civil = CivilFromDays(static_cast<std::uint32_t>(date / SecondsPerDay));
    const std::int64_t second = date % SecondsPerDay;
    fields.push_back({civil.year, civil.month, civil.day, second / 3600,
                      second % 3600 / 60, second % 60});
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const Fields& f = fields[i++ & TableMask];
    DateValue value = ComposeDate(f.year, f.month, f.day, f.hour, f.minute, f.second);
    benchmark::DoNotOptimize(value);
  }
}

void BM_AddDays(benchmark::State& state) {
  std::vector<std::int64_t> counts(TableSize);
  for (auto& count : counts) count = RandomIn(-25000, 25000);
  const auto& dates = DateTable();
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t row = i++ & TableMask;
    DateValue value = AddDays(dates[row], counts[row]);
    benchmark::DoNotOptimize(value);
  }
}

void BM_RenderDateResultMask(benchmark::State& state) {
  const auto& dates = DateTable();
  std::size_t i = 0;
  for (auto _ : state) {
    std::u16string text = RenderDate(ResultMask, dates[i++ & TableMask]);
    benchmark::DoNotOptimize(text.data());
    benchmark::ClobberMemory();
  }
}

// Texts as typed into the fields: a year, a month, a day count, a negative
// count, a blank before the digits, the "$" and "%" forms of 2019 and 30, and
// the longest decimal that does not overflow.
constexpr std::string_view ParseTexts[] = {
    "5",    "2019", "-30", " 365", "$7E3", "%11110", "9223372036854775807",
};

void BM_ParseInteger(benchmark::State& state, std::string_view text) {
  const std::u16string wide = Widen(text);
  std::u16string_view view = wide;
  for (auto _ : state) {
    benchmark::DoNotOptimize(view);
    std::int64_t value = ParseInteger(view);
    benchmark::DoNotOptimize(value);
  }
}

// Windows holding a valid date and a day count each, spread over the period;
// the count keeps the result inside it, so every call renders a real date.
// The "before" field takes no sign of its own ("-" is put in front of it), so
// its counts are not negative.
std::vector<MemoryWindowTexts> CalculationWindows(TextControl countField) {
  const bool before = countField == TextControl::BeforeDaysField;
  constexpr std::int64_t LastValidDay = LastValidDate / SecondsPerDay;
  std::vector<MemoryWindowTexts> windows(256);
  for (auto& window : windows) {
    const std::int64_t day = RandomIn(0, LastValidDay);
    const std::int64_t count =
        before ? RandomIn(0, day) : RandomIn(-day, LastValidDay - day);
    const CivilDate civil = CivilFromDays(static_cast<std::uint32_t>(day));
    window.SetText(TextControl::YearField, Widen(std::to_string(civil.year)));
    window.SetText(TextControl::MonthBox, Widen(std::to_string(civil.month)));
    window.SetText(TextControl::DayBox, Widen(std::to_string(civil.day)));
    window.SetText(countField, Widen(std::to_string(count)));
  }
  return windows;
}

void BM_CalculateDaysAfter(benchmark::State& state) {
  auto windows = CalculationWindows(TextControl::AfterDaysField);
  std::size_t i = 0;
  for (auto _ : state) {
    MemoryWindowTexts& window = windows[i++ & (windows.size() - 1)];
    CalculateDaysAfter(window);
    benchmark::DoNotOptimize(window);
  }
}

void BM_CalculateDaysBefore(benchmark::State& state) {
  auto windows = CalculationWindows(TextControl::BeforeDaysField);
  std::size_t i = 0;
  for (auto _ : state) {
    MemoryWindowTexts& window = windows[i++ & (windows.size() - 1)];
    CalculateDaysBefore(window);
    benchmark::DoNotOptimize(window);
  }
}

template <CivilDate (*Convert)(std::uint32_t)>
void BM_CivilFromDays(benchmark::State& state) {
  const auto& days = DayTable();
  std::size_t i = 0;
  for (auto _ : state) {
    CivilDate date = Convert(days[i++ & TableMask]);
    benchmark::DoNotOptimize(date.year);
    benchmark::DoNotOptimize(date.month);
    benchmark::DoNotOptimize(date.day);
  }
}

template <std::uint32_t (*Convert)(CivilDate)>
void BM_DaysFromCivil(benchmark::State& state) {
  const auto& dates = CivilTable();
  std::size_t i = 0;
  for (auto _ : state) {
    std::uint32_t days = Convert(dates[i++ & TableMask]);
    benchmark::DoNotOptimize(days);
  }
}

void RegisterAll() {
  benchmark::RegisterBenchmark("ComposeDate", BM_ComposeDate);
  benchmark::RegisterBenchmark("AddDays", BM_AddDays);
  benchmark::RegisterBenchmark("RenderDate/ResultMask", BM_RenderDateResultMask);
  for (const std::string_view text : ParseTexts) {
    // Brackets, not quotes, so the name survives CSV output unescaped.
    benchmark::RegisterBenchmark(("ParseInteger/[" + std::string(text) + "]").c_str(),
                                 BM_ParseInteger, text);
  }
  benchmark::RegisterBenchmark("CalculateDaysAfter", BM_CalculateDaysAfter);
  benchmark::RegisterBenchmark("CalculateDaysBefore", BM_CalculateDaysBefore);
  benchmark::RegisterBenchmark("CivilFromDays/core", BM_CivilFromDays<CivilFromDays>);
  benchmark::RegisterBenchmark("CivilFromDays/floor",
                               BM_CivilFromDays<floor_algorithm::ToCivilCalled>);
  benchmark::RegisterBenchmark("CivilFromDays/floor_inlined",
                               BM_CivilFromDays<floor_algorithm::ToCivil>);
  benchmark::RegisterBenchmark("DaysFromCivil/core", BM_DaysFromCivil<DaysFromCivil>);
  benchmark::RegisterBenchmark("DaysFromCivil/floor",
                               BM_DaysFromCivil<floor_algorithm::FromCivilCalled>);
  benchmark::RegisterBenchmark("DaysFromCivil/floor_inlined",
                               BM_DaysFromCivil<floor_algorithm::FromCivil>);
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
  if (!korvane::FloorAgreesWithCore()) {
    std::fputs("core_bench: the floor conversion disagrees with the core\n", stderr);
    return 1;
  }
  korvane::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
