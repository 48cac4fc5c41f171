#!/usr/bin/env bash
# test.sh [--arch i686|x86_64] [ctest arguments...]: installs what is missing,
# builds both architectures (or the one named) and runs every test under Wine.
# Exits non-zero when a build or any test of either architecture fails, or
# when no test ran.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
archs=(i686 x86_64)
if [ "${1:-}" = "--arch" ]; then archs=("$2"); shift 2; fi

"$here/setup.sh"
"$here/build.sh" "${archs[@]}"

run_all() {
  local status=0
  for arch in "${archs[@]}"; do
    echo "== tests, $arch"
    # One ctest test per case; a run in which no test ran is a failure too.
    (cd "$build_root/$arch" && ctest --output-on-failure --no-tests=error --timeout 300 "$@") || status=1
  done
  [ $status -eq 0 ] || echo "test.sh: tests failed" >&2
  return $status
}
export -f run_all
export build_root
archs_list="${archs[*]}"
ARCHS="$archs_list" "$here/with-wine.sh" bash -c 'archs=($ARCHS); run_all "$@"' run_all "$@"
