// The command line: the window (no arguments, or one holding "reset" for
// the recovery-mode question), or a command run without a window:
//   /list [/json]
//   /move NAME DIR [/files [/replace] [/clear]] [/restart-shell]
//   /restore NAME [/files [/replace] [/clear]] [/restart-shell]
//   /apply FILE [/restart-shell]
// each with an optional /log FILE, and the moves with /as-this-account.
// Options start with / or -, in any case.
#pragma once

#include <string>
#include <vector>

namespace korvalin {

struct CommandLine {
  enum class Mode { kWindow, kList, kMove, kRestore, kApply, kBadArguments };
  Mode mode = Mode::kWindow;
  std::string name;       // the rule's registry value name
  std::string directory;  // /move's new directory
  std::string layoutFile;  // /apply's layout
  std::string logFile;
  bool files = false;         // copy the files with the folder
  bool replace = false;       // files of the same name at DIR may be replaced
  bool clear = false;         // empty the old directory after a verified copy
  bool restartShell = false;  // restart the shell once the folder is switched
  bool json = false;          // /list as JSON
  // Act for this process's account even where it is not the desktop's user.
  bool asThisAccount = false;
  std::string problem;        // what is wrong, for kBadArguments
};

// Arguments without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The process's arguments as the runtime splits them.
std::vector<std::string> ProgramArguments();

// The short usage text, lines joined with CR LF.
const char* UsageText();

}  // namespace korvalin
