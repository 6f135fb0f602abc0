#include "ui/about_box.h"

#include <windows.h>

#include "ui/message_box.h"

namespace korvane {

int ShowAboutBox(std::int64_t report) {
  if (report != STN_CLICKED) return 0;  // double clicks and drags start with one
  ShowMessageBox(AboutTitle, AboutText, MB_OK);  // only OK: the code says nothing
  return 0;
}

}  // namespace korvane
