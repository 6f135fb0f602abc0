// MainWindow as BuildMainWindow leaves it: the window itself, its class,
// and its eighteen controls in creation order with their classes, places,
// styles, texts and items. Runs in every mode: unthemed at 96 dpi, themed,
// and at 120 dpi, where places and sizes stay the same.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <set>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/drop_down.h"
#include "ui/text_field.h"
#include "ui/visual_styles.h"

namespace korvane::uitest {
namespace {

constexpr DWORD WindowStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;
constexpr DWORD FieldStyles = Child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN;
constexpr DWORD LabelStyles = Child | WS_GROUP | SS_NOPREFIX;
constexpr DWORD BoxStyles = Child | WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD ButtonStyles = Child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_LEFT;
constexpr DWORD CalendarStyles = Child | WS_TABSTOP | MCS_DAYSTATE;
constexpr DWORD PictureStyles = Child | SS_NOTIFY;
constexpr int ClosedBoxHeight = 30;

enum class Kind { Field, Label, Box, Button, Calendar, Picture };

struct Row {
  const char* name;
  Control* MainWindow::*member;
  Kind kind;
  const wchar_t* className;
  RECT place;  // left, top, width, height
  DWORD style;
  const wchar_t* text;
};

// In creation order.
const Row Rows[] = {
    {"YearField", &MainWindow::yearField, Kind::Field, L"RichEdit20W", {40, 70, 100, 30}, FieldStyles, L""},
    {"AfterDaysField", &MainWindow::afterDaysField, Kind::Field, L"RichEdit20W", {40, 160, 90, 35}, FieldStyles, L""},
    {"AfterResultField", &MainWindow::afterResultField, Kind::Field, L"RichEdit20W", {230, 160, 160, 35}, FieldStyles, L""},
    {"AfterLabel", &MainWindow::afterLabel, Kind::Label, L"Static", {130, 170, 90, 25}, LabelStyles | SS_RIGHT, L"days after="},
    {"ValidPeriodLabel", &MainWindow::validPeriodLabel, Kind::Label, L"Static", {40, 110, 380, 25}, LabelStyles | SS_CENTER, L"valid period: 1970-01-01 <--> 2038-01-19"},
    {"DayLabel", &MainWindow::dayLabel, Kind::Label, L"Static", {320, 40, 40, 25}, LabelStyles | SS_LEFT, L"Day"},
    {"MonthLabel", &MainWindow::monthLabel, Kind::Label, L"Static", {180, 40, 60, 25}, LabelStyles | SS_LEFT, L"Month"},
    {"DayBox", &MainWindow::dayBox, Kind::Box, L"ComboBox", {320, 70, 100, ClosedBoxHeight}, BoxStyles, L""},
    {"BeforeButton", &MainWindow::beforeButton, Kind::Button, L"Button", {400, 220, 100, 40}, ButtonStyles, L"      push"},
    {"BeforeDaysField", &MainWindow::beforeDaysField, Kind::Field, L"RichEdit20W", {40, 220, 90, 35}, FieldStyles, L""},
    {"BeforeLabel", &MainWindow::beforeLabel, Kind::Label, L"Static", {130, 230, 90, 25}, LabelStyles | SS_RIGHT, L"days before="},
    {"BeforeResultField", &MainWindow::beforeResultField, Kind::Field, L"RichEdit20W", {230, 220, 160, 35}, FieldStyles, L""},
    {"Calendar", &MainWindow::calendar, Kind::Calendar, L"SysMonthCal32", {520, 20, 260, 240}, CalendarStyles, L""},
    {"AfterButton", &MainWindow::afterButton, Kind::Button, L"Button", {400, 160, 100, 40}, ButtonStyles, L"      push"},
    {"MonthBox", &MainWindow::monthBox, Kind::Box, L"ComboBox", {180, 70, 100, ClosedBoxHeight}, BoxStyles, L""},
    {"BannerImage", &MainWindow::bannerImage, Kind::Picture, L"STATIC", {30, 310, 600, 50}, PictureStyles, L""},
    {"LogoImage", &MainWindow::logoImage, Kind::Picture, L"STATIC", {660, 310, 100, 49}, PictureStyles, L""},
    {"YearLabel", &MainWindow::yearLabel, Kind::Label, L"Static", {40, 40, 40, 25}, LabelStyles | SS_LEFT, L"Year"},
};

DWORD ExpectedExStyle(Kind kind) {
  switch (kind) {
    case Kind::Field: return Mode().themed ? 0 : WS_EX_CLIENTEDGE;
    case Kind::Calendar:
    case Kind::Picture: return WS_EX_CLIENTEDGE;
    default: return 0;
  }
}

// Drop-downs are created as tall as their open list and then closed to 30.
int ExpectedCreatedHeight(const Row& row) {
  if (row.kind != Kind::Box) return row.place.bottom;
  return Mode().themed ? 60 : 350;
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

class Layout : public MainWindowTest {
 protected:
  bool PrefillAtStart() const override { return false; }

  // The controls' creations, in order: the windows made with MainWindow as
  // their parent.
  std::vector<Creation> ControlCreations() const {
    std::vector<Creation> controls;
    for (const Creation& c : created) {
      if (c.parent == main_->window->Handle()) controls.push_back(c);
    }
    return controls;
  }
};

TEST(Run, ProcessRunsInTheModeItAskedFor) {
  const int dpi = Mode().logPixels > 0 ? Mode().logPixels : 96;
  EXPECT_EQ(TheToolkit().dpi, dpi) << "the display dpi of this run (LogPixels of the prefix)";
  // Under Wine the common controls report version 5.81, so the program's own
  // decision is "off"; --themed decides it on.
  EXPECT_EQ(VisualStylesOn(), Mode().themed);
}

TEST_F(Layout, WindowHasItsTitleStylesAndCentredClientArea) {
  HWND hwnd = MainHandle();
  EXPECT_EQ(WindowText(hwnd), L"KorvaneDaysAfter");

  ASSERT_FALSE(created.empty());
  const Creation& window = created.front();
  EXPECT_EQ(window.hwnd, hwnd) << "the window is made before its controls";
  // The system adds WS_EX_WINDOWEDGE to every captioned window before the
  // creation is reported, and WS_CLIPSIBLINGS to every top-level one.
  EXPECT_EQ(window.style & ~WS_CLIPSIBLINGS, WindowStyles) << Hex(window.style);
  EXPECT_EQ(window.exStyle & ~WS_EX_WINDOWEDGE, 0u) << Hex(window.exStyle);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), WindowStyles) << Hex(style);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u) << Hex(style);
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & ~WS_EX_WINDOWEDGE, 0u) << Hex(exStyle);

  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 790);
  EXPECT_EQ(client.bottom, 400);

  RECT outer = {0, 0, 790, 400};
  ASSERT_TRUE(AdjustWindowRectEx(&outer, WindowStyles, FALSE, 0));
  RECT actual{};
  GetWindowRect(hwnd, &actual);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  EXPECT_EQ(actual.right - actual.left, width);
  EXPECT_EQ(actual.bottom - actual.top, height);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(actual.left, (screenWidth - std::min(width, screenWidth)) / 2);
  EXPECT_EQ(actual.top, (screenHeight - std::min(height, screenHeight)) / 2);
  EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(Layout, WindowLargerThanTheScreenGoesToTheScreensCorner) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  auto large = BuildMainWindow(40, 40, screenWidth + 400, screenHeight + 300, TestFonts(), nullptr, nullptr);
  ASSERT_NE(large, nullptr);
  RECT actual{};
  GetWindowRect(large->window->Handle(), &actual);
  const int width = std::min<int>(actual.right - actual.left, screenWidth);
  const int height = std::min<int>(actual.bottom - actual.top, screenHeight);
  EXPECT_EQ(actual.left, (screenWidth - width) / 2) << "outer width " << actual.right - actual.left;
  EXPECT_EQ(actual.top, (screenHeight - height) / 2) << "outer height " << actual.bottom - actual.top;
}

