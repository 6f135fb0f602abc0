// The events that the window and its controls raise, and the first-in,
// first-out queue that hands them to the loop one at a time.
#pragma once

#include <cstdint>
#include <deque>

namespace korvane {

// A window's or a control's identity. BeforeButton's is 0; every other
// control's is distinct and non-zero.
using Identity = std::int64_t;

enum class EventKind {
  None,            // WaitEvent dispatched a message and has no event yet
  ControlEvent,    // a control reported something
  CloseRequest,    // the window was asked to close
  SizeEvent,       // the window's size changed and it is not minimised
  Activated,       // the rest: raised, and ignored by the dispatcher
  Deactivated,
  Minimized,
  Restored,
  Moved,
  BackgroundErased,
  Clicked,
  RightClicked,
  DoubleClicked,
};

struct Event {
  EventKind kind = EventKind::None;
  Identity source = 0;  // the reporting control; the window for CloseRequest
  Identity window = 0;
  std::int64_t report = 0;  // what a control reported; 0 for other kinds
};

class EventQueue {
 public:
  // Appends the event. A SizeEvent first removes the window's waiting ones,
  // so at most one waits at any time.
  void Append(const Event& event);
  // Removes the oldest event into out; false when the queue is empty.
  bool Take(Event& out);
  std::size_t Size() const { return events_.size(); }

 private:
  std::deque<Event> events_;
};

}  // namespace korvane
