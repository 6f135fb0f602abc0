#include "ui/event_queue.h"

#include <algorithm>

namespace korvane {

void EventQueue::Append(const Event& event) {
  if (event.kind == EventKind::SizeEvent) {
    std::erase_if(events_, [&](const Event& waiting) {
      return waiting.kind == EventKind::SizeEvent && waiting.window == event.window;
    });
  }
  events_.push_back(event);
}

bool EventQueue::Take(Event& out) {
  if (events_.empty()) return false;
  out = events_.front();
  events_.pop_front();
  return true;
}

}  // namespace korvane