TEST_F(Layout, WindowClassIsNamedAfterTheIdentity) {
  const std::wstring name = L"WindowClass_" + std::to_wstring(main_->window->Id());
  EXPECT_EQ(ClassOf(MainHandle()), name);
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &info)) << Narrow(name);
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  ASSERT_NE(icon, nullptr) << "the test program carries the program's resources";
  EXPECT_EQ(info.hIcon, icon);
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr)
      << "the manifest that binds the common controls 6";

  // A second window has an identity and a class of its own; each class goes
  // with its window.
  auto second = BuildMainWindow(40, 40, 790, 400, TestFonts(), nullptr, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_GT(second->window->Id(), main_->window->Id());
  const std::wstring secondName = ClassOf(second->window->Handle());
  EXPECT_EQ(secondName, L"WindowClass_" + std::to_wstring(second->window->Id()));
  second.reset();
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), secondName.c_str(), &info));
  EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &info));
}

TEST_F(Layout, ControlsAreCreatedInOrderWithTheirClassPlaceStylesAndText) {
  const std::vector<Creation> controls = ControlCreations();
  ASSERT_EQ(controls.size(), std::size(Rows));
  for (std::size_t n = 0; n < std::size(Rows); ++n) {
    const Row& row = Rows[n];
    const Creation& c = controls[n];
    SCOPED_TRACE(::testing::Message() << "control " << n + 1 << " " << row.name);
    const Control* control = main_.get()->*row.member;
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->hwnd, c.hwnd) << "MainWindow keeps it under its name";
    EXPECT_EQ(_wcsicmp(c.className.c_str(), row.className), 0) << Narrow(c.className);
    EXPECT_EQ(c.x, row.place.left);
    EXPECT_EQ(c.y, row.place.top);
    EXPECT_EQ(c.width, row.place.right);
    EXPECT_EQ(c.height, ExpectedCreatedHeight(row));
    EXPECT_EQ(c.style, row.style) << Hex(c.style) << " expected " << Hex(row.style);
    EXPECT_EQ(c.exStyle, ExpectedExStyle(row.kind)) << Hex(c.exStyle);
    EXPECT_EQ(c.text, row.text) << Narrow(c.text);

    const RECT place = PlaceInParent(c.hwnd);
    EXPECT_EQ(place.left, row.place.left);
    EXPECT_EQ(place.top, row.place.top);
    EXPECT_EQ(place.right - place.left, row.place.right);
    EXPECT_EQ(place.bottom - place.top, row.place.bottom) << "as placed, boxes closed";
    EXPECT_EQ(GetDlgCtrlID(c.hwnd), control->id) << "the identity is the control's id";
  }
}

