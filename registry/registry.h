// Single registry values named by a root code and a value path, read and
// written in the 64-bit view with WOW64 redirection and reflection switched
// off on a 64-bit system. Failures come back as results only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "registry/wow64_guards.h"
#include "runtime/values/value.h"

namespace korvalin {

// 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_CONFIG, 3 HKEY_CURRENT_USER,
// 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS; anything else is runtime error 9.
HKEY RootKeyFromCode(int32_t rootCode);

// A value path split into its key path and value name. Owns both texts.
struct ValuePath {
  rt::Text keyPath = nullptr;
  rt::Text valueName = nullptr;  // empty for the default value
  bool defaultValue = false;

  ValuePath() = default;
  ValuePath(ValuePath&& other) noexcept;
  ValuePath& operator=(ValuePath&& other) noexcept;
  ValuePath(const ValuePath&) = delete;
  ValuePath& operator=(const ValuePath&) = delete;
  ~ValuePath();

  // What the registry calls take: "" for an empty key path, null for the
  // default value.
  const char* keyPathArg() const { return keyPath ? keyPath : ""; }
  const char* valueNameArg() const { return defaultValue ? nullptr : valueName; }
};

// Splits at the last backslash, stepping over double-byte characters. A
// trailing backslash, or none at all, addresses the default value of the key
// that the whole text names.
ValuePath SplitValuePath(const char* valuePath);

// The value's bytes as stored, as a new Byte-set value; null (empty) on any
// failure or for a value of zero bytes. Never creates a key. With `type`,
// the value's type too.
void* ReadRegistryValue(int32_t rootCode, const char* valuePath, DWORD* type = nullptr);

// The value's bytes up to the first NUL as a new text; null (empty) on any
// failure.
rt::Text ReadRegistryText(int32_t rootCode, const char* valuePath);

// Stores the bytes with one NUL appended, creating the key when missing.
// True only if RegSetValueExA succeeded; with `status`, the status of the
// call that failed (ERROR_ACCESS_DENIED for an account without the right).
bool WriteRegistryValue(int32_t rootCode, const char* keyPath, const char* valueName, const void* bytes,
                        int32_t length, DWORD type = REG_SZ, LONG* status = nullptr);

// Splits the value path and writes; pass a text's bytes without terminator,
// so the stored value ends in exactly one NUL.
bool WriteRegistryText(int32_t rootCode, const char* valuePath, const void* bytes, int32_t length,
                       DWORD type = REG_SZ, LONG* status = nullptr);

// Writes the key that holds the value to the disk now; false when it
// cannot be opened or flushed.
bool FlushRegistryKey(int32_t rootCode, const char* valuePath);

// Expands %NAME% references in a 256-character buffer. When the expansion
// fits, the caller's text is replaced by it; otherwise it stays as it was.
// Returns a new text the caller frees (a copy of the outcome); empty for an
// absent text.
rt::Text ExpandEnvironmentText(rt::Text& text);

// ReadRegistryText with the references expanded: a folder's place as the
// program uses it. Empty on any failure.
std::string ReadExpandedRegistryText(int32_t rootCode, const char* valuePath);

// Many values read from one key, as ReadExpandedRegistryText reads each:
// the key is opened once, and the 64-bit guards stay in place while it is
// open, so a long rule set costs one open per key.
class RegistryKeyReader {
 public:
  RegistryKeyReader(int32_t rootCode, const char* keyPath);
  ~RegistryKeyReader();
  RegistryKeyReader(const RegistryKeyReader&) = delete;
  RegistryKeyReader& operator=(const RegistryKeyReader&) = delete;
  // Null for the key's default value.
  std::string readExpanded(const char* valueName);

 private:
  struct Open;
  std::unique_ptr<Open> open_;
};

}  // namespace korvalin
