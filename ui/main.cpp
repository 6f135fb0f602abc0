// The program's entry: reads no command line and always ends with code 0.
#include <windows.h>

#include "ui/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  korvane::RunProgram();
  ExitProcess(0);
}
