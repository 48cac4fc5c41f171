#!/usr/bin/env bash
# bench.sh [runs]: installs what is missing, builds the i686 benchmarks and
# runs every one of them under Wine, then prints one table (Markdown).
# KORVALIN_BENCH_MANAGED=Y keeps Wine's default of waiting for a window
# manager in every DestroyWindow (about 2 s under a bare Xvfb); the default
# here is N, which removes that wait.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
export KORVALIN_BUILD_ROOT=${KORVALIN_BUILD_ROOT:-$root/build}
export BENCH_RUNS=${1:-7}
export BENCH_MANAGED=${KORVALIN_BENCH_MANAGED:-N}

"$here/setup.sh"
dir=$KORVALIN_BUILD_ROOT/i686
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686.cmake" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)" --target benchmarks >/dev/null
export BENCH_BIN=$dir/bench BENCH_EXE=$dir/Korvalin.exe
export BENCH_DATA=$KORVALIN_BUILD_ROOT/bench-data

"$here/with-wine.sh" bash "$root/bench/run_all.sh"
