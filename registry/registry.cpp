#include "registry/registry.h"

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "image/declared_functions.h"
#include "runtime/values/code_page_characters.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr REGSAM kRead64 = KEY_QUERY_VALUE | KEY_WOW64_64KEY;        // 0x101
constexpr REGSAM kRead32 = KEY_READ;                                 // 0x20019
constexpr REGSAM kWrite64 = KEY_READ | KEY_WRITE | KEY_WOW64_64KEY;  // 0x20019|0x20006|0x100
constexpr REGSAM kWrite32 = KEY_READ | KEY_WRITE;
constexpr UINT kExpandBufferChars = 256;

// A key opened inside one read or write, closed when the call leaves.
class OwnedKey {
 public:
  OwnedKey() = default;
  ~OwnedKey() {
    if (key_) dll::RegCloseKey(key_);
  }
  OwnedKey(const OwnedKey&) = delete;
  OwnedKey& operator=(const OwnedKey&) = delete;

  // Where the opening call stores the handle.
  PHKEY receive() { return &key_; }
  // Keeps the handle only on success: a failed call's out value is not ours.
  bool accept(LONG status) {
    if (status != ERROR_SUCCESS) key_ = nullptr;
    return key_ != nullptr;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Two-call size query. The second call's outcome is checked: a value that
// changed in between must not come back as zero filler or with a stale size.
void* QueryValueBytes(HKEY key, const char* valueName, DWORD* type) {
  DWORD size = 0;
  if (dll::RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return nullptr;
  if (size == 0 || size > static_cast<DWORD>(INT32_MAX - 16)) return nullptr;
  rt::OwnedBlock bytes(rt::NewZeroByteSet(static_cast<int32_t>(size)));
  DWORD read = size;
  if (dll::RegQueryValueExA(key, valueName, nullptr, type, rt::ByteSetData(bytes.get()), &read) != ERROR_SUCCESS)
    return nullptr;
  if (read == 0) return nullptr;
  if (read < size) static_cast<rt::ByteSetHeader*>(bytes.get())->length = static_cast<int32_t>(read);
  return bytes.release();
}

// A rule load reads thousands of values and each call is a server round
// trip under Wine, so the reader tries one call with room for any path first.
void* QueryValueBytesOnce(HKEY key, const char* valueName) {
  BYTE buffer[1024];
  DWORD read = sizeof buffer;
  const LONG status = dll::RegQueryValueExA(key, valueName, nullptr, nullptr, buffer, &read);
  if (status == ERROR_MORE_DATA) return QueryValueBytes(key, valueName, nullptr);
  if (status != ERROR_SUCCESS || read == 0 || read > sizeof buffer) return nullptr;
  void* bytes = rt::NewZeroByteSet(static_cast<int32_t>(read));
  std::memcpy(rt::ByteSetData(bytes), buffer, read);
  return bytes;
}

rt::Text Substring(const char* text, size_t from, size_t count) {
  return rt::CopyText(std::string_view(text + from, count));
}

// The value's bytes up to the first NUL, references expanded.
std::string ExpandedText(const void* bytes) {
  const auto* data = reinterpret_cast<const char*>(rt::ByteSetData(bytes));
  const size_t length = static_cast<size_t>(rt::ByteSetLength(bytes));
  if (!data || length == 0) return std::string();
  const void* nul = std::memchr(data, '\0', length);
  rt::Text stored = rt::CopyText(std::string_view(data, nul ? static_cast<const char*>(nul) - data : length));
  rt::Text expanded = ExpandEnvironmentText(stored);
  std::string text = expanded ? expanded : "";
  rt::program::Free(expanded);
  rt::program::Free(stored);
  return text;
}

}  // namespace

ValuePath::ValuePath(ValuePath&& other) noexcept
    : keyPath(other.keyPath), valueName(other.valueName), defaultValue(other.defaultValue) {
  other.keyPath = nullptr;
  other.valueName = nullptr;
}

ValuePath& ValuePath::operator=(ValuePath&& other) noexcept {
  if (this != &other) {
    rt::program::Free(keyPath);
    rt::program::Free(valueName);
    keyPath = other.keyPath;
    valueName = other.valueName;
    defaultValue = other.defaultValue;
    other.keyPath = nullptr;
    other.valueName = nullptr;
  }
  return *this;
}

ValuePath::~ValuePath() {
  rt::program::Free(keyPath);
  rt::program::Free(valueName);
}

HKEY RootKeyFromCode(int32_t rootCode) {
  switch (rootCode) {
    case 1: return HKEY_CLASSES_ROOT;
    case 2: return HKEY_CURRENT_CONFIG;
    case 3: return HKEY_CURRENT_USER;
    case 4: return HKEY_LOCAL_MACHINE;
    case 5: return HKEY_USERS;
    default: rt::program::RaiseRuntimeError(9);
  }
}

ValuePath SplitValuePath(const char* valuePath) {
  ValuePath parts;
  const size_t length = static_cast<size_t>(rt::TextLength(valuePath));
  // A trail byte 0x5C is part of its character, also when that character
  // ends the text.
  const size_t found = rt::LastSeparator(std::string_view(valuePath ? valuePath : "", length));
  const size_t separator = found == std::string_view::npos ? length : found;
  if (separator == length || separator + 1 == length) {
    parts.keyPath = rt::CopyText(valuePath);
    parts.defaultValue = true;
  } else {
    parts.keyPath = Substring(valuePath, 0, separator);
    parts.valueName = Substring(valuePath, separator + 1, length - separator - 1);
  }
  return parts;
}

void* ReadRegistryValue(int32_t rootCode, const char* valuePath, DWORD* type) {
  const HKEY root = RootKeyFromCode(rootCode);
  const ValuePath path = SplitValuePath(valuePath);
  const bool native64 = IsNative64Bit();
  FsRedirectionOff redirection(native64);
  if (!redirection.ok()) return nullptr;
  OwnedKey key;
  if (!key.accept(dll::RegOpenKeyExA(root, path.keyPathArg(), 0, native64 ? kRead64 : kRead32, key.receive())))
    return nullptr;
  KeyReflectionOff reflection(key.get(), native64);
  return QueryValueBytes(key.get(), path.valueNameArg(), type);
}

rt::Text ReadRegistryText(int32_t rootCode, const char* valuePath) {
  rt::OwnedBlock bytes(ReadRegistryValue(rootCode, valuePath));
  const auto* data = reinterpret_cast<const char*>(rt::ByteSetData(bytes.get()));
  const size_t length = static_cast<size_t>(rt::ByteSetLength(bytes.get()));
  if (!data) return nullptr;
  const void* nul = std::memchr(data, '\0', length);
  return rt::CopyText(std::string_view(data, nul ? static_cast<const char*>(nul) - data : length));
}

bool WriteRegistryValue(int32_t rootCode, const char* keyPath, const char* valueName, const void* bytes,
                        int32_t length, DWORD type, LONG* status) {
  const HKEY root = RootKeyFromCode(rootCode);
  const size_t count = bytes && length > 0 ? static_cast<size_t>(length) : 0;
  rt::OwnedBlock data(rt::program::Allocate(count + 1));
  if (count) std::memcpy(data.get(), bytes, count);
  static_cast<char*>(data.get())[count] = '\0';
  LONG ignored = ERROR_SUCCESS;
  LONG& result = status ? *status : ignored;

  const bool native64 = IsNative64Bit();
  FsRedirectionOff redirection(native64);
  result = ERROR_GEN_FAILURE;
  if (!redirection.ok()) return false;
  const REGSAM mask = native64 ? kWrite64 : kWrite32;
  OwnedKey rootHandle;
  if (!rootHandle.accept(result = dll::RegOpenKeyExA(root, "", 0, mask, rootHandle.receive()))) return false;
  OwnedKey key;
  DWORD disposition = 0;
  if (!key.accept(result = dll::RegCreateKeyExA(rootHandle.get(), keyPath ? keyPath : "", 0, nullptr,
                                                REG_OPTION_NON_VOLATILE, mask, nullptr, key.receive(), &disposition)))
    return false;
  KeyReflectionOff reflection(key.get(), native64);
  const char* name = valueName && *valueName ? valueName : nullptr;
  result = dll::RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data.get()),
                               static_cast<DWORD>(count + 1));
  return result == ERROR_SUCCESS;
}

