#include "runtime/commands/library.h"

namespace rt {
namespace library {
namespace {

NotificationEntry kernelEntry = nullptr;

intptr_t Notify(int code, intptr_t arg1, intptr_t /*arg2*/) {
  if (code == 1) kernelEntry = reinterpret_cast<NotificationEntry>(arg1);
  if (code == 6) kernelEntry = nullptr;
  return 0;
}

const char* const kDataTypes[] = {"window", "ComObject", "Variant"};

}  // namespace

intptr_t Kernel(int code, intptr_t arg1, intptr_t arg2) {
  return kernelEntry ? kernelEntry(code, arg1, arg2) : 0;
}

}  // namespace library

const LibraryInfo& RuntimeLibraryInfo() {
  static const LibraryInfo info = {
      20000101,        "Korvalin runtime", "Values, texts, files, windows and automation for Korvalin",
      1,               0,                  library::Notify,
      library::kDataTypes, 3,              library::kCommands,
      library::kCommandCount,
  };
  return info;
}

}  // namespace rt
