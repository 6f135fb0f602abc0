// The event queue and the loop: events come out in the order they were
// raised, a waiting SizeEvent gives way to a newer one, and HandleEvent
// turns each kind into its one call.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <functional>

#include "tests/ui/ui_test_support.h"
#include "ui/program.h"
#include "ui/text_field.h"

namespace korvane::uitest {
namespace {

// The queue on its own: no window needed.
TEST(EventQueue, HandsOutEventsOldestFirstAndKeepsOneSizeEventPerWindow) {
  EventQueue queue;
  Event out;
  EXPECT_FALSE(queue.Take(out)) << "empty";
  const Event appended[] = {
      {EventKind::SizeEvent, 0, 1, 0},
      {EventKind::ControlEvent, 5, 1, EN_CHANGE},
      {EventKind::SizeEvent, 0, 2, 0},  // another window's
      {EventKind::Moved, 0, 1, 0},
      {EventKind::SizeEvent, 0, 1, 0},  // replaces window 1's first one
      {EventKind::CloseRequest, 1, 1, 0},
  };
  for (const Event& event : appended) queue.Append(event);
  const Event expected[] = {appended[1], appended[2], appended[3], appended[4], appended[5]};
  ASSERT_EQ(queue.Size(), std::size(expected));
  for (std::size_t n = 0; n < std::size(expected); ++n) {
    ASSERT_TRUE(queue.Take(out)) << "event " << n;
    EXPECT_EQ(out.kind, expected[n].kind) << "event " << n;
    EXPECT_EQ(out.source, expected[n].source) << "event " << n;
    EXPECT_EQ(out.window, expected[n].window) << "event " << n;
    EXPECT_EQ(out.report, expected[n].report) << "event " << n;
  }
  EXPECT_FALSE(queue.Take(out));
}

class Events : public MainWindowTest {
 protected:
  // Runs the action inside one message dispatch of the loop (a timer's),
  // then runs the loop until the queue is empty again. The events raised
  // during the dispatch are events[first, first + count).
  struct Dispatch {
    std::size_t first = 0, count = 0;
  };
  Dispatch RunInOneDispatch(std::function<void()> action) {
    static std::function<void()> pending;
    static bool done;
    static Dispatch* result;
    static std::vector<SeenEvent>* seen;
    Dispatch dispatch;
    pending = std::move(action);
    done = false;
    result = &dispatch;
    seen = &events;
    EXPECT_TRUE(RunLoopUntilIdle()) << "before the dispatch";
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      if (done) return;
      const std::size_t waiting = TheToolkit().queue.Size();
      pending();
      result->first = seen->size() + waiting;
      result->count = TheToolkit().queue.Size() - waiting;
      done = true;
    });
    EXPECT_TRUE(RunLoopUntil([] { return done && TheToolkit().queue.Size() == 0; }))
        << "the dispatch ran and its events came out";
    return dispatch;
  }

  std::vector<SeenEvent> Slice(Dispatch d) const {
    if (d.first + d.count > events.size()) return {};
    return {events.begin() + static_cast<std::ptrdiff_t>(d.first),
            events.begin() + static_cast<std::ptrdiff_t>(d.first + d.count)};
  }

