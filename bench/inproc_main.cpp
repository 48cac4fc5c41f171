// korvalin_bench.exe <rules|engine|paint|balance|copy-...>: the program's own code
// measured in this process, on the program's image and a started runtime.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/main/entry.h"
#include "bench/benchmarks.h"
#include "runtime/interface/program_calls.h"
#include "runtime/interface/startup.h"

int main(int argc, char** argv) {
  using namespace korvalin::bench;
  if (argc < 2) {
    std::fprintf(stderr, "usage: korvalin_bench rules|engine|paint|balance|copy-prepare DIR|copy-korvalin|copy-window|copy-shell|copy-files FROM TO\n");
    return 2;
  }
  rt::AttachProgramImage(&korvalin::ProgramHeader());
  rt::program::InitializeRuntime();
  const char* group = argv[1];
  if (!std::strcmp(group, "rules")) return RunRuleBenchmarks();
  if (!std::strcmp(group, "engine")) return RunEngineDocumentBenchmark();
  if (!std::strcmp(group, "paint")) return RunPaintBenchmarks();
  if (!std::strcmp(group, "balance")) return RunBalanceBenchmarks();
  if (!std::strncmp(group, "copy-", 5)) return RunCopyBenchmark(argc, argv);
  std::fprintf(stderr, "unknown benchmark %s\n", group);
  return 2;
}
