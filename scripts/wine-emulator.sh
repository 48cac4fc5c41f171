#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's environment.
# CMake uses it as the cross-compiling emulator, so ctest needs no other glue.
# Run with --gtest_filter (one test suite, as ctest runs them, with its case
# count in KORVALIN_SUITE_CASES; one case when that is unset), it passes only
# when the program exits 0 and GoogleTest itself reports that every one of
# those cases ran and passed or was skipped: a case that ends the process
# early, even with 0, fails the suite.
# The cases' output goes through a file, not a pipe: every Wine process keeps
# its parent's stderr, and a shell that a case restarts lives on, so a pipe
# would stay open after the case has ended.
korvalin_script_name=wine-emulator
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || exit 1

filter=
for arg in "$@"; do
  case $arg in --gtest_filter=*) filter=${arg#*=} ;; esac
done
cases=${KORVALIN_SUITE_CASES:-1}
[[ $cases =~ ^[1-9][0-9]*$ ]] || { echo "wine-emulator: KORVALIN_SUITE_CASES is not a case count: $cases" >&2; exit 1; }
if [ -z "$filter" ]; then
  bounded 110 "$(basename "$1") to list or run its tests" wine "$@"
  exit $?
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
# Below ctest's own limits, so that the reason is ours and names the suite.
run_cases() {
  bounded $((220 + 60 * cases)) "$(basename "$1") to run $filter" wine "$@" >"$report" 2>&1 </dev/null
}
run_cases "$@"
status=$?
# Test programs write their output unbuffered, so one that ended with an
# error before GoogleTest's first line never reached a case: Wine did not
# get it going (seen once on a loaded host: exit 1 after 0.3 s, no output).
# That start is made once more, said here and recorded for the run's
# summary. A program that reached GoogleTest, or ran out of time, is judged
# as it ended.
if [ "$status" -ne 0 ] && [ "$status" -ne 124 ] &&
  ! tr -d '\r' <"$report" | grep -qE '^(Note: Google Test filter|\[==========\])'; then
  cat "$report"
  echo "wine-emulator: $(basename "$1") ended with $status before GoogleTest began, for $filter; starting it once more" >&2
  [ -n "${KORVALIN_RESTART_LOG:-}" ] && echo "$filter (ended with $status before GoogleTest began)" >>"$KORVALIN_RESTART_LOG"
  run_cases "$@"
  status=$?
fi
# The run's summary adds these up to tell a case that never reported.
echo "wine-emulator: $filter holds $cases $([ "$cases" -eq 1 ] && echo case || echo cases)"
cat "$report"
summary=$(tr -d '\r' <"$report")
if [ "$status" -ne 0 ]; then
  echo "wine-emulator: the test program exited with $status" >&2
  exit "$status"
fi
# GoogleTest's closing lines: how many ran, passed, were skipped.
plural() { [ "$1" -eq 1 ] && echo "$1 $2" || echo "$1 ${2}s"; }
if ! grep -qx "\[==========\] $(plural "$cases" test) from 1 test suite ran\..*" <<<"$summary"; then
  echo "wine-emulator: GoogleTest did not report that all $cases cases of $filter ran (the process ended early?)" >&2
  exit 1
fi
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\.$/\1/p' <<<"$summary")
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:$/\1/p' <<<"$summary")
if grep -q '^\[  FAILED  \]' <<<"$summary" || [ $((${passed:-0} + ${skipped:-0})) -ne "$cases" ]; then
  echo "wine-emulator: GoogleTest did not report every case of $filter as passed or skipped" >&2
  exit 1
fi
exit 0