TEST_F(Layout, ControlsTextsAsTheUserFirstSeesThem) {
  // Before the calendar's day is copied in, YearField holds one line.
  EXPECT_EQ(FieldText(*main_->yearField), u"year");
  EXPECT_EQ(SendToControl(*main_->yearField, EM_GETLINECOUNT), 1);
  for (const Row& row : Rows) {
    const Control& control = *(main_.get()->*row.member);
    if (row.kind == Kind::Field && row.member != &MainWindow::yearField) {
      EXPECT_EQ(FieldText(control), u"") << row.name;
    } else if (row.kind != Kind::Field) {
      EXPECT_EQ(WindowText(control.hwnd), row.text) << row.name;
    }
  }
}

TEST_F(Layout, IdentitiesAreDistinctAndBeforeButtonsIsZero) {
  EXPECT_EQ(main_->beforeButton->id, BeforeButtonId);
  EXPECT_EQ(BeforeButtonId, 0);
  std::set<Identity> seen = {main_->window->Id()};
  for (const Row& row : Rows) {
    const Identity id = (main_.get()->*row.member)->id;
    if (row.member == &MainWindow::beforeButton) continue;
    EXPECT_NE(id, 0) << row.name;
    EXPECT_TRUE(seen.insert(id).second) << row.name << " shares identity " << id;
  }
}

TEST_F(Layout, BoxesListTheirNumbersAndCloseToThirtyPixels) {
  struct BoxRow {
    const char* name;
    Control* MainWindow::*member;
    int items;
  };
  for (const BoxRow& row : {BoxRow{"DayBox", &MainWindow::dayBox, 31},
                            BoxRow{"MonthBox", &MainWindow::monthBox, 12}}) {
    SCOPED_TRACE(row.name);
    const Control& box = *(main_.get()->*row.member);
    ASSERT_EQ(SendToControl(box, CB_GETCOUNT), row.items);
    for (int n = 0; n < row.items; ++n) {
      wchar_t item[16] = {};
      SendToControl(box, CB_GETLBTEXT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(item));
      EXPECT_EQ(std::wstring(item), std::to_wstring(n + 1)) << "item " << n;
    }
    EXPECT_EQ(SendToControl(box, CB_GETCURSEL), CB_ERR) << "no item chosen";
    RECT outer{};
    GetWindowRect(box.hwnd, &outer);
    EXPECT_EQ(outer.bottom - outer.top, ClosedBoxHeight) << "whatever the font";
    HWND edit = DropDownEdit(box);
    ASSERT_NE(edit, nullptr);
    EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & WS_TABSTOP, 0) << "the edit part is a tab stop";
  }
}

