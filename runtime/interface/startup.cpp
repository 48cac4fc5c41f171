#include "runtime/interface/startup.h"

#include <windows.h>

#include <cfloat>

#include "runtime/values/code_page_characters.h"
#include "runtime/values/heap.h"
#include "runtime/interface/declared_functions.h"
#include "runtime/kernel/kernel.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/window_events.h"

namespace rt {
namespace {

constexpr UINT kEndProgramMessage = WM_APP + 0x3E7;  // 0x83E7
constexpr char kHiddenWindowClass[] = "KorvalinRuntimeHidden";

LRESULT CALLBACK HiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kEndProgramMessage) EndProgram(static_cast<int>(wParam));
  if (message == kernel::kDeferredActivationMessage) {
    kernel::DeliverDeferredActivation(static_cast<uint32_t>(wParam));
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateHiddenWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HiddenWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kHiddenWindowClass;
  RegisterClassA(&wc);
  return CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenWindowClass, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

std::string ModulePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

void SplitProgramPath(kernel::State& s) {
  std::string path = ModulePath();
  const size_t slash = LastSeparator(path);
  if (slash == std::string::npos) {
    s.programDirectory.clear();
    s.programFileName = path;
  } else {
    s.programDirectory = path.substr(0, slash);
    s.programFileName = path.substr(slash + 1);
  }
}

}  // namespace

void InitializeRuntime() {
  kernel::State& s = kernel::Get();
  s.shutdown = kernel::Shutdown;
  const ProgramImageHeader& h = *s.header;
  s.processHeap = GetProcessHeap();
  s.runMode = h.runMode;
  s.reserved = h.reserved;
  s.unitSerial = h.lastUnitSerial + 1;
  if (!s.oleInitialized) s.oleInitialized = SUCCEEDED(OleInitialize(nullptr));
  SplitProgramPath(s);
  SetCurrentDirectoryA(s.programDirectory.c_str());
  s.hiddenWindow = CreateHiddenWindow();
  s.guiThread = GetCurrentThreadId();
  if (h.constantBlockSize > 0) RegisterStaticRegion(h.constantBlock, h.constantBlockSize);
  if (h.declaredFunctionCount > 0)
    kernel::PrepareDeclaredFunctions(h.declaredFunctionCount, h.libraryNames, h.functionNames);
  for (uint32_t i = 0; i < h.libraryCount; ++i) {
    const LibraryInfo* library = h.libraries[i];
    s.libraries.push_back(library);
    if (library->notify) library->notify(1, reinterpret_cast<intptr_t>(&kernel::NotificationEntry), 0);
  }
  if (h.templateBlockSize > 0) kernel::LoadWindowTemplates(h.templateBlock, h.templateBlockSize, h.codeBase);
}

void SetExitRoutine(void (*routine)()) {
  kernel::Get().exitRoutine = routine;
  kernel::Get().shutdown = kernel::Shutdown;
}

void AddIdleHandler(HWND window, void (*routine)(intptr_t), intptr_t argument) {
  kernel::Get().idleHandlers.push_back({window, routine, argument});
}

namespace kernel {

void Shutdown(int exitCode) {
  State& s = Get();
  RaiseEventSuppression();
  if (s.guiThread != 0 && GetCurrentThreadId() != s.guiThread) {
    // Shut-down belongs to the GUI thread; hand it over and end here.
    SendMessageA(s.hiddenWindow, kEndProgramMessage, static_cast<WPARAM>(exitCode), 0);
    return;
  }
  if (InterlockedExchange(&s.shutdownBegun, 1)) return;
  s.idleHandlers.clear();
  DestroyAllLoadedWindows();
  if (void (*routine)() = s.exitRoutine) {
    s.exitRoutine = nullptr;
    routine();
  }
  for (const LibraryInfo* library : s.libraries)
    if (library->notify) library->notify(6, 0, 0);
  s.libraries.clear();
  ReleaseDeclaredFunctions();
  if (s.hiddenWindow) DestroyWindow(s.hiddenWindow);
  s.hiddenWindow = nullptr;
  if (s.oleInitialized) OleUninitialize();
  s.oleInitialized = false;
}

}  // namespace kernel

int RunApplication(const ProgramImageHeader* header, int (*entryRoutine)()) {
  AttachProgramImage(header);
  if (entryRoutine() != 0) RunMessageLoop();
  // The entry routine ran the loop itself; what remains is ExitInstance.
  kernel::Shutdown(0);
  return kernel::Get().quitCode;
}

}  // namespace rt

namespace rt {
const ProgramImageHeader* CurrentProgramImage() { return kernel::Get().header; }
}  // namespace rt

namespace rt {
void AttachProgramImage(const ProgramImageHeader* header) {
  kernel::SetProgramImage(header);
  kernel::Get().shutdown = kernel::Shutdown;
  std::string path = ModulePath();
  const size_t slash = LastSeparator(path);
  kernel::Get().moduleDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
}  // namespace rt
