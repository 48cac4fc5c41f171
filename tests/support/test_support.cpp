#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "runtime/interface/startup.h"

namespace korvalin::test {
namespace {

std::map<std::string, Scenario>& Scenarios() {
  static std::map<std::string, Scenario> scenarios;
  return scenarios;
}

struct PlainConstants {
  rt::program::ConstantBlockPrefix prefix;
};
const PlainConstants kPlainConstants = {{rt::KernelHelperTable(), {0, 0, 0, 0}, {1, 0}}};

}  // namespace

bool RegisterScenario(const char* name, Scenario scenario) {
  Scenarios()[name] = scenario;
  return true;
}

std::string ThisProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

std::string ThisProgramDirectory() {
  std::string path = ThisProgramPath();
  return path.substr(0, path.rfind('\\'));
}

std::string WithShortLastPart(const std::string& path) {
  char shortName[MAX_PATH] = {};
  if (!GetShortPathNameA(path.c_str(), shortName, MAX_PATH)) return std::string();
  const std::string shortPath = shortName;
  return path.substr(0, path.rfind('\\')) + shortPath.substr(shortPath.rfind('\\'));
}

namespace {

// Errors that say the program or its directory is wrong, not that Wine
// failed to get it going.
bool IsLastingStartError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT ||
         error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_PARAMETER;
}

}  // namespace

HANDLE StartProcess(const std::string& program, const std::string& tail, const char* workingDirectory,
                    StandardHandles handles) {
  std::string commandLine = "\"" + program + "\"";
  if (!tail.empty()) commandLine += " " + tail;
  for (int attempt = 0;; ++attempt) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (handles == StandardHandles::kNul) {
      SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
      nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                        nullptr);
      si.dwFlags = STARTF_USESTDHANDLES;
      si.hStdInput = si.hStdOutput = si.hStdError = nul;
    }
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, nul != INVALID_HANDLE_VALUE, 0,
                                        nullptr, workingDirectory, &si, &pi);
    const DWORD startError = GetLastError();
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (started) {
      CloseHandle(pi.hThread);
      return pi.hProcess;
    }
    // A case sees only a null handle; this says why. A start Wine failed
    // (seen once on a loaded host) is made once more, and said, as the test
    // wrapper does with a whole test program.
    if (attempt > 0 || IsLastingStartError(startError)) {
      std::fprintf(stderr, "StartProcess: could not start %s: error %lu\n", commandLine.c_str(), startError);
      SetLastError(startError);
      return nullptr;
    }
    std::fprintf(stderr, "StartProcess: Wine did not start %s (error %lu); starting it once more\n",
                 commandLine.c_str(), startError);
    Sleep(300);
  }
}

DWORD RunCaptured(const std::string& commandLine, std::string* output, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  // A run that could not be made says why in place of the output.
  auto failed = [output](const char* what) {
    if (output) *output = std::string(what) + " failed, error " + std::to_string(GetLastError());
    return ~0u;
  };
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return failed("CreatePipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  BOOL started =
      CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  const DWORD startError = GetLastError();
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    SetLastError(startError);
    return failed("CreateProcess");
  }
  CloseHandle(pi.hThread);
  // Polled, not read to the end: a process it starts may hold the pipe open
  // long after it has ended.
  std::string text;
  bool ended = false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) available = 0;
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (ReadFile(readEnd, chunk.data(), available, &got, nullptr)) text.append(chunk, 0, got);
      continue;
    }
    if (ended) break;
    ended = WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0;
  }
  CloseHandle(readEnd);
  if (!ended) text += "\r\n[the process outlived " + std::to_string(timeoutMs) + " ms and was ended]";
  if (output) *output = text;
  return FinishProcess(pi.hProcess, ended ? 0 : 1);
}

DWORD RunProcess(const std::string& program, const std::string& tail, DWORD timeoutMs,
                 const char* workingDirectory) {
  HANDLE process = StartProcess(program, tail, workingDirectory);
  if (!process) return ~0u - 1;
  return FinishProcess(process, timeoutMs);
}

