#include "app/main/entry.h"

#include <float.h>

#include <vector>

#include "app/command/command_line.h"
#include "app/command/command_mode.h"
#include "app/main/globals.h"
#include "app/session/single_instance.h"
#include "app/main/startup_check.h"
#include "image/constants.h"
#include "image/declared_functions.h"
#include "app/main/main_window.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {

FolderList* folderList = nullptr;
rt::Text modeLabel = nullptr;
HANDLE processHeap = nullptr;

namespace {

void InitializeModules() { processHeap = dll::GetProcessHeap(); }

// The handlers' offsets from the code base are known only once the program
// runs, so the block (297 bytes) is written once, before the header that
// points at it is handed to the kernel.
const std::vector<uint8_t>& TemplateBlock() {
  static const std::vector<uint8_t> block = rt::WriteTemplateBlock(MainWindowTemplates(reinterpret_cast<const void*>(&ProgramEntry)));
  return block;
}

void StartProgram() {
  rt::program::InitializeRuntime();
  _fpreset();
  folderList = new FolderList(&folderList);
  rt::program::SetExitRoutine(ProgramExit);
  InitializeModules();
}

}  // namespace

int ProgramEntry() {
  StartProgram();
  // A command runs without a window and ends the process with its code.
  const CommandLine line = ParseCommandLine(ProgramArguments());
  const bool alone = ClaimProgramDirectory();
  if (line.mode != CommandLine::Mode::kWindow) rt::program::EndProgram(RunCommand(line, alone));
  if (!alone) {
    TellAnotherIsRunning();
    rt::program::EndProgram(kExitAnotherRunning);
  }
  if (!ConfirmOtherAccount()) rt::program::EndProgram(kExitOtherAccount);
  ExplainInterruptedMoveAtStart();
  rt::program::LoadStartupWindow(kMainWindowId);
  rt::program::RunMessageLoop();
  return 0;
}

int ConsoleEntry() {
  StartProgram();
  CommandLine line = ParseCommandLine(ProgramArguments());
  if (line.mode == CommandLine::Mode::kWindow) {
    line.mode = CommandLine::Mode::kBadArguments;
    line.problem = "KorvalinCmd.exe runs the commands below; Korvalin.exe shows the window";
  }
  rt::program::EndProgram(RunCommand(line, ClaimProgramDirectory()));
}

void ProgramExit() {
  if (folderList) {
    folderList->destroy();
    delete folderList;
    folderList = nullptr;
  }
  if (modeLabel) {
    rt::program::Free(modeLabel);
    modeLabel = nullptr;
  }
}

const rt::ProgramImageHeader& ProgramHeader() {
  static const rt::LibraryInfo* const libraries[] = {&rt::RuntimeLibraryInfo()};
  static const rt::ProgramImageHeader header = {
      3,
      0,
      0x109E0,
      reinterpret_cast<const void*>(&ProgramEntry),
      &kConstants,
      sizeof kConstants,
      TemplateBlock().data(),
      static_cast<uint32_t>(TemplateBlock().size()),
      1,
      libraries,
      dll::kDeclaredFunctionCount,
      dll::kLibraryNames,
      dll::kFunctionNames,
  };
  return header;
}

}  // namespace korvalin
