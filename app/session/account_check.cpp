#include "app/session/account_check.h"

#include <vector>

#include "image/declared_functions.h"
#include "migrate/file_handles.h"
#include "migrate/long_path.h"

namespace korvalin {
namespace {

// A process's user, as its token's TOKEN_USER; empty when it cannot be read.
std::vector<int64_t> UserOf(HANDLE process) {
  HANDLE opened = nullptr;
  if (!process || !dll::OpenProcessToken(process, TOKEN_QUERY, &opened)) return {};
  FileHandle token(opened);
  std::vector<int64_t> user(64);  // 512 bytes: a TOKEN_USER and its SID
  DWORD returned = 0;
  if (!dll::GetTokenInformation(token.get(), TokenUser, user.data(), static_cast<DWORD>(user.size() * 8), &returned))
    return {};
  return user;
}

PSID SidOf(std::vector<int64_t>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

std::string NameOf(PSID sid) {
  char name[256] = {}, domain[256] = {};
  DWORD nameLength = sizeof name, domainLength = sizeof domain;
  SID_NAME_USE use;
  if (!dll::LookupAccountSidA(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) return "?";
  return domain[0] ? std::string(domain) + "\\" + name : std::string(name);
}

bool IsSystemAccount(PSID sid) {
  return dll::IsWellKnownSid(sid, WinLocalSystemSid) || dll::IsWellKnownSid(sid, WinLocalServiceSid) ||
         dll::IsWellKnownSid(sid, WinNetworkServiceSid);
}

// The process of the desktop's shell: the one that registered the shell
// window, or else an explorer.exe of this session (Wine's desktop, a shell
// restarted without its window yet); 0 when there is none.
DWORD ShellProcess() {
  DWORD process = 0;
  const HWND shell = dll::GetShellWindow();
  if (shell && dll::GetWindowThreadProcessId(shell, &process) && process) return process;
  DWORD session = 0;
  if (!dll::ProcessIdToSessionId(dll::GetCurrentProcessId(), &session)) return 0;
  FileHandle snapshot(dll::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = dll::Process32FirstW(snapshot.get(), &entry); more; more = dll::Process32NextW(snapshot.get(), &entry)) {
    DWORD theirs = 0;
    if (NameKey(entry.szExeFile) == L"EXPLORER.EXE" && dll::ProcessIdToSessionId(entry.th32ProcessID, &theirs) &&
        theirs == session)
      return entry.th32ProcessID;
  }
  return 0;
}

}  // namespace

AccountCheck CheckAccount() {
  AccountCheck check;
  std::vector<int64_t> own = UserOf(dll::GetCurrentProcess());
  if (own.empty()) return check;
  check.thisAccount = NameOf(SidOf(own));
  const bool system = IsSystemAccount(SidOf(own)) != FALSE;
  const DWORD shellProcess = ShellProcess();
  FileHandle process(shellProcess ? dll::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess)
                                  : nullptr);
  std::vector<int64_t> desktop = UserOf(process.get());
  if (!desktop.empty()) check.desktopUser = NameOf(SidOf(desktop));
  check.other = system || (!desktop.empty() && !dll::EqualSid(SidOf(own), SidOf(desktop)));
  return check;
}

std::string OtherAccountText(const AccountCheck& check) {
  const std::string user = check.desktopUser.empty() ? std::string("桌面的用户") : "桌面的用户'" + check.desktopUser + "'";
  return "Korvalin 正以账户'" + check.thisAccount + "'运行，不是" + user +
         "。它会移动这个账户的文件夹（注册表 HKEY_CURRENT_USER 属于它），而不是" + user + "的。";
}

}  // namespace korvalin
