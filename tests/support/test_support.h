// Shared pieces of the test programs: child processes, finding real windows,
// and a runtime started for in-process tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "runtime/interface/program_calls.h"
#include "runtime/interface/program_image.h"
#include "tests/support/test_image.h"

namespace korvalin::test {

// A scenario runs in a child process started by RunChild; its result is the
// child's exit code unless it ends the process itself.
using Scenario = int (*)(int argc, char** argv);
bool RegisterScenario(const char* name, Scenario scenario);

#define KORVALIN_SCENARIO(name)                                                          \
  static int name(int argc, char** argv);                                                \
  [[maybe_unused]] static const bool name##_registered =                                 \
      ::korvalin::test::RegisterScenario(#name, name);                                   \
  static int name([[maybe_unused]] int argc, [[maybe_unused]] char** argv)

// How a started process's standard handles are set: inherited from the
// test, or on NUL (a process that starts others that outlive the test, such
// as the restarted shell, must not hold the test's output open).
enum class StandardHandles { kInherited, kNul };

// Starts `program commandLineTail` and returns its process handle, or null.
HANDLE StartProcess(const std::string& program, const std::string& commandLineTail,
                    const char* workingDirectory = nullptr, StandardHandles handles = StandardHandles::kInherited);

// Runs a command line with its output and errors captured; the process is
// ended when it outlives the timeout. The exit code, ~0u when it was ended.
DWORD RunCaptured(const std::string& commandLine, std::string* output, DWORD timeoutMs = 30000);

// Runs `program commandLineTail` and returns its exit code; the process is
// ended and ~0u returned when it outlives the timeout.
DWORD RunProcess(const std::string& program, const std::string& commandLineTail, DWORD timeoutMs = 60000,
                 const char* workingDirectory = nullptr);

// Runs this test program again with --child=<scenario> and the extra arguments.
DWORD RunChild(const std::string& scenario, const std::string& extraArguments = "", DWORD timeoutMs = 60000,
               const char* workingDirectory = nullptr);

// Like RunChild, but returns at once; the caller waits on the handle and closes it.
HANDLE StartChild(const std::string& scenario, const std::string& extraArguments = "",
                  const char* workingDirectory = nullptr);

// A top-level window of the class and title (either may be null) among the
// windows of one process only; the Wait form polls for it.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title);
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs = 20000);
std::string WindowText(HWND window);

// Finds the runtime's error box of one process, reads its whole text and
// presses OK. Returns false when no box appeared.
bool DismissProcessErrorBox(DWORD processId, std::string* text, DWORD timeoutMs = 20000);

// Waits for a started process to end, ending it (and waiting again) when it
// outlives the timeout; closes the handle and returns the exit code, ~0u
// for a process that had to be ended.
DWORD FinishProcess(HANDLE process, DWORD timeoutMs = 30000);

// A program started for a test, its main window found by the process id.
// Whatever still runs when the test lets go of it is ended and waited for.
class ProgramRun {
 public:
  ProgramRun(const std::string& program, const std::string& arguments, const char* windowClass,
             const char* workingDirectory = nullptr);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  HANDLE process() const { return process_; }
  DWORD processId() const { return processId_; }
  HWND window() const { return window_; }
  // Closes the main window and returns the exit code.
  DWORD Close(DWORD timeoutMs = 30000);

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

// A child expected to end on a runtime error: its box is answered, then
// the child is finished as above.
struct ChildError {
  bool shown = false;
  std::string text;
  DWORD exitCode = 0;
};
ChildError AwaitChildError(HANDLE child, DWORD timeoutMs = 20000);

// Exit codes as a Windows parent sees them; -1 may also arrive as 255.
bool IsExitMinusOne(DWORD code);

// A 32-bit test program whose Wine loader runs under qemu-i386 (the test
// scripts say so in KORVALIN_WINE32): a read of an unmapped address arrives
// there as an illegal instruction, not as an access violation, so probes
// such as IsBadReadPtr cannot answer as Windows does.
bool BadPointerFaultsAreEmulated();
#define KORVALIN_SKIP_WHERE_BAD_POINTER_FAULTS_ARE_EMULATED()                                       \
  if (::korvalin::test::BadPointerFaultsAreEmulated())                                             \
  GTEST_SKIP() << "32-bit programs run under qemu-i386 here, which reports a bad-pointer fault as " \
                  "an illegal instruction"

std::string ThisProgramPath();
std::string ThisProgramDirectory();
// A fresh, empty directory under the temporary directory.
std::string MakeTempDirectory(const std::string& hint);
// Removes what MakeTempDirectory made in this process, with all it holds;
// links inside are removed, never followed.
void RemoveTempDirectories();

// `path` with its last part in its short (8.3) form; empty when there is
// none. Wine makes a short name from a hash of the long one, so in a
// directory of many entries, such as the shared temporary one, two names
// can share one: only the last part, in a directory of the test's own, is
// shortened.
std::string WithShortLastPart(const std::string& path);

// The image used by test programs that run no program of their own: the
// helper table, the runtime library, no declared functions, no windows.
ImageParts PlainImageParts();
const rt::ProgramImageHeader& PlainTestImage();

// Attaches the image and starts the runtime in this process.
void StartRuntime(const rt::ProgramImageHeader& image);

// main() of every test program: a child scenario when asked for, otherwise
// the runtime is started with the image and every test runs.
int TestMain(int argc, char** argv, const rt::ProgramImageHeader& image);

}  // namespace korvalin::test
