// One timed start of a program from the start-up driver: process start to
// a painted window (Korvalin: its folder rows painted), the private memory
// at that moment, then WM_CLOSE to process exit.
#pragma once

#include <windows.h>

#include <string>

namespace korvalin::bench {

struct StartupRun {
  double toPainted = -1;  // seconds
  double privateBytes = -1;
  double toExit = -1;  // seconds
  DWORD exitCode = 0;
  bool sawPending = false;  // the rows were seen counted with their paint still to come
  std::string failure;      // empty for a run that went to its end
};

// What a run waits for: the main window of `windowClass`; with listRows >= 0
// also its list box holding that many rows.
struct PaintedWindow {
  const char* windowClass;
  long listRows;
};

StartupRun TimeStart(const std::string& program, const std::string& directory, const std::string& arguments,
                     const PaintedWindow& wanted);

// Process start to exit of a program that ends by itself; -1 on failure.
double TimeToExit(const std::string& program, const std::string& arguments);

}  // namespace korvalin::bench
