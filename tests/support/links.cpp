#include "tests/support/links.h"

#include <windows.h>

#include <fstream>

#include "runtime/values/code_page_characters.h"

namespace korvalin::test {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitFor(const std::string& path, bool present) {
  for (int i = 0; i < 100; ++i) {
    if (Exists(path) == present) return true;
    Sleep(50);
  }
  return false;
}

// Wine's Linux path of a Windows path; empty off Wine.
std::string UnixPath(const std::string& windowsPath) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  wchar_t wide[MAX_PATH * 2] = {};
  MultiByteToWideChar(rt::kPlatformCodePage, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2);
  char* unix = toUnix(wide);
  if (!unix) return {};
  std::string path(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

// Under Wine only a Linux program makes links; the test environment
// (scripts/with-wine.sh) runs one that answers requests dropped in this
// folder, and makes links and drive letters only inside the prefix.
constexpr char kRequests[] = "C:\\korvalin-link-requests";

bool AskLinkService(const std::string& verb, const std::string& a, const std::string& b) {
  if (!Exists(kRequests)) return false;
  static unsigned serial = 0;
  const std::string name = std::string(kRequests) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(GetTickCount()) + "-" + std::to_string(++serial);
  std::ofstream(name + ".tmp", std::ios::binary) << verb << "\n" << a << "\n" << b << "\n";
  if (!MoveFileA((name + ".tmp").c_str(), (name + ".request").c_str())) return false;
  const std::string answer = name + ".answer";
  if (!WaitFor(answer, true)) return false;
  std::string word;
  std::ifstream(answer) >> word;
  DeleteFileA(answer.c_str());
  return word == "ok";
}

}  // namespace

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && Exists(link)) return true;
  std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (unixTarget.empty() || unixLink.empty() || !AskLinkService("link", unixLink, unixTarget)) return false;
  return WaitFor(link, true) && (GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFileLink(const std::string& link, const std::string& target) {
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(), 0) && Exists(link)) return true;
  std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (unixTarget.empty() || unixLink.empty() || !AskLinkService("filelink", unixLink, unixTarget)) return false;
  return WaitFor(link, true);
}

OwnDrive::OwnDrive(const std::string& directory) {
  marker_ = "korvalin-own-drive-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  std::ofstream(directory + "\\" + marker_) << "ours";
  const std::string unixDirectory = UnixPath(directory);
  for (char letter = 'Y'; letter >= 'K' && !ok(); --letter) {
    const std::string drive = std::string(1, letter) + ":";
    if (GetDriveTypeA((drive + "\\").c_str()) != DRIVE_NO_ROOT_DIR) continue;
    if (DefineDosDeviceA(0, drive.c_str(), directory.c_str())) {
      if (Exists(drive + "\\" + marker_)) {
        defined_ = true;
        root_ = drive;
        break;
      }
      DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive.c_str(), directory.c_str());
    }
    const std::string device(1, static_cast<char>(letter - 'A' + 'a'));
    if (unixDirectory.empty() || !AskLinkService("drive", device, unixDirectory)) continue;
    if (Verified(letter)) {
      wineDevice_ = device;
      root_ = drive;
    } else {
      AskLinkService("undrive", device, "");
    }
  }
}

// The letter shows this object's marker: it is ours, not someone's drive.
bool OwnDrive::Verified(char letter) const { return WaitFor(std::string(1, letter) + ":\\" + marker_, true); }

OwnDrive::~OwnDrive() {
  if (defined_) DefineDosDeviceA(DDD_REMOVE_DEFINITION, root_.c_str(), nullptr);
  if (!wineDevice_.empty()) AskLinkService("undrive", wineDevice_, "");
}

}  // namespace korvalin::test