bool WriteRegistryText(int32_t rootCode, const char* valuePath, const void* bytes, int32_t length, DWORD type,
                       LONG* status) {
  const ValuePath path = SplitValuePath(valuePath);
  return WriteRegistryValue(rootCode, path.keyPath, path.valueNameArg(), bytes, length, type, status);
}

bool FlushRegistryKey(int32_t rootCode, const char* valuePath) {
  const HKEY root = RootKeyFromCode(rootCode);
  const ValuePath path = SplitValuePath(valuePath);
  const bool native64 = IsNative64Bit();
  FsRedirectionOff redirection(native64);
  if (!redirection.ok()) return false;
  OwnedKey key;
  if (!key.accept(dll::RegOpenKeyExA(root, path.keyPathArg(), 0, native64 ? kRead64 : kRead32, key.receive())))
    return false;
  return dll::RegFlushKey(key.get()) == ERROR_SUCCESS;
}

rt::Text ExpandEnvironmentText(rt::Text& text) {
  const auto length = static_cast<size_t>(rt::TextLength(text));
  if (length == 0) return nullptr;
  // A text that does not fit the buffer cannot be expanded in it either.
  if (length < kExpandBufferChars) {
    char buffer[kExpandBufferChars] = {};
    std::memcpy(buffer, text, length);
    if (HIWORD(dll::DoEnvironmentSubstA(buffer, kExpandBufferChars))) {
      rt::Text expanded = rt::CopyText(std::string_view(buffer, strnlen(buffer, kExpandBufferChars)));
      rt::program::Free(text);
      text = expanded;
    }
  }
  return rt::CopyText(text);
}

