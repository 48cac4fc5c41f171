// Lazy binding of the program's declared platform functions, by index.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "runtime/interface/declared_functions.h"
#include "runtime/kernel/kernel.h"
#include "runtime/kernel/runtime_error.h"

namespace rt::kernel {
namespace {

// GetProcAddress takes an ordinal as a number in place of the name. Ordinal
// 0 would be a null name: no export has it.
FARPROC LookUp(HMODULE module, const std::string& name) {
  if (!name.empty() && name[0] == '#') {
    auto ordinal = static_cast<WORD>(std::strtoul(name.c_str() + 1, nullptr, 10) & 0xFFFF);
    return ordinal ? GetProcAddress(module, MAKEINTRESOURCEA(ordinal)) : nullptr;
  }
  return GetProcAddress(module, name.c_str());
}

HMODULE LoadNamedLibrary(const std::string& library) {
  if (library.find(':') != std::string::npos) return LoadLibraryA(library.c_str());
  const State& s = Get();
  if (HMODULE m = LoadLibraryA((s.programDirectory + "\\" + library).c_str())) return m;
  if (HMODULE m = LoadLibraryA((s.moduleDirectory + library).c_str())) return m;
  return LoadLibraryA(library.c_str());
}

// Program code may call from more than one thread (the rule document is
// evaluated on a thread of its own): one binds at a time, and a bound
// address is published only once its module is recorded.
SRWLOCK bindingLock = SRWLOCK_INIT;

class BindingGuard {
 public:
  BindingGuard() { AcquireSRWLockExclusive(&bindingLock); }
  ~BindingGuard() { ReleaseSRWLockExclusive(&bindingLock); }
  BindingGuard(const BindingGuard&) = delete;
  BindingGuard& operator=(const BindingGuard&) = delete;
};

class LastErrorKept {
 public:
  LastErrorKept() : error_(GetLastError()) {}
  ~LastErrorKept() { SetLastError(error_); }
  LastErrorKept(const LastErrorKept&) = delete;
  LastErrorKept& operator=(const LastErrorKept&) = delete;

 private:
  DWORD error_;
};

void* BoundAddress(State& s, int index) {
  return std::atomic_ref<void*>(s.boundAddresses[index]).load(std::memory_order_acquire);
}

[[noreturn]] void BindingFailed(const std::string& library, const std::string& function) {
  std::string message = library.empty() ? "无法找到指定DLL库文件中的输出命令“" + function + "”"
                                        : "无法找到指定DLL库文件“" + library + "”中的输出命令“" + function + "”";
  ReportRuntimeError(message.c_str(), 0);
}

}  // namespace

void PrepareDeclaredFunctions(uint32_t count, const char* const* libraries, const char* const* functions) {
  State& s = Get();
  s.libraryNames.assign(count, std::string());
  s.functionNames.assign(count, std::string());
  s.boundAddresses.assign(count, nullptr);
  s.boundModules.assign(count, nullptr);
  for (uint32_t i = 0; i < count; ++i) {
    s.libraryNames[i] = libraries[i] ? libraries[i] : "";
    s.functionNames[i] = functions[i] ? functions[i] : "";
  }
}

void* BindDeclaredFunction(int index) {
  State& s = Get();
  // An index outside the table names no function at all.
  if (index < 0 || static_cast<size_t>(index) >= s.boundAddresses.size()) BindingFailed("", "");
  if (void* bound = BoundAddress(s, index)) return bound;
  // The loads below that miss set the thread's last error; the program may
  // be about to read the one its previous call left (GetLastError itself
  // binds on its first call).
  LastErrorKept kept;
  BindingGuard guard;
  if (void* bound = BoundAddress(s, index)) return bound;
  const std::string& name = s.functionNames[index];
  const std::string& library = s.libraryNames[index];
  HMODULE module = nullptr;
  FARPROC address = nullptr;
  if (library.empty()) {
    for (const char* candidate :
         {"Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll"}) {
      module = LoadLibraryA(candidate);
      if (!module) continue;
      address = LookUp(module, name);
      if (address) break;
      FreeLibrary(module);
      module = nullptr;
    }
  } else if ((module = LoadNamedLibrary(library))) {
    address = LookUp(module, name);
  }
  if (!address) {
    if (module) FreeLibrary(module);
    BindingFailed(library, name);
  }
  s.boundModules[index] = module;
  std::atomic_ref<void*>(s.boundAddresses[index]).store(reinterpret_cast<void*>(address), std::memory_order_release);
  return reinterpret_cast<void*>(address);
}

void ReleaseDeclaredFunctions() {
  State& s = Get();
  for (HMODULE m : s.boundModules)
    if (m) FreeLibrary(m);
  s.boundModules.clear();
  s.boundAddresses.clear();
  s.libraryNames.clear();
  s.functionNames.clear();
}

}  // namespace rt::kernel
