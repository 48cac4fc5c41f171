#!/usr/bin/env bash
# bench.sh [--arch i686|x86_64] [runs]: installs what is missing, builds the
# benchmarks of one architecture and runs every one of them under Wine, then
# prints one table (Markdown). The architecture is i686, the shipped build,
# where this host runs 32-bit programs natively, and x86_64 where they run
# emulated: there an i686 figure would time the emulator, not Korvalin.
# KORVALIN_BENCH_MANAGED=Y keeps Wine's default of waiting for a window
# manager in every DestroyWindow (about 2 s under a bare Xvfb); the default
# here is N, which removes that wait.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
export KORVALIN_BUILD_ROOT=${KORVALIN_BUILD_ROOT:-$root/build}
arch=
if [ "${1:-}" = "--arch" ]; then arch=$2; shift 2; fi
export BENCH_RUNS=${1:-7}
export BENCH_MANAGED=${KORVALIN_BENCH_MANAGED:-N}

"$here/setup.sh"
if [ -z "$arch" ]; then
  arch=i686
  [ "$(cat "$KORVALIN_BUILD_ROOT/wine-host")" = emulated ] && arch=x86_64
fi
dir=$KORVALIN_BUILD_ROOT/$arch
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
fi
# Others may share the machine: the build gives way.
nice -n 10 cmake --build "$dir" -j "$(nproc)" --target benchmarks >/dev/null
export BENCH_ARCH=$arch BENCH_BIN=$dir/bench BENCH_EXE=$dir/Korvalin.exe
export BENCH_DATA=$KORVALIN_BUILD_ROOT/bench-data

"$here/with-wine.sh" bash "$root/bench/run_all.sh"