TEST_F(Layout, TextFieldsReportChangesAndTakeWhateverIsTyped) {
  for (Control* MainWindow::*member : {&MainWindow::yearField, &MainWindow::afterDaysField,
                                       &MainWindow::afterResultField, &MainWindow::beforeDaysField,
                                       &MainWindow::beforeResultField}) {
    Control& field = *(main_.get()->*member);
    SCOPED_TRACE(::testing::Message() << "field id " << field.id);
    EXPECT_NE(SendToControl(field, EM_GETEVENTMASK) & ENM_CHANGE, 0);
    // Typing goes on after a text written whole (a limit left at the
    // written length, or at a negative count, would stop it).
    EXPECT_EQ(FieldText(field), main_->yearField == &field ? u"year" : u"");
    SendToControl(field, EM_SETSEL, 0, -1);
    SendToControl(field, WM_CHAR, L'1', 0);
    EXPECT_EQ(FieldText(field), u"1") << "typed into the field as built";
    SetFieldText(field, u"2026");
    SendToControl(field, EM_SETSEL, 4, 4);
    SendToControl(field, WM_CHAR, L'7', 0);
    EXPECT_EQ(FieldText(field), u"20267");
    EXPECT_GT(SendToControl(field, EM_GETLIMITTEXT), 1 << 20) << "no practical limit";
  }
}

TEST_F(Layout, FieldsFrameTheirTextArea) {
  for (Control* MainWindow::*member : {&MainWindow::yearField, &MainWindow::afterResultField}) {
    Control& field = *(main_.get()->*member);
    // Two sizes: as built, and after a move to a larger place; the frame
    // and the inset stay the same.
    RECT inset0{};
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(::testing::Message() << "field id " << field.id << ", pass " << pass);
      if (pass == 1) MoveControl(field, 10, 10, 200, 60);
      ASSERT_TRUE(RunLoopUntilIdle());
      RECT client{}, area{}, outer{};
      GetClientRect(field.hwnd, &client);
      GetWindowRect(field.hwnd, &outer);
      SendToControl(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
      if (!Mode().themed) {
        EXPECT_LT(client.right, outer.right - outer.left) << "the client edge is outside";
        continue;
      }
      // No client edge: the themed frame is drawn inside the client area,
      // and the text stays off it, by its one-pixel border plus one.
      EXPECT_EQ(client.right, outer.right - outer.left);
      EXPECT_GE(area.left - client.left, 2);
      EXPECT_GE(area.top - client.top, 2);
      EXPECT_GE(client.right - area.right, 2);
      EXPECT_GE(client.bottom - area.bottom, 2);
      const RECT inset = {area.left - client.left, area.top - client.top,
                          client.right - area.right, client.bottom - area.bottom};
      if (pass == 0) inset0 = inset;
      EXPECT_TRUE(EqualRect(&inset, &inset0)) << "inset " << inset.left << "," << inset.top << ","
                                              << inset.right << "," << inset.bottom;
      HDC dc = GetDC(field.hwnd);
      const COLORREF gap = GetPixel(dc, area.left - 1, area.top - 1);
      for (POINT p : {POINT{0, 0}, POINT{client.right - 1, client.bottom / 2},
                      POINT{client.right / 2, client.bottom - 1}}) {
        EXPECT_NE(GetPixel(dc, p.x, p.y), gap) << "no frame drawn at " << p.x << "," << p.y;
      }
      ReleaseDC(field.hwnd, dc);
    }
  }
}

TEST_F(Layout, CalendarOpensOnTodayAndPicturesAreEmpty) {
  SYSTEMTIME today{}, selected{};
  GetLocalTime(&today);
  ASSERT_NE(SendToControl(*main_->calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&selected)), 0);
  // The window was built a moment ago: the day may have turned since.
  SYSTEMTIME built = today;
  if (selected.wDay != today.wDay) {
    FILETIME f{};
    SystemTimeToFileTime(&today, &f);
    ULARGE_INTEGER t{{f.dwLowDateTime, f.dwHighDateTime}};
    t.QuadPart -= 10'000'000ULL * 60;
    f = {t.LowPart, t.HighPart};
    FileTimeToSystemTime(&f, &built);
  }
  EXPECT_EQ(selected.wYear, built.wYear);
  EXPECT_EQ(selected.wMonth, built.wMonth);
  EXPECT_EQ(selected.wDay, built.wDay);

  for (const Control* picture : {main_->bannerImage, main_->logoImage}) {
    EXPECT_EQ(SendToControl(*picture, STM_GETIMAGE, IMAGE_BITMAP), 0) << "id " << picture->id;
  }
}

}  // namespace
}  // namespace korvane::uitest
