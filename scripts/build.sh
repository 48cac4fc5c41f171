#!/usr/bin/env bash
# build.sh [--target TARGET] [i686|x86_64]...: configures and builds the given
# architectures (i686 by default), everything or only TARGET.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
target=()
if [ "${1:-}" = "--target" ]; then target=(--target "$2"); shift 2; fi
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686)
for arch in "${archs[@]}"; do
  dir=$build_root/$arch
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)" "${target[@]}"
done
