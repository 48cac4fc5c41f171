// The program's entry and exit routines, and its image.
#pragma once

#include "runtime/interface/program_image.h"

namespace korvalin {

int ProgramEntry();
// KorvalinCmd.exe's: the commands alone; no arguments print the usage.
int ConsoleEntry();
void ProgramExit();

const rt::ProgramImageHeader& ProgramHeader();

}  // namespace korvalin