DWORD FinishProcess(HANDLE process, DWORD timeoutMs) {
  if (!process) return ~0u - 1;
  DWORD code = ~0u;
  if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &code);
  } else {
    // Nothing may outlive its test.
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
  }
  CloseHandle(process);
  return code;
}

ProgramRun::ProgramRun(const std::string& program, const std::string& arguments, const char* windowClass,
                       const char* workingDirectory) {
  process_ = StartProcess(program, arguments, workingDirectory);
  if (!process_) return;
  processId_ = GetProcessId(process_);
  window_ = WaitForProcessWindow(processId_, windowClass, nullptr);
}

ProgramRun::~ProgramRun() {
  if (process_) FinishProcess(process_, 0);
}

DWORD ProgramRun::Close(DWORD timeoutMs) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  DWORD code = FinishProcess(process_, timeoutMs);
  process_ = nullptr;
  return code;
}

ChildError AwaitChildError(HANDLE child, DWORD timeoutMs) {
  ChildError error;
  if (!child) return error;
  error.shown = DismissProcessErrorBox(GetProcessId(child), &error.text, timeoutMs);
  error.exitCode = FinishProcess(child);
  return error;
}

HANDLE StartChild(const std::string& scenario, const std::string& extra, const char* workingDirectory) {
  std::string tail = "--child=" + scenario;
  if (!extra.empty()) tail += " " + extra;
  return StartProcess(ThisProgramPath(), tail, workingDirectory);
}

DWORD RunChild(const std::string& scenario, const std::string& extra, DWORD timeoutMs,
               const char* workingDirectory) {
  std::string tail = "--child=" + scenario;
  if (!extra.empty()) tail += " " + extra;
  return RunProcess(ThisProgramPath(), tail, timeoutMs, workingDirectory);
}

namespace {

struct WindowQuery {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM lParam) {
  auto* q = reinterpret_cast<WindowQuery*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != q->processId) return TRUE;
  char text[512] = {};
  if (q->className) {
    GetClassNameA(window, text, sizeof text);
    if (std::strcmp(text, q->className) != 0) return TRUE;
  }
  if (q->title) {
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(text, q->title) != 0) return TRUE;
  }
  q->found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
  WindowQuery q = {processId, className, title, nullptr};
  EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (HWND hwnd = FindProcessWindow(processId, className, title)) return hwnd;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool DismissProcessErrorBox(DWORD processId, std::string* text, DWORD timeoutMs) {
  HWND box = WaitForProcessWindow(processId, "#32770", "错误", timeoutMs);
  if (!box) return false;
  if (text) {
    char buffer[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
    *text = buffer;
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return true;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool IsExitMinusOne(DWORD code) { return code == 0xFFFFFFFFu || code == 255; }

bool BadPointerFaultsAreEmulated() {
  char how[16] = "";
  DWORD length = GetEnvironmentVariableA("KORVALIN_WINE32", how, sizeof how);
  return sizeof(void*) == 4 && length > 0 && length < sizeof how && std::strcmp(how, "emulated") == 0;
}

ImageParts PlainImageParts() { return {.constants = &kPlainConstants, .constantsSize = sizeof kPlainConstants}; }

const rt::ProgramImageHeader& PlainTestImage() {
  static const rt::ProgramImageHeader& header = BuildTestImage(PlainImageParts());
  return header;
}

void StartRuntime(const rt::ProgramImageHeader& image) {
  rt::AttachProgramImage(&image);
  rt::program::InitializeRuntime();
}

int TestMain(int argc, char** argv, const rt::ProgramImageHeader& image) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--child=", 8) != 0) continue;
    auto found = Scenarios().find(argv[i] + 8);
    if (found == Scenarios().end()) return 97;
    return found->second(argc, argv);
  }
  // Unbuffered, so that a run the process did not finish still shows how
  // far it got, and a run with no output at all never began.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  testing::InitGoogleTest(&argc, argv);
  StartRuntime(image);
  const int result = RUN_ALL_TESTS();
  RemoveTempDirectories();
  return result;
}

}  // namespace korvalin::test
