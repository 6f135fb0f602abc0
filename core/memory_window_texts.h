// WindowTexts over texts kept in memory: the calculations without a window,
// for tests, benchmarks and fuzzing.
#pragma once

#include <array>
#include <string>

#include "core/day_offset.h"

namespace korvane {

class MemoryWindowTexts final : public WindowTexts {
 public:
  std::u16string GetText(TextControl control) override {
    return texts_[Index(control)];
  }
  void SetText(TextControl control, std::u16string_view text) override {
    texts_[Index(control)].assign(text);
  }
  DateValue GetCalendarDate() override { return calendarDate; }

  DateValue calendarDate = 0;

 private:
  static std::size_t Index(TextControl control) {
    return static_cast<std::size_t>(control);
  }
  std::array<std::u16string, 7> texts_;
};

}  // namespace korvane
