// One timed copy per run; bench/copy_rounds.sh takes the copiers in turns,
// adds `cp -r` on the same trees and takes the medians. Each copier prints
// "plan=S copy=S verify=S ok=0|1": the seconds of each part, and whether
// the copy came out whole (every planned entry there with its size).
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/dialogs/progress_window.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "bench/copy_trees.h"
#include "migrate/long_path.h"
#include "migrate/tree_copy.h"

namespace korvalin::bench {
namespace {

using Copier = std::function<bool(const std::string& source, const std::string& destination)>;

int PrintRun(double plan, double copy, double verify, bool ok, double gui = 0) {
  std::printf("plan=%.6f copy=%.6f verify=%.6f gui=%.6f ok=%d\n", plan, copy, verify, gui, ok ? 1 : 0);
  return ok ? 0 : 1;
}

// Seconds of processor time this thread has used, user and kernel.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// The move's own copy. With a window: the copy on a thread of its own while
// this thread shows the progress four times a second, as the window's move does;
// without: all on this thread, as the command line runs it.
int CopyWithKorvalin(const std::string& source, const std::string& destination, bool window) {
  // In the program a move's confirmation (a task dialog) has loaded the
  // common controls before its copy starts; the dialog's progress bar would
  // otherwise load them inside the time (20-50 ms here).
  if (window) LoadLibraryA("comctl32.dll");
  const double start = Now();
  const std::wstring to = EnginePath(destination);
  const TreePlan plan = PlanTree(EnginePath(source));
  const double planned = Now();
  CopyProgress progress(plan.files, plan.bytes);
  auto copy = [&] { return CopyTree(plan, to, progress); };
  // With the window this thread only shows it: the processor time it takes
  // meanwhile is what the window costs the copy, whatever the drift.
  const double guiBefore = ThreadSeconds();
  const CopyReport report = window ? CopyWithProgressWindow(nullptr, copy, progress) : copy();
  const double gui = window ? ThreadSeconds() - guiBefore : 0;
  const double copied = Now();
  const bool verified = report.outcome == CopyOutcome::kCopied && CopyVerified(plan, to);
  const double end = Now();
  const bool counted = progress.filesDone() == plan.files && progress.bytesDone() == plan.bytes;
  if (!counted)
    std::printf("progress counted %s of %s files\n", std::to_string(progress.filesDone()).c_str(),
                std::to_string(plan.files).c_str());
  return PrintRun(planned - start, copied - planned, end - copied, plan.complete && verified && counted, gui);
}

// Another copier, timed alone; its result is checked afterwards with the
// move's own verification, outside the time.
int CopyWith(const Copier& copier, const std::string& source, const std::string& destination) {
  const TreePlan plan = PlanTree(EnginePath(source));
  const double start = Now();
  const bool copied = copier(source, destination);
  const double end = Now();
  return PrintRun(0, end - start, 0, copied && plan.complete && CopyVerified(plan, EnginePath(destination)));
}

bool ShellCopy(const std::string& source, const std::string& destination) {
  std::string from = source + "\\*";
  from.push_back('\0');  // the list ends with two zeros
  std::string to = destination;
  to.push_back('\0');
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
  CreateDirectoryA(destination.c_str(), nullptr);
  return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// The platform's own per-file copy, file by file through the tree.
bool CopyFilesBelow(const std::string& source, const std::string& destination) {
  if (!CreateDirectoryA(destination.c_str(), nullptr)) return false;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((source + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool copied = true;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string from = source + "\\" + name, to = destination + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      copied &= CopyFilesBelow(from, to);
    else
      copied &= CopyFileA(from.c_str(), to.c_str(), TRUE) != 0;
  } while (copied && FindNextFileA(find, &entry));
  FindClose(find);
  return copied;
}

}  // namespace

int RunCopyBenchmark(int argc, char** argv) {
  const std::string mode = argv[1];
  if (mode == "copy-prepare" && argc >= 3) return MakeCopyTrees(argv[2]) ? 0 : 1;
  if (argc < 4) {
    std::fprintf(stderr, "copy: %s SOURCE DESTINATION\n", argv[1]);
    return 2;
  }
  if (mode == "copy-korvalin") return CopyWithKorvalin(argv[2], argv[3], false);
  if (mode == "copy-window") return CopyWithKorvalin(argv[2], argv[3], true);
  if (mode == "copy-shell") return CopyWith(ShellCopy, argv[2], argv[3]);
  if (mode == "copy-files") return CopyWith(CopyFilesBelow, argv[2], argv[3]);
  std::fprintf(stderr, "copy: unknown arguments\n");
  return 2;
}

}  // namespace korvalin::bench