std::string ReadExpandedRegistryText(int32_t rootCode, const char* valuePath) {
  rt::OwnedBlock bytes(ReadRegistryValue(rootCode, valuePath));
  return ExpandedText(bytes.get());
}

// Redirection is switched off around each call, as in a single read, so
// that several readers never nest its saved states; reflection stays off
// for the key while it is open.
struct RegistryKeyReader::Open {
  bool native64 = false;
  OwnedKey key;
  std::optional<KeyReflectionOff> reflection;
};

RegistryKeyReader::RegistryKeyReader(int32_t rootCode, const char* keyPath) : open_(std::make_unique<Open>()) {
  const HKEY root = RootKeyFromCode(rootCode);
  open_->native64 = IsNative64Bit();
  FsRedirectionOff redirection(open_->native64);
  if (!redirection.ok()) return;
  if (!open_->key.accept(dll::RegOpenKeyExA(root, keyPath ? keyPath : "", 0, open_->native64 ? kRead64 : kRead32,
                                            open_->key.receive())))
    return;
  open_->reflection.emplace(open_->key.get(), open_->native64);
}

RegistryKeyReader::~RegistryKeyReader() = default;

std::string RegistryKeyReader::readExpanded(const char* valueName) {
  if (!open_->key.get()) return std::string();
  FsRedirectionOff redirection(open_->native64);
  if (!redirection.ok()) return std::string();
  rt::OwnedBlock bytes(QueryValueBytesOnce(open_->key.get(), valueName));
  return ExpandedText(bytes.get());
}

}  // namespace korvalin
