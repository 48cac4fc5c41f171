#include "migrate/long_path.h"

#include <vector>

#include "encoding/wide_text.h"
#include "image/declared_functions.h"

namespace korvalin {
namespace {

constexpr wchar_t kPrefix[] = L"\\\\?\\";
constexpr wchar_t kSharePrefix[] = L"\\\\?\\UNC\\";
// The platform's limit for a path, prefix and all.
constexpr DWORD kMaxPath = 32768;

bool StartsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

// The length of the root: "\\?\C:\" or "\\?\UNC\server\share".
size_t RootLength(const std::wstring& path) {
  if (StartsWith(path, kSharePrefix)) {
    size_t server = path.find(L'\\', 8);
    if (server == std::wstring::npos) return path.size();
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share;
  }
  if (StartsWith(path, kPrefix)) return path.size() >= 7 ? 7 : path.size();
  return 0;
}

}  // namespace

std::wstring EnginePath(const std::string& folder) { return EnginePath(WideFromText(folder)); }

std::wstring EnginePath(const std::wstring& folder) {
  if (folder.empty()) return std::wstring();
  if (StartsWith(folder, kPrefix)) return folder;
  std::vector<wchar_t> buffer(kMaxPath);
  const DWORD length = dll::GetFullPathNameW(folder.c_str(), kMaxPath, buffer.data(), nullptr);
  if (length == 0 || length >= kMaxPath) return std::wstring();
  std::wstring full(buffer.data(), length);
  // A drive root keeps its backslash; nothing else ends in one.
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return std::wstring();
  if (StartsWith(full, L"\\\\")) return kSharePrefix + full.substr(2);
  return kPrefix + full;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative) {
  if (relative.empty()) return folder;
  if (folder.empty()) return relative;
  if (!folder.empty() && folder.back() == L'\\') return folder + relative;
  return folder + L"\\" + relative;
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t root = RootLength(path);
  if (root == 0 || path.size() <= root) return std::wstring();
  const size_t cut = path.rfind(L'\\');
  if (cut == std::wstring::npos) return std::wstring();
  // A drive's root keeps its backslash: \\?\C:\a goes to \\?\C:\.
  return path.substr(0, cut + 1 == root ? root : cut);
}

std::wstring RootOf(const std::wstring& path) { return path.substr(0, RootLength(path)); }

std::wstring LastPart(const std::wstring& path) {
  const size_t cut = path.rfind(L'\\');
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring WithoutPrefix(const std::wstring& path) {
  if (StartsWith(path, kSharePrefix)) return L"\\\\" + path.substr(8);
  if (StartsWith(path, kPrefix)) return path.substr(4);
  return path;
}

std::wstring NameKey(std::wstring name) {
  if (!name.empty()) dll::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

bool IsSameOrBelow(const std::wstring& inner, const std::wstring& outer) {
  if (inner.empty() || outer.empty()) return false;
  const std::wstring a = NameKey(inner), b = NameKey(outer);
  if (a == b) return true;
  const std::wstring withSeparator = b.back() == L'\\' ? b : b + L'\\';
  return a.compare(0, withSeparator.size(), withSeparator) == 0;
}

std::wstring FinalPathOf(HANDLE file) {
  std::vector<wchar_t> buffer(kMaxPath);
  const DWORD length =
      dll::GetFinalPathNameByHandleW(file, buffer.data(), kMaxPath, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= kMaxPath) return std::wstring();
  std::wstring path(buffer.data(), length);
  return StartsWith(path, kPrefix) ? path : EnginePath(path);
}

std::wstring ObjectNameOf(HANDLE file) {
  // OBJECT_NAME_INFORMATION: a counted string, its characters after it.
  struct CountedName {
    USHORT length;
    USHORT capacity;
    PWSTR characters;
  };
  constexpr int kObjectNameInformation = 1;
  std::vector<int64_t> buffer((sizeof(CountedName) + kMaxPath * sizeof(wchar_t)) / sizeof(int64_t) + 1);
  ULONG returned = 0;
  if (dll::NtQueryObject(file, kObjectNameInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size() * sizeof(int64_t)), &returned) != 0)
    return std::wstring();
  const auto* name = reinterpret_cast<const CountedName*>(buffer.data());
  return name->characters ? std::wstring(name->characters, name->length / sizeof(wchar_t)) : std::wstring();
}

std::wstring DeepestExisting(const std::wstring& path) {
  for (std::wstring at = path; !at.empty(); at = ParentOf(at))
    if (dll::GetFileAttributesW(at.c_str()) != INVALID_FILE_ATTRIBUTES) return at;
  return std::wstring();
}

}  // namespace korvalin
