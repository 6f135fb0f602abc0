// The start-up floor for a window holding the program's eighteen native
// controls, created directly with CreateWindowExW at the program's places and
// in its order: five rich-edit fields, six labels, two drop-down boxes with
// 31 and 12 items, two push buttons, a month calendar and two bordered
// pictures. The window is shown once all of them exist, so "visible" means
// the same to an outside observer as the program's filled-in window.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

constexpr DWORD kStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFieldStyles = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                               ES_WANTRETURN;
constexpr DWORD kBoxStyles = WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_DROPDOWN |
                             CBS_AUTOHSCROLL;
constexpr DWORD kButtonStyles = WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_LEFT;

enum Kind { Field, Label, Box, Button, Calendar, Picture };

struct Place {
  Kind kind;
  int x, y, width, height;
  const wchar_t* text;
  int items;  // drop-down boxes only
};

// The program's controls in its creation order.
constexpr Place kControls[] = {
    {Field, 40, 70, 100, 30, L"year", 0},
    {Field, 40, 160, 90, 35, L"", 0},
    {Field, 230, 160, 160, 35, L"", 0},
    {Label, 130, 170, 90, 25, L"days after=", 0},
    {Label, 40, 110, 380, 25, L"valid period: 1970-01-01 <--> 2038-01-19", 0},
    {Label, 320, 40, 40, 25, L"Day", 0},
    {Label, 180, 40, 60, 25, L"Month", 0},
    {Box, 320, 70, 100, 30, L"", 31},
    {Button, 400, 220, 100, 40, L"      push", 0},
    {Field, 40, 220, 90, 35, L"", 0},
    {Label, 130, 230, 90, 25, L"days before=", 0},
    {Field, 230, 220, 160, 35, L"", 0},
    {Calendar, 520, 20, 260, 240, L"", 0},
    {Button, 400, 160, 100, 40, L"      push", 0},
    {Box, 180, 70, 100, 30, L"", 12},
    {Picture, 30, 310, 600, 50, L"", 0},
    {Picture, 660, 310, 100, 49, L"", 0},
    {Label, 40, 40, 40, 25, L"Year", 0},
};
static_assert(sizeof kControls / sizeof kControls[0] == 18);

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CreateControls(HWND window, HINSTANCE instance) {
  LoadLibraryW(L"RICHED20.DLL");
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));

  int id = 1;
  for (const Place& p : kControls) {
    const wchar_t* className = L"Static";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    int height = p.height;
    switch (p.kind) {
      case Field: className = L"RichEdit20W"; style |= kFieldStyles; break;
      case Label: style |= SS_RIGHT; break;
      case Box: className = L"ComboBox"; style |= kBoxStyles; height = 350; break;
      case Button: className = L"Button"; style |= kButtonStyles; break;
      case Calendar: className = MONTHCAL_CLASSW; style |= WS_TABSTOP | MCS_DAYSTATE;
                     exStyle = WS_EX_CLIENTEDGE; break;
      case Picture: style |= SS_NOTIFY; exStyle = WS_EX_CLIENTEDGE; break;
    }
    HWND control = CreateWindowExW(exStyle, className, p.text, style, p.x, p.y, p.width,
                                   height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                                   instance, nullptr);
    SendMessageW(control, WM_SETFONT, font, TRUE);
    for (int n = 1; n <= p.items; ++n) {
      const std::wstring item = std::to_wstring(n);
      SendMessageW(control, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"EighteenControls";
  if (RegisterClassExW(&windowClass) == 0) return 0;

  RECT outer = {0, 0, 790, 400};
  AdjustWindowRectEx(&outer, kStyles, FALSE, 0);
  HWND window = CreateWindowExW(0, L"EighteenControls", L"eighteen_controls", kStyles, 40, 40,
                                outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  CreateControls(window, instance);
  ShowWindow(window, SW_SHOWNORMAL);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
