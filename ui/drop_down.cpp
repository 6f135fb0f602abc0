#include "ui/drop_down.h"

#include "ui/visual_styles.h"
#include "ui/wide_text.h"

namespace korvane {

namespace {

constexpr DWORD BoxStyles = WS_BORDER | WS_VSCROLL | WS_GROUP | 66;  // CBS_DROPDOWN | CBS_AUTOHSCROLL

int ClosedHeight(HWND box) {
  RECT outer{};
  GetWindowRect(box, &outer);
  return outer.bottom - outer.top;
}

}  // namespace

Control& CreateDropDown(Window& window, Rect place, Identity id) {
  const int requested = place.height;
  place.height = VisualStylesOn() ? 60 : 350;
  Control& box = CreateControl(window, ControlKind::DropDown, L"ComboBox", L"",
                               BoxStyles, 0, place, id);
  box.requestedHeight = requested;
  if (HWND edit = DropDownEdit(box)) {
    SetWindowLongPtrW(edit, GWL_STYLE, GetWindowLongPtrW(edit, GWL_STYLE) | WS_TABSTOP);
  }
  FitClosedHeight(box);
  return box;
}

void AppendItem(Control& box, std::wstring_view item) {
  const std::wstring text(item);
  SendToControl(box, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                reinterpret_cast<LPARAM>(text.c_str()));
}

void FitClosedHeight(Control& box) {
  if (!box.Exists() || box.requestedHeight <= 0) return;
  // The selection field's item height sets the closed height, plus a
  // border that differs between platforms: set, measure, correct once.
  LRESULT item = SendToControl(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1));
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int error = ClosedHeight(box.hwnd) - box.requestedHeight;
    if (error == 0 || item - error < 1) break;
    item -= error;
    SendToControl(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
  }
}

bool DropDownReports(Control& box, WORD notification) {
  switch (notification) {
    case CBN_SELCHANGE: box.listChoice = true; return true;
    case CBN_EDITCHANGE: box.listChoice = false; return true;
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS: return true;
  }
  return false;
}

std::u16string DropDownText(const Control& box) {
  std::wstring text;
  LRESULT copied = 0;
  if (box.listChoice) {
    const LRESULT chosen = SendToControl(box, CB_GETCURSEL);
    const LRESULT length = chosen < 0 ? CB_ERR : SendToControl(box, CB_GETLBTEXTLEN, chosen);
    if (length == CB_ERR) return {};
    text.resize(static_cast<std::size_t>(length) + 1);
    copied = SendToControl(box, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
  } else {
    const LRESULT length = SendToControl(box, WM_GETTEXTLENGTH);
    if (length <= 0) return {};
    text.resize(static_cast<std::size_t>(length) + 1);
    copied = SendToControl(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  }
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return ToU16(text);
}

void SetDropDownText(Control& box, std::u16string_view text) {
  box.listChoice = false;  // the written text is what the box shows now
  const std::wstring wide = ToWide(text);
  SendToControl(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

HWND DropDownEdit(const Control& box) {
  if (!box.Exists()) return nullptr;
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(box.hwnd, &info) ? info.hwndItem : nullptr;
}

}  // namespace korvane
