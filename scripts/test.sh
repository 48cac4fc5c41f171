#!/usr/bin/env bash
# test.sh [--arch i686|x86_64] [ctest arguments...]: installs what is missing,
# builds both architectures (or the one named) and runs every test under Wine.
# Exits non-zero when a build or any test of either architecture fails, or
# when no test ran.
#
# The tests of one architecture run while the next one builds: they mostly
# wait on Wine, so the two overlap well. Tests of two architectures never run
# at once: they share the prefix's registry and the display. x86_64 comes
# first, so that both programs are built when the i686 run packs the release.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
archs=(x86_64 i686)
if [ "${1:-}" = "--arch" ]; then archs=("$2"); shift 2; fi

"$here/setup.sh"

# One ctest test per test suite; a run in which no test ran is a failure too.
# Each architecture ends with one line: how its programs ran, the counts.
run_tests() {
  local arch=$1 start log status how counts
  shift
  start=$(date +%s)
  how="64-bit programs run natively"
  [ "$arch" = i686 ] && how="32-bit programs run ${KORVALIN_WINE32/native/natively}"
  echo "== tests, $arch ($how)"
  log=$(mktemp)
  export KORVALIN_RESTART_LOG=$build_root/$arch/restarted-cases.txt
  : >"$KORVALIN_RESTART_LOG"
  (cd "$build_root/$arch" && ctest --output-on-failure --no-tests=error --timeout 300 "$@") 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  # Cases as GoogleTest reported them in each suite's output, against the
  # cases the suites held; ctest itself counts suites.
  counts=$(tr -d '\r' <"$build_root/$arch/Testing/Temporary/LastTest.log" 2>/dev/null | awk '
    /^wine-emulator: .* holds [0-9]+ cases?$/ { held += $(NF - 1) }
    /^\[       OK \] .* \([0-9]+ ms\)$/ { passed++ }
    /^\[  FAILED  \] .* \([0-9]+ ms\)$/ { failed++ }
    /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { skipped++ }
    END { if (held == 0) print "no case counts (ctest ran no case)";
          else printf "%d cases: %d passed, %d skipped, %d failed, %d never reported", held, passed, skipped, failed, held - passed - skipped - failed }')
  counts="$counts; ctest: $(tr -d '\r' <"$log" | grep -oE '[0-9]+ tests? failed out of [0-9]+' | tail -1 || echo 'no summary')"
  start=$(( $(date +%s) - start ))
  {
    echo "== $arch: $how; $counts; $((start / 60)) min $((start % 60)) s"
    # Each suite whose program Wine had to start a second time, and each
    # process a case had to.
    sed 's/^/   started twice: /' "$KORVALIN_RESTART_LOG"
    tr -d '\r' <"$build_root/$arch/Testing/Temporary/LastTest.log" 2>/dev/null |
      sed -n 's/^StartProcess: Wine did not start \(.*\); starting it once more$/   started twice: \1/p'
    # What each failed case reported, so that the end of a long log says it.
    tr -d '\r' <"$build_root/$arch/Testing/Temporary/LastTest.log" 2>/dev/null | awk '
      /^\[ RUN      \] / { name = $4; n = 0; next }
      /^\[  FAILED  \] .* \([0-9]+ ms\)$/ && $4 == name {
        print "   failed " name ":"; for (i = 0; i < n; i++) print "     " lines[i]; name = ""; next }
      /^\[       OK \] |^\[  SKIPPED \] / { name = ""; next }
      name != "" && n < 30 { lines[n++] = $0 }'
    # Each skipped case with the reason it gave.
    tr -d '\r' <"$build_root/$arch/Testing/Temporary/LastTest.log" 2>/dev/null | awk '
      taking { why = $0; taking = 0 }
      /: Skipped$/ { taking = 1 }
      /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { sub(/ \([0-9]+ ms\)$/, ""); print "   skipped " $4 ": " why; why = "" }'
  } | tee -a "$summary"
  rm -f "$log"
  return "$status"
}
export -f run_tests
export build_root summary=$(mktemp)

status=0
tests_pid=
tests_log=
tests_arch=
finish_tests() {
  [ -n "$tests_pid" ] || return 0
  wait "$tests_pid" || status=1
  cat "$tests_log"
  rm -f "$tests_log"
  grep -q "^== $tests_arch:" "$summary" || echo "== $tests_arch: no tests ran (see above)" >>"$summary"
  tests_pid=
}
trap '[ -n "$tests_pid" ] && kill "$tests_pid" 2>/dev/null; rm -f "$summary"; true' EXIT

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
  tests_arch=$arch
done
finish_tests

echo
cat "$summary"
[ $status -eq 0 ] || echo "test.sh: tests failed" >&2
exit $status
