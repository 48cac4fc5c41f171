// KorvalinCmd.exe: the command line as a console program that runs as its
// caller is (no elevation asked), so that cmd.exe and PowerShell wait for it
// and see its output.
#include "app/main/entry.h"
#include "runtime/interface/startup.h"

int main() { return rt::RunApplication(&korvalin::ProgramHeader(), korvalin::ConsoleEntry); }
