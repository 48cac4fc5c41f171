#include "app/command/command_output.h"

#include "encoding/wide_text.h"
#include "image/declared_functions.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

bool Usable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

}  // namespace

CommandOutput::CommandOutput() {
  // Output the parent redirected comes first; otherwise the parent's console.
  HANDLE redirected = dll::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (Usable(redirected)) {
    out_ = redirected;
    outIsConsole_ = dll::GetConsoleMode(redirected, &mode) != FALSE;
    return;
  }
  if (!dll::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE console = dll::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (!Usable(console)) return;
  out_ = console;
  outIsConsole_ = true;
  ownsOut_ = true;
}

CommandOutput::~CommandOutput() {
  if (ownsOut_) dll::CloseHandle(out_);
  if (log_) dll::CloseHandle(log_);
}

bool CommandOutput::openLog(const std::string& path) {
  // Append access alone: every write goes to the end of what is there.
  HANDLE log = dll::CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!Usable(log)) return false;
  log_ = log;
  if (!beforeLog_.empty()) write(log_, false, beforeLog_);
  beforeLog_.clear();
  return true;
}

void CommandOutput::line(const std::string& text) {
  const std::string withEnd = text + "\r\n";
  if (out_) write(out_, outIsConsole_, withEnd);
  if (log_) write(log_, false, withEnd);
  else beforeLog_ += withEnd;
}

void CommandOutput::write(HANDLE handle, bool console, const std::string& text) {
  DWORD written = 0;
  if (console) {
    // UTF-16 shows the Chinese texts whatever the console's code page.
    rt::OwnedBlock wide(ToWideText(text.c_str(), 0, false, static_cast<int32_t>(text.size())));
    const DWORD units = static_cast<DWORD>(rt::ByteSetLength(wide.get()) / 2 - 1);
    dll::WriteConsoleW(handle, rt::ByteSetData(wide.get()), units, &written, nullptr);
    return;
  }
  const std::string utf8 = Utf8FromText(text);
  dll::WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace korvalin
