// A top-level window of the toolkit: its own window class, its controls, its
// background colour, and the procedure that turns its messages into events.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace korvane {

class Window {
 public:
  // Registers the window's class, creates the window with the given client
  // size, centres it on the primary screen and shows it. Null when the
  // window cannot be created (its class is unregistered again).
  static std::unique_ptr<Window> Create(const wchar_t* title, int x, int y,
                                        int clientWidth, int clientHeight);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  Identity Id() const { return id_; }

  // Every erase of the client area fills it with this colour from now on.
  void SetBackgroundColour(Colour colour);

  // Keeps a new child control; hwnd may be null when its creation failed.
  Control& AddControl(ControlKind kind, Identity id, HWND hwnd);
  Control* FindControl(HWND hwnd);
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // The toolkit's window object of a handle, or null when it is none of ours.
  static Window* FromHandle(HWND hwnd);

  // The keyboard shortcut table lives and dies with the window.
  void SetShortcuts(HACCEL table) { shortcuts_ = table; }
  HACCEL Shortcuts() const { return shortcuts_; }

  // The control that had the keyboard focus when the window was last
  // deactivated.
  HWND rememberedFocus = nullptr;

 private:
  Window() = default;
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void Raise(EventKind kind, Identity source = 0, std::int64_t report = 0);
  LRESULT OnClose();
  LRESULT OnSize(WPARAM type);
  LRESULT OnMove();
  LRESULT OnActivate(WPARAM state, LPARAM lParam);
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(const NMHDR* header);
  LRESULT OnLabelColour(HDC dc, HWND label, WPARAM wParam, LPARAM lParam);
  LRESULT OnMouse(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  Identity id_ = 0;
  std::wstring className_;
  HBRUSH background_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  bool creationComplete_ = false;
  bool minimized_ = false;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace korvane
