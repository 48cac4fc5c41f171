#!/usr/bin/env bash
# build.sh [i686|x86_64]...: configures and builds the given architectures (i686 by default).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686)
for arch in "${archs[@]}"; do
  dir=$build_root/$arch
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)"
done
