#include "ui/visual_styles.h"

#include <windows.h>
#include <shlwapi.h>

namespace korvane {

namespace {

int decision = -1;  // -1 not yet decided, else 0 or 1

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool AppIsThemed() {
  using IsAppThemedFunction = BOOL(WINAPI*)();
  const auto isAppThemed =
      Lookup<IsAppThemedFunction>(LoadLibraryW(L"uxtheme.dll"), "IsAppThemed");
  return isAppThemed != nullptr && isAppThemed();
}

bool CommonControlsSixOrLater() {
  const auto getVersion =
      Lookup<DLLGETVERSIONPROC>(LoadLibraryW(L"COMCTL32.DLL"), "DllGetVersion");
  DLLVERSIONINFO version = {};
  version.cbSize = sizeof version;
  return getVersion != nullptr && SUCCEEDED(getVersion(&version)) &&
         version.dwMajorVersion >= 6;
}

}  // namespace

bool VisualStylesOn() {
  if (decision < 0) decision = AppIsThemed() && CommonControlsSixOrLater();
  return decision == 1;
}

void DecideVisualStylesForTesting(bool on) { decision = on; }

}  // namespace korvane
