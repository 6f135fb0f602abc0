// The about box: a press on the logo opens it, modal over MainWindow;
// nothing else opens it; afterwards the window takes up where it was.
//
// The box runs its own modal loop on the test's thread, so the test drives
// it from a thread timer that this loop dispatches: the timer finds the box,
// reads it, and closes it with OK.
#include <windows.h>

#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/about_box.h"

namespace korvane::uitest {
namespace {

struct BoxWatch {
  static inline int opened = 0;
  static inline std::wstring title, text;
  static inline bool mainEnabledWhileOpen = true;
  static inline std::size_t queuedBefore = 0, queuedAfter = 0;
  static inline HWND main = nullptr, box = nullptr;
  static inline std::function<void()> whileOpen;

  static void Start(HWND mainWindow, std::function<void()> action = {}) {
    opened = 0;
    title.clear();
    text.clear();
    mainEnabledWhileOpen = true;
    main = mainWindow;
    box = nullptr;
    whileOpen = std::move(action);
    timer = SetTimer(nullptr, 0, 10, &Tick);
  }
  static void Stop() {
    if (timer != 0) KillTimer(nullptr, timer);
    timer = 0;
  }
  static bool Open() { return FindBox() != nullptr; }

 private:
  static inline UINT_PTR timer = 0;

  static HWND FindBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM out) {
      if (ClassOf(hwnd) == L"#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
      }
      return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  // First sight of a box: read it and run the action; the next tick, after
  // the box's loop has dispatched what the action posted, presses OK.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND found = FindBox();
    if (found == nullptr) return;
    if (found != box) {
      box = found;
      ++opened;
      title = WindowText(box);
      text = WindowText(GetDlgItem(box, 0xFFFF));  // the message's static text
      mainEnabledWhileOpen = IsWindowEnabled(main) != FALSE;
      queuedBefore = TheToolkit().queue.Size();
      if (whileOpen) whileOpen();
      queuedAfter = TheToolkit().queue.Size();
      return;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
};

class AboutBox : public MainWindowTest {
 protected:
  void TearDown() override {
    BoxWatch::Stop();
    MainWindowTest::TearDown();
  }

  // Reports a logo event to the window, as the logo itself would.
  void ReportFromLogo(WORD code) {
    const Control& logo = *Main().logoImage;
    SendMessageW(MainHandle(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(logo.id), code),
                 reinterpret_cast<LPARAM>(logo.hwnd));
  }
};

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (wchar_t c : text) {
    if (c == L'\n') lines.emplace_back();
    else lines.back() += c;
  }
  return lines;
}

TEST_F(AboutBox, ClickOnTheLogoOpensItModalAndOkGoesBackToWhereTheUserWas) {
  ASSERT_TRUE(BringToFront());
  HWND focus = Main().beforeDaysField->hwnd;
  SetFocus(focus);
  BoxWatch::Start(MainHandle());
  RECT logo{};
  GetWindowRect(Main().logoImage->hwnd, &logo);
  ASSERT_TRUE(Send(LeftClickAt({(logo.left + logo.right) / 2, (logo.top + logo.bottom) / 2})));
  ASSERT_TRUE(RunLoopUntil([] { return BoxWatch::opened > 0 && !BoxWatch::Open(); }))
      << "opened " << BoxWatch::opened << " boxes; events " << Describe(events);
  BoxWatch::Stop();

  EXPECT_EQ(BoxWatch::opened, 1);
  EXPECT_EQ(BoxWatch::title, AboutTitle) << Narrow(BoxWatch::title);
  EXPECT_EQ(BoxWatch::text, AboutText) << Narrow(BoxWatch::text);
  EXPECT_FALSE(BoxWatch::mainEnabledWhileOpen) << "MainWindow took input under the box";

  // What the box showed: four lines broken by LF alone.
  const std::vector<std::wstring> lines = Lines(BoxWatch::text);
  ASSERT_EQ(lines.size(), 4u) << Narrow(BoxWatch::text);
  EXPECT_EQ(BoxWatch::text.find(L'\r'), std::wstring::npos);
  EXPECT_TRUE(lines[0].empty());
  EXPECT_FALSE(lines[1].empty());
  EXPECT_EQ(lines[2].substr(0, 2), L"\u3000\u3000") << Narrow(lines[2]);
  EXPECT_EQ(lines[3].rfind(L"https://", 0), 0u) << Narrow(lines[3]);

  ASSERT_TRUE(RunLoopUntil([&] { return GetActiveWindow() == MainHandle(); }));
  ASSERT_TRUE(RunLoopUntilIdle());
  EXPECT_TRUE(IsWindowEnabled(MainHandle()));
  EXPECT_EQ(GetFocus(), focus) << "focus on " << Narrow(ClassOf(GetFocus()));
}

TEST_F(AboutBox, OtherReportsOpenNothing) {
  ASSERT_TRUE(BringToFront());
  BoxWatch::Start(MainHandle());
  for (WORD report : {WORD{STN_DBLCLK}, WORD{STN_ENABLE}, WORD{STN_DISABLE}, WORD{42}}) {
    EXPECT_EQ(ShowAboutBox(report), 0) << "report " << report;
    EXPECT_EQ(BoxWatch::opened, 0) << "report " << report << " called directly";
    // Through the window and the loop, as the logo reports it.
    ReportFromLogo(report);
    ASSERT_TRUE(RunLoopUntilIdle()) << "report " << report;
    EXPECT_EQ(BoxWatch::opened, 0) << "report " << report << " from the logo";
  }
}

TEST_F(AboutBox, EventsRaisedWhileItIsOpenWaitAndComeOutInOrder) {
  ASSERT_TRUE(BringToFront());
  MainWindow& main = Main();
  BoxWatch::Start(MainHandle(), [&main] {
    main.texts.SetText(TextControl::BeforeDaysField, u"7");
    main.texts.SetText(TextControl::AfterDaysField, u"8");
    PostMessageW(main.window->Handle(), WM_CLOSE, 0, 0);
  });
  ReportFromLogo(STN_CLICKED);
  ASSERT_TRUE(RunLoopUntil([this] { return closeRequested; })) << Describe(events);
  BoxWatch::Stop();

  EXPECT_EQ(BoxWatch::opened, 1);
  EXPECT_GE(BoxWatch::queuedAfter, BoxWatch::queuedBefore + 2) << "the fields' events waited";
  // The two changes and the close request, in the order they came out.
  std::vector<Identity> order;
  for (const SeenEvent& e : events) {
    if (e.kind == EventKind::CloseRequest) order.push_back(-1);
    if (e.kind == EventKind::ControlEvent && e.report == EN_CHANGE &&
        (e.source == main.beforeDaysField->id || e.source == main.afterDaysField->id)) {
      order.push_back(e.source);
    }
  }
  const std::vector<Identity> expected = {main.beforeDaysField->id, main.afterDaysField->id, -1};
  EXPECT_EQ(order, expected) << Describe(events);
  EXPECT_EQ(main.texts.GetText(TextControl::BeforeDaysField), u"7");
  EXPECT_TRUE(IsWindowEnabled(MainHandle()));
}

}  // namespace
}  // namespace korvane::uitest
