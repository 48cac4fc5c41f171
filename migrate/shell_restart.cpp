#include "migrate/shell_restart.h"

#include <windows.h>

#include "image/declared_functions.h"
#include "runtime/interface/command_calls.h"

namespace korvalin {
namespace {

constexpr int32_t kHiddenWindow = 1;
constexpr int32_t kPauseAfterKillMs = 600;

}  // namespace

void RestartShell() {
  // Not waited for beyond the idle wait: the pause below orders the two.
  rt::cmd::RunCommandLine("taskkill /im explorer.exe /f", false, kHiddenWindow);
  rt::cmd::Delay(kPauseAfterKillMs);
  char windows[MAX_PATH] = {};
  const char* directory = windows;
  if (dll::SHGetFolderPathA(nullptr, CSIDL_WINDOWS, nullptr, SHGFP_TYPE_DEFAULT, windows) != S_OK)
    directory = "C:\\WINDOWS";
  dll::ShellExecuteA(nullptr, "Open", "explorer.exe", "", directory, SW_SHOWNORMAL);
}

}  // namespace korvalin
