#!/usr/bin/env bash
# test.sh [--arch i686|x86_64] [ctest arguments...]: installs what is missing,
# builds both architectures (or the one named) and runs every test under Wine.
# Exits non-zero when a build or any test of either architecture fails, or
# when no test ran.
#
# The tests of one architecture run while the next one builds: they mostly
# wait on Wine, so the two overlap well. Tests of two architectures never run
# at once: they share the prefix's registry and the display.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
archs=(i686 x86_64)
if [ "${1:-}" = "--arch" ]; then archs=("$2"); shift 2; fi

"$here/setup.sh"

# One ctest test per case; a run in which no test ran is a failure too.
run_tests() {
  local arch=$1
  shift
  echo "== tests, $arch"
  (cd "$build_root/$arch" && ctest --output-on-failure --no-tests=error --timeout 300 "$@")
}
export -f run_tests
export build_root

status=0
tests_pid=
tests_log=
finish_tests() {
  [ -n "$tests_pid" ] || return 0
  wait "$tests_pid" || status=1
  cat "$tests_log"
  rm -f "$tests_log"
  tests_pid=
}
trap '[ -n "$tests_pid" ] && kill "$tests_pid" 2>/dev/null; true' EXIT

for arch in "${archs[@]}"; do
  if ! "$here/build.sh" "$arch"; then
    finish_tests
    echo "test.sh: the $arch build failed" >&2
    exit 1
  fi
  finish_tests
  tests_log=$(mktemp)
  "$here/with-wine.sh" bash -c 'run_tests "$@"' run_tests "$arch" "$@" >"$tests_log" 2>&1 &
  tests_pid=$!
done
finish_tests

[ $status -eq 0 ] || echo "test.sh: tests failed" >&2
exit $status
