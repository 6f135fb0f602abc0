#include "ui/text_field.h"

#include <commctrl.h>
#include <richedit.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "ui/gdi_count.h"
#include "ui/visual_styles.h"
#include "ui/wide_text.h"
#include "ui/window.h"

namespace korvane {

namespace {

constexpr DWORD FieldStyles = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                              ES_WANTRETURN;

// "RichEdit20W" from RICHED20.DLL, or "RichEdit" from RICHED32.DLL when the
// first cannot be loaded. Loaded once; the library stays for the process.
const wchar_t* RichEditClass() {
  static const wchar_t* name = LoadLibraryW(L"RICHED20.DLL") != nullptr ? L"RichEdit20W"
                               : LoadLibraryW(L"RICHED32.DLL") != nullptr ? L"RichEdit"
                                                                         : L"RichEdit20W";
  return name;
}

int ThemedFrameState(HWND field) {
  if (!IsWindowEnabled(field)) return ETS_DISABLED;
  const LRESULT options = SendMessageW(field, EM_GETOPTIONS, 0, 0);
  return (options & ECO_READONLY) != 0 ? ETS_READONLY : ETS_NORMAL;
}

// The client rectangle less the themed frame (the whole rectangle when no
// theme is active).
RECT ThemedContentRect(HWND field) {
  RECT client{};
  GetClientRect(field, &client);
  RECT content = client;
  if (HTHEME theme = OpenThemeData(field, L"edit")) {
    HDC dc = Counted(GetDC(field));
    GetThemeBackgroundContentRect(theme, dc, EP_EDITTEXT, ThemedFrameState(field),
                                  &client, &content);
    ReleaseCountedDC(field, dc);
    CloseThemeData(theme);
  }
  return content;
}

void InsetTextArea(HWND field) {
  RECT area = ThemedContentRect(field);
  InflateRect(&area, -1, -1);
  SendMessageW(field, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
}

void PaintThemedFrame(HWND field) {
  HTHEME theme = OpenThemeData(field, L"edit");
  if (theme == nullptr) return;
  RECT client{};
  GetClientRect(field, &client);
  const RECT content = ThemedContentRect(field);
  HDC dc = Counted(GetDC(field));
  ExcludeClipRect(dc, content.left, content.top, content.right, content.bottom);
  DrawThemeBackground(theme, dc, EP_EDITTEXT, ThemedFrameState(field), &client, nullptr);
  ReleaseCountedDC(field, dc);
  CloseThemeData(theme);
}

// With visual styles on, the field draws the themed edit frame over the
// border of its client area after its own painting.
LRESULT CALLBACK ThemedFieldProcedure(HWND field, UINT message, WPARAM wParam,
                                      LPARAM lParam, UINT_PTR, DWORD_PTR) {
  const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case WM_ENABLE:
      PaintThemedFrame(field);
      break;
    case WM_SIZE:
    case WM_THEMECHANGED:
      InsetTextArea(field);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(field, &ThemedFieldProcedure, 0);
      break;
  }
  return result;
}

void ApplyTextColour(const Control& field) {
  CHARFORMAT2W format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  if (field.textColour == DefaultColour) format.dwEffects = CFE_AUTOCOLOR;
  else format.crTextColor = static_cast<COLORREF>(field.textColour);
  // The present text, and the text typed or written later.
  SendToControl(field, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SendToControl(field, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

LRESULT TextLength(const Control& field) {
  GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
  return SendToControl(field, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
}

}  // namespace

Control& CreateTextField(Window& window, Rect place, Identity id) {
  const bool themed = VisualStylesOn();
  Control& field = CreateControl(window, ControlKind::TextField, RichEditClass(), L"",
                                 FieldStyles, themed ? 0 : WS_EX_CLIENTEDGE, place, id);
  // The largest limit that every rich edit takes as a count: -1 reads as a
  // negative limit there, which lets nothing be typed into an empty field.
  SendToControl(field, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  const LRESULT mask = SendToControl(field, EM_GETEVENTMASK);
  SendToControl(field, EM_SETEVENTMASK, 0, mask | ENM_CHANGE);
  if (themed && field.Exists()) {
    SetWindowSubclass(field.hwnd, &ThemedFieldProcedure, 0, 0);
    InsetTextArea(field.hwnd);
  }
  return field;
}

void SetTextColour(Control& field, Colour colour) {
  field.textColour = colour;
  ApplyTextColour(field);
}

void KeepTextColour(Control& field) {
  if (field.textColour != DefaultColour) ApplyTextColour(field);
}

void AppendLine(Control& field, std::wstring_view line) {
  const LRESULT length = TextLength(field);
  const std::wstring text = (length > 0 ? L"\r" : L"") + std::wstring(line);
  CHARRANGE end = {static_cast<LONG>(length), static_cast<LONG>(length)};
  SendToControl(field, EM_HIDESELECTION, TRUE);
  SendToControl(field, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  SendToControl(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  SendToControl(field, EM_HIDESELECTION, FALSE);
}

std::u16string FieldText(const Control& field) {
  const LRESULT length = SendToControl(field, WM_GETTEXTLENGTH);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendToControl(field, WM_GETTEXT, text.size(),
                                       reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return ToU16(text);
}

void SetFieldText(Control& field, std::u16string_view text) {
  if (!text.empty()) {
    POINT scroll{};
    SendToControl(field, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    scroll.x = 0;
    SendToControl(field, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  }
  const std::wstring wide = ToWide(text);
  SendToControl(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace korvane
