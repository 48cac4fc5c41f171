// Where the command line's lines go: the console the program was started
// from (or the output its parent redirected) and, when asked, a UTF-8 log
// file. A program started elevated from a console that is not gets no
// console: the log is the dependable record.
#pragma once

#include <windows.h>

#include <string>

namespace korvalin {

class CommandOutput {
 public:
  CommandOutput();
  ~CommandOutput();
  CommandOutput(const CommandOutput&) = delete;
  CommandOutput& operator=(const CommandOutput&) = delete;

  // Opens the log file to add to its end (creating it when missing; an
  // existing file is never emptied), with every line written so far;
  // false when it cannot be written.
  bool openLog(const std::string& path);
  // True when lines reach a console or redirected output.
  bool reachesConsole() const { return out_ != nullptr; }
  // One line of code-page-936 text.
  void line(const std::string& text);

 private:
  void write(HANDLE handle, bool console, const std::string& text);

  HANDLE out_ = nullptr;
  bool outIsConsole_ = false;
  bool ownsOut_ = false;
  HANDLE log_ = nullptr;
  std::string beforeLog_;  // the lines written before the log was opened
};

}  // namespace korvalin
