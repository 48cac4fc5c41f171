#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/commands/commands.h"
#include "runtime/commands/directory_tree.h"
#include "runtime/commands/support.h"
#include "runtime/commands/library.h"

namespace rt::commands {
namespace {

using detail::Arg;
using detail::TextOf;

bool IsLeadByte(char c) { return static_cast<uint8_t>(c) >= 0x80; }

// Steps over one character, two bytes for a lead byte unless the text ends.
const char* NextChar(const char* p) { return (IsLeadByte(*p) && p[1]) ? p + 2 : p + 1; }

detail::Vector<detail::String> SplitArguments(const char* line) {
  const char* p = line ? line : "";
  // The program name.
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') p = NextChar(p);
    if (*p == '"') ++p;
    if (*p == ' ') ++p;
  } else {
    while (*p && *p != ' ') p = NextChar(p);
    if (*p == ' ') ++p;
  }
  detail::Vector<detail::String> arguments;
  while (*p) {
    if (static_cast<uint8_t>(*p) <= 0x20) {
      ++p;
    } else if (*p == '"') {
      const char* start = ++p;
      while (*p && *p != '"') p = NextChar(p);
      arguments.emplace_back(start, p);
      if (*p == '"') ++p;
    } else {
      const char* start = p;
      while (static_cast<uint8_t>(*p) > 0x20 && *p != '"') p = NextChar(p);
      arguments.emplace_back(start, p);
    }
  }
  return arguments;
}

bool WriteAll(HANDLE file, const uint8_t* bytes, size_t length) {
  while (length > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

}  // namespace

void* SplitCommandLine(const char* commandLine) {
  detail::Vector<detail::String> arguments = SplitArguments(commandLine);
  const size_t n = arguments.size();
  auto* array = static_cast<int32_t*>(detail::AllocateBlock(2 * sizeof(int32_t) + n * sizeof(char*)));
  array[0] = 1;
  array[1] = static_cast<int32_t>(n);
  char** elements = ArrayElements<char*>(array);
  for (size_t i = 0; i < n; ++i) elements[i] = detail::NewText(arguments[i]);
  return array;
}

void GetRunDirectory(ValueRecord* result, int /*count*/, const ValueRecord* /*args*/) {
  const char* directory = reinterpret_cast<const char*>(library::Kernel(library::kProgramDirectory));
  detail::SetText(result, directory ? detail::NewText(directory) : nullptr);
}

void GetCommandLineArgs(ValueRecord* /*result*/, int count, const ValueRecord* args) {
  ValueRecord target = Arg(count, args, 0);
  auto** variable = static_cast<void**>(target.pointer());
  if (!IsByRef(target.tag) || !variable) return;
  void* arguments = SplitCommandLine(GetCommandLineA());
  library::Kernel(library::kFreeArray, static_cast<intptr_t>(kTagText), reinterpret_cast<intptr_t>(*variable));
  *variable = arguments;
}

void ReadFileBytes(ValueRecord* result, int count, const ValueRecord* args) {
  detail::SetBytes(result, nullptr);
  const char* name = TextOf(Arg(count, args, 0));
  if (!*name) return;
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size = {};
  void* bytes = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= 0x7FFFFFF0) {
    bytes = detail::NewBytes(nullptr, static_cast<size_t>(size.QuadPart));
    uint8_t* at = rt::ByteSetData(bytes);
    size_t left = static_cast<size_t>(size.QuadPart);
    while (left > 0) {
      DWORD got = 0;
      if (!ReadFile(file, at, static_cast<DWORD>(std::min<size_t>(left, 1u << 30)), &got, nullptr) || got == 0) {
        detail::FreeBlock(bytes);  // cut short: nothing rather than part
        bytes = nullptr;
        break;
      }
      at += got;
      left -= got;
    }
  }
  CloseHandle(file);
  detail::SetBytes(result, bytes);
}

void WriteFileBytes(ValueRecord* result, int count, const ValueRecord* args) {
  result->setBool(false);
  const char* name = TextOf(Arg(count, args, 0));
  if (!*name) return;
  // Every piece is checked before the file is touched: a wrong kind ends
  // the program rather than leave a file cut short or filled with garbage.
  detail::Vector<const void*> pieces;
  for (int i = 1; i < count; ++i)
    if (!args[i].omitted()) pieces.push_back(detail::ByteSetArgument(args[i]));
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  bool ok = true;
  for (size_t i = 0; i < pieces.size() && ok; ++i) {
    int32_t length = rt::ByteSetLength(pieces[i]);
    if (length > 0) ok = WriteAll(file, rt::ByteSetData(pieces[i]), static_cast<size_t>(length));
  }
  if (!CloseHandle(file)) ok = false;
  result->setBool(ok);
}

void MakeDirectory(ValueRecord* result, int count, const ValueRecord* args) {
  result->setBool(CreateDirectoryA(TextOf(Arg(count, args, 0)), nullptr) != 0);
}

void DeleteDirectoryTree(ValueRecord* result, int count, const ValueRecord* args) {
  const char* p = TextOf(Arg(count, args, 0));
  while (*p == ' ') ++p;
  if (RefusesTreeDeletion(p)) return result->setBool(false);
  result->setBool(DeleteTree(p));
}

void RunCommandLine(ValueRecord* result, int count, const ValueRecord* args) {
  static const WORD kShowModes[] = {SW_HIDE,          SW_SHOWNORMAL,     SW_SHOWMINIMIZED,
                                    SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  detail::String line = TextOf(Arg(count, args, 0));
  bool wait = detail::BoolOf(Arg(count, args, 1));
  ValueRecord modeArg = Arg(count, args, 2);
  int32_t mode = modeArg.omitted() ? 2 : std::clamp(detail::IntOf(modeArg), 1, 6);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = kShowModes[mode - 1];
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return result->setBool(false);
  if (wait) WaitForSingleObject(process.hProcess, INFINITE);
  else WaitForInputIdle(process.hProcess, 1000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result->setBool(true);
}

void Delay(ValueRecord* /*result*/, int count, const ValueRecord* args) {
  Sleep(static_cast<DWORD>(std::max(0, detail::IntOf(Arg(count, args, 0)))));
}

}  // namespace rt::commands
