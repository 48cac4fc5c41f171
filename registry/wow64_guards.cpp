#include "registry/wow64_guards.h"

#include <algorithm>
#include <cstring>

#include "image/declared_functions.h"

namespace korvalin {
namespace {

// 44 bytes covers the 32-bit SYSTEM_INFO; a 64-bit build writes 48, so the
// buffer is never smaller than the structure the call fills.
constexpr size_t kSystemInfoBytes = std::max<size_t>(44, sizeof(SYSTEM_INFO));

// Looked up at every use, never cached: the platform may not have it.
template <typename Function>
Function LookUp(const char* module, const char* name) {
  FARPROC found = dll::GetProcAddress(dll::GetModuleHandleGuardLookUp(module), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using RedirectionDisable = BOOL(WINAPI*)(PVOID*);
using RedirectionRevert = BOOL(WINAPI*)(PVOID);
using ReflectionSwitch = LONG(WINAPI*)(HKEY);

}  // namespace

bool IsNative64Bit() {
  alignas(SYSTEM_INFO) unsigned char info[kSystemInfoBytes] = {};
  dll::GetNativeSystemInfo(reinterpret_cast<LPSYSTEM_INFO>(info));
  uint32_t architecture;
  std::memcpy(&architecture, info, sizeof architecture);
  return architecture == PROCESSOR_ARCHITECTURE_IA64 || architecture == PROCESSOR_ARCHITECTURE_AMD64;
}

// A native 64-bit process has no redirection to switch off, and the platform
// refuses to switch it for such a process: that refusal must not fail every
// registry access of a 64-bit build.
bool DisableFsRedirection(PVOID* state) {
#if defined(_WIN64)
  *state = nullptr;
  return true;
#else
  auto disable = LookUp<RedirectionDisable>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  return disable && disable(state) != FALSE;
#endif
}

void RevertFsRedirection([[maybe_unused]] PVOID state) {
#if !defined(_WIN64)
  if (auto revert = LookUp<RedirectionRevert>("kernel32.dll", "Wow64RevertWow64FsRedirection")) revert(state);
#endif
}

void DisableKeyReflection(HKEY key) {
  if (auto disable = LookUp<ReflectionSwitch>("advapi32.dll", "RegDisableReflectionKey")) disable(key);
}

void EnableKeyReflection(HKEY key) {
  if (auto enable = LookUp<ReflectionSwitch>("advapi32.dll", "RegEnableReflectionKey")) enable(key);
}

}  // namespace korvalin