  // Gives MainWindow the client size, as a program or the user could.
  void ResizeClient(int width, int height) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
    SetWindowPos(MainHandle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

// The sources of consecutive events, each run of one source given once.
std::vector<Identity> SourceRuns(const std::vector<SeenEvent>& events) {
  std::vector<Identity> runs;
  for (const SeenEvent& e : events) {
    const Identity source = e.kind == EventKind::ControlEvent ? e.source : -static_cast<int>(e.kind);
    if (runs.empty() || runs.back() != source) runs.push_back(source);
  }
  return runs;
}

TEST_F(Events, EventsRaisedInOneDispatchComeOutInThatOrder) {
  MainWindow& main = Main();
  const Dispatch d = RunInOneDispatch([&] {
    main.texts.SetText(TextControl::AfterDaysField, u"1");
    main.texts.SetText(TextControl::BeforeDaysField, u"2");
    main.texts.SetText(TextControl::YearField, u"2019");
    SendMessageW(main.window->Handle(), WM_CLOSE, 0, 0);
  });
  const std::vector<SeenEvent> raised = Slice(d);
  const std::vector<Identity> expected = {main.afterDaysField->id, main.beforeDaysField->id,
                                          main.yearField->id,
                                          -static_cast<int>(EventKind::CloseRequest)};
  EXPECT_EQ(SourceRuns(raised), expected) << Describe(raised);
  ASSERT_FALSE(raised.empty());
  EXPECT_EQ(raised.back().kind, EventKind::CloseRequest);
  EXPECT_EQ(raised.back().source, main.window->Id());
  for (const SeenEvent& e : raised) {
    if (e.kind == EventKind::ControlEvent) {
      EXPECT_TRUE(e.report == EN_CHANGE || e.report == EN_UPDATE) << e;
      EXPECT_EQ(e.window, main.window->Id()) << e;
    }
  }
}

TEST_F(Events, OnlyTheNewestSizeEventWaits) {
  MainWindow& main = Main();
  const Dispatch d = RunInOneDispatch([&] {
    ResizeClient(900, 400);
    main.texts.SetText(TextControl::BeforeDaysField, u"5");
    ResizeClient(950, 420);
  });
  const std::vector<SeenEvent> raised = Slice(d);
  const auto sizes = std::count_if(raised.begin(), raised.end(),
                                   [](const SeenEvent& e) { return e.kind == EventKind::SizeEvent; });
  EXPECT_EQ(sizes, 1) << Describe(raised);
  ASSERT_FALSE(raised.empty());
  EXPECT_EQ(raised.back().kind, EventKind::SizeEvent) << "the newer one, after the field's";
  EXPECT_TRUE(std::any_of(raised.begin(), raised.end(), [&](const SeenEvent& e) {
    return e.source == main.beforeDaysField->id;
  })) << Describe(raised);
  // HandleEvent gave AfterResultField the client width less 630.
  RECT place = PlaceInParent(main.afterResultField->hwnd);
  EXPECT_EQ(place.right - place.left, 950 - 630);

  RunInOneDispatch([&] { ResizeClient(790, 400); });
  place = PlaceInParent(main.afterResultField->hwnd);
  EXPECT_EQ(place.left, 230);
  EXPECT_EQ(place.top, 160);
  EXPECT_EQ(place.right - place.left, 160);
  EXPECT_EQ(place.bottom - place.top, 35);
}

// Counts the moves and resizes that reach a window.
LRESULT CALLBACK CountPlacing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR count) {
  if (message == WM_WINDOWPOSCHANGING) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
      ++*reinterpret_cast<int*>(count);
    }
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(Events, MinimiseAndRestoreGiveOneSizeEvent) {
  MainWindow& main = Main();
  ASSERT_TRUE(RunLoopUntilIdle());
  events.clear();
  int placings = 0;
  ASSERT_TRUE(SetWindowSubclass(main.afterResultField->hwnd, &CountPlacing, 1,
                                reinterpret_cast<DWORD_PTR>(&placings)));
  HWND hwnd = MainHandle();
  ShowWindow(hwnd, SW_MINIMIZE);
  ASSERT_TRUE(RunLoopUntil([hwnd] { return IsIconic(hwnd) != FALSE; }));
  ASSERT_TRUE(RunLoopUntilIdle());
  ShowWindow(hwnd, SW_RESTORE);
  ASSERT_TRUE(RunLoopUntil([hwnd] { return !IsIconic(hwnd); }));
  ASSERT_TRUE(RunLoopUntilIdle());
  RemoveWindowSubclass(main.afterResultField->hwnd, &CountPlacing, 1);

  const auto count = [&](EventKind kind) {
    return std::count_if(events.begin(), events.end(), [kind](const SeenEvent& e) { return e.kind == kind; });
  };
  EXPECT_EQ(count(EventKind::SizeEvent), 1) << Describe(events);
  EXPECT_EQ(count(EventKind::Minimized), 1) << Describe(events);
  EXPECT_EQ(count(EventKind::Restored), 1) << Describe(events);
  EXPECT_EQ(placings, 1) << "OnWindowSized ran once";
  const RECT place = PlaceInParent(main.afterResultField->hwnd);
  EXPECT_EQ(place.left, 230);
  EXPECT_EQ(place.top, 160);
  EXPECT_EQ(place.right - place.left, 160);
  EXPECT_EQ(place.bottom - place.top, 35);
}

TEST_F(Events, StartUpRaisesNoSizeOrMoveEvent) {
  ASSERT_TRUE(RunLoopUntilIdle());
  for (const SeenEvent& e : events) {
    EXPECT_NE(e.kind, EventKind::SizeEvent) << Describe(events);
    EXPECT_NE(e.kind, EventKind::Moved) << Describe(events);
  }
}

TEST_F(Events, OnlyCloseRequestEndsTheLoop) {
  const EventKind kinds[] = {
      EventKind::None, EventKind::ControlEvent, EventKind::CloseRequest, EventKind::SizeEvent,
      EventKind::Activated, EventKind::Deactivated, EventKind::Minimized, EventKind::Restored,
      EventKind::Moved, EventKind::BackgroundErased, EventKind::Clicked, EventKind::RightClicked,
      EventKind::DoubleClicked,
  };
  for (EventKind kind : kinds) {
    // A control event from a label: one that no calculation answers.
    const Identity source = kind == EventKind::ControlEvent ? Main().yearLabel->id : 0;
    TheToolkit().current = Event{kind, source, Main().window->Id(), 0};
    EXPECT_EQ(HandleEvent(Main(), kind), kind != EventKind::CloseRequest) << KindName(kind);
  }

  // A close asked for the window raises CloseRequest and leaves the window.
  PostMessageW(MainHandle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(RunLoopUntil([this] { return closeRequested; }));
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, EventKind::CloseRequest);
  EXPECT_EQ(events.back().source, Main().window->Id());
  EXPECT_TRUE(IsWindow(MainHandle()));
  EXPECT_TRUE(IsWindowVisible(MainHandle()));
}

TEST_F(Events, WritingAResultRaisesOnlyThatFieldsEventsAndTheyComputeNothing) {
  MainWindow& main = Main();
  FillDate(u"2019", u"03", u"22");
  main.texts.SetText(TextControl::AfterDaysField, u"100");
  main.texts.SetText(TextControl::BeforeDaysField, u"100");
  main.texts.SetText(TextControl::BeforeResultField, u"untouched");
  const Dispatch d = RunInOneDispatch([&] {
    CalculateDaysAfter(main.texts);
    // Change the count behind the loop's back: were the result field's
    // events to start a calculation, it would show.
    const LRESULT mask = SendToControl(*main.afterDaysField, EM_GETEVENTMASK);
    SendToControl(*main.afterDaysField, EM_SETEVENTMASK, 0, 0);
    SetFieldText(*main.afterDaysField, u"1");
    SendToControl(*main.afterDaysField, EM_SETEVENTMASK, 0, mask);
  });
  const std::vector<SeenEvent> raised = Slice(d);
  EXPECT_FALSE(raised.empty()) << "writing the result is reported";
  for (const SeenEvent& e : raised) {
    EXPECT_EQ(e.kind, EventKind::ControlEvent) << Describe(raised);
    EXPECT_EQ(e.source, main.afterResultField->id) << Describe(raised);
  }
  EXPECT_EQ(main.texts.GetText(TextControl::AfterResultField), u"2019/06/30");
  EXPECT_EQ(main.texts.GetText(TextControl::BeforeResultField), u"untouched");
}

}  // namespace
}  // namespace korvane::uitest
