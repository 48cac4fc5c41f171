#include "app/session/single_instance.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/dialogs/task_dialog.h"
#include "image/declared_functions.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// A kernel object's name holds no backslash: the directory goes in as a
// hash of its spelling, letters folded.
std::string MutexName() {
  rt::OwnedText directory(rt::cmd::GetRunDirectory());
  uint64_t hash = 14695981039346656037ull;
  for (const char* c = rt::TextOf(directory); *c; ++c) {
    char folded = (*c >= 'a' && *c <= 'z') ? static_cast<char>(*c - 'a' + 'A') : (*c == '/' ? '\\' : *c);
    hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Local\\Korvalin-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

bool ClaimProgramDirectory() {
  // Kept open until the process ends, which releases it.
  HANDLE claim = dll::CreateMutexA(nullptr, FALSE, MutexName().c_str());
  // Where none can be made nothing can be told; the program runs.
  return !claim || dll::GetLastError() != ERROR_ALREADY_EXISTS;
}

void TellAnotherIsRunning() {
  ShowTaskDialog(nullptr, "Korvalin " KORVALIN_VERSION, "Korvalin 正在运行",
                 "从同一目录启动的另一个 Korvalin 正在运行（可能正在迁移文件）。请等它结束后再启动。", kButtonsClose,
                 IconOrdinal(7));
}

}  // namespace korvalin
