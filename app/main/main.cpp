#include <windows.h>

#include "app/main/entry.h"
#include "runtime/interface/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return rt::RunApplication(&korvalin::ProgramHeader(), korvalin::ProgramEntry);
}
