// The 64-bit guards around every registry access: the native-architecture
// test, WOW64 file-system redirection and registry reflection.
#pragma once

#include <windows.h>

namespace korvalin {

// The native processor is IA64 or AMD64. Asked afresh on every read and
// write; nothing is cached.
bool IsNative64Bit();

// File-system redirection of the calling thread. The functions are looked up
// by name at every use; a system without them cannot switch redirection off.
// In a 64-bit build there is none: switching it off succeeds at once.
bool DisableFsRedirection(PVOID* state);
void RevertFsRedirection(PVOID state);

// Registry reflection of one key; results ignored, the call skipped when the
// system does not export the function.
void DisableKeyReflection(HKEY key);
void EnableKeyReflection(HKEY key);

// Redirection off for one scope when `active`. ok() is false when it had to
// go off and could not; then nothing is reverted.
class FsRedirectionOff {
 public:
  explicit FsRedirectionOff(bool active) : active_(active) {
    if (active_) active_ = ok_ = DisableFsRedirection(&state_);
  }
  ~FsRedirectionOff() {
    if (active_) RevertFsRedirection(state_);
  }
  FsRedirectionOff(const FsRedirectionOff&) = delete;
  FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;
  bool ok() const { return ok_; }

 private:
  PVOID state_ = nullptr;
  bool active_;
  bool ok_ = true;
};

// Reflection of an open key off for one scope when `active`.
class KeyReflectionOff {
 public:
  KeyReflectionOff(HKEY key, bool active) : key_(active ? key : nullptr) {
    if (key_) DisableKeyReflection(key_);
  }
  ~KeyReflectionOff() {
    if (key_) EnableKeyReflection(key_);
  }
  KeyReflectionOff(const KeyReflectionOff&) = delete;
  KeyReflectionOff& operator=(const KeyReflectionOff&) = delete;

 private:
  HKEY key_;
};

}  // namespace korvalin
