#include "app/command/command_line.h"

#include "runtime/interface/command_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// Lower-cased ASCII with a leading - read as /; double-byte text is left
// alone, since no option holds any.
std::string OptionKey(const std::string& argument) {
  std::string key = argument;
  if (!key.empty() && key[0] == '-') key[0] = '/';
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

bool ContainsReset(const std::string& argument) {
  return rt::cmd::FindText(argument.c_str(), "reset", 0, true) != -1;
}

CommandLine Bad(std::string problem) {
  CommandLine line;
  line.mode = CommandLine::Mode::kBadArguments;
  line.problem = std::move(problem);
  return line;
}

// The options after a command's own arguments; false with line.problem set
// for one it does not take.
bool ReadOptions(const std::vector<std::string>& arguments, size_t from, CommandLine& line) {
  const bool moves = line.mode == CommandLine::Mode::kMove || line.mode == CommandLine::Mode::kRestore;
  const bool changes = moves || line.mode == CommandLine::Mode::kApply;
  for (size_t i = from; i < arguments.size(); ++i) {
    const std::string key = OptionKey(arguments[i]);
    if (key == "/log" && i + 1 < arguments.size() && line.logFile.empty()) {
      line.logFile = arguments[++i];
    } else if (line.mode == CommandLine::Mode::kList && key == "/json") {
      line.json = true;
    } else if (changes && key == "/as-this-account") {
      line.asThisAccount = true;
    } else if (changes && key == "/restart-shell") {
      line.restartShell = true;
    } else if (moves && key == "/files") {
      line.files = true;
    } else if (moves && key == "/clear") {
      line.clear = true;
    } else if (moves && key == "/replace") {
      line.replace = true;
    } else {
      line.problem = "unexpected argument: " + arguments[i];
      return false;
    }
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return CommandLine();
  const std::string verb = OptionKey(arguments[0]);
  CommandLine line;
  size_t positional = 0;
  if (verb == "/list") {
    line.mode = CommandLine::Mode::kList;
  } else if (verb == "/move") {
    line.mode = CommandLine::Mode::kMove;
    positional = 2;
  } else if (verb == "/restore") {
    line.mode = CommandLine::Mode::kRestore;
    positional = 1;
  } else if (verb == "/apply") {
    line.mode = CommandLine::Mode::kApply;
    positional = 1;
  } else {
    // The window's own argument: recovery mode is asked for on start-up.
    for (const std::string& argument : arguments)
      if (ContainsReset(argument)) return CommandLine();
    return Bad("unknown argument: " + arguments[0]);
  }
  if (arguments.size() < 1 + positional) return Bad(arguments[0] + ": missing arguments");
  for (size_t i = 1; i <= positional; ++i) {
    if (arguments[i].empty() || arguments[i][0] == '/') return Bad(arguments[0] + ": missing arguments");
  }
  if (line.mode == CommandLine::Mode::kApply) line.layoutFile = arguments[1];
  else if (positional >= 1) line.name = arguments[1];
  if (positional >= 2) line.directory = arguments[2];
  if (!ReadOptions(arguments, 1 + positional, line)) return Bad(line.problem);
  // Without the files nothing is copied, so nothing may be emptied or
  // replaced: a script that asks for it has a mistake in it.
  if ((line.clear || line.replace) && !line.files) return Bad(arguments[0] + ": /clear and /replace need /files");
  return line;
}

std::vector<std::string> ProgramArguments() {
  void* array = nullptr;
  rt::cmd::GetCommandLineArgs(&array);
  std::vector<std::string> arguments;
  const int64_t count = rt::ArrayElementCount(array);
  for (int64_t i = 1; i <= count; ++i) {
    const char* argument = rt::ArrayElements<rt::Text>(array)[rt::CheckSubscript(array, i)];
    arguments.emplace_back(argument ? argument : "");
  }
  rt::FreeArray(rt::kTagText, array);
  return arguments;
}

const char* UsageText() {
  return "Korvalin: moves shell folders to a directory of your choice.\r\n"
         "\r\n"
         "  Korvalin.exe                     the window\r\n"
         "  Korvalin.exe /reset              the window, offering recovery mode\r\n"
         "  Korvalin.exe /list [/json]        each rule: title, value name, current directory, valid or invalid\r\n"
         "  Korvalin.exe /move NAME DIR [/files [/replace] [/clear]] [/restart-shell]\r\n"
         "  Korvalin.exe /restore NAME [/files [/replace] [/clear]] [/restart-shell]\r\n"
         "  Korvalin.exe /apply LAYOUT.json [/restart-shell]   several folders, checked together first\r\n"
         "\r\n"
         "NAME is a rule's value name (Desktop, Personal, {374DE290-123F-4565-9164-39C4925E467B}).\r\n"
         "/files copies the files; /replace lets them replace files of the same name at DIR;\r\n"
         "/clear then empties the old directory once every file is verified and on the disk.\r\n"
         "/restart-shell restarts Explorer. /log FILE also appends everything to FILE (UTF-8);\r\n"
         "it may not lie in the folder's current or new directory. A folder already at DIR is done.\r\n"
         "Run as another account than the desktop's user, a move is refused unless /as-this-account.\r\n"
         "Exit codes: 0 done, 1 refused by a check (nothing changed), 2 bad arguments or unknown NAME,\r\n"
         "3 the copy failed (nothing switched), 4 the registry value could not be written (nothing\r\n"
         "switched), 5 another Korvalin runs from this directory (try again later), 6 done, but /clear\r\n"
         "left files in the old directory, 7 another account than the desktop's user (nothing changed),\r\n"
         "8 a step needs rights this account lacks (nothing switched).";
}

}  // namespace korvalin
