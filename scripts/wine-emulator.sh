#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's environment.
# CMake uses it as the cross-compiling emulator, so ctest needs no other glue.
# Run with --gtest_filter (one test case, as ctest runs them), it passes only
# when the program exits 0 and GoogleTest itself reports that one case ran and
# passed or was skipped: a case that ends the process early with 0 fails.
# The case's output goes through a file, not a pipe: every Wine process keeps
# its parent's stderr, and a shell that a case restarts lives on, so a pipe
# would stay open after the case has ended.
korvalin_script_name=wine-emulator
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || exit 1

one_case=
for arg in "$@"; do
  case $arg in --gtest_filter=*) one_case=${arg#*=} ;; esac
done
# Below ctest's own limits, so that the reason is ours and names the case.
if [ -z "$one_case" ]; then
  bounded 110 "$(basename "$1") to list or run its tests" wine "$@"
  exit $?
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
run_case() {
  bounded 280 "$(basename "$1") to run $one_case" wine "$@" >"$report" 2>&1 </dev/null
}
run_case "$@"
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
  echo "wine-emulator: $(basename "$1") ended with $status before GoogleTest began, for $one_case; starting it once more" >&2
  [ -n "${KORVALIN_RESTART_LOG:-}" ] && echo "$one_case (ended with $status before GoogleTest began)" >>"$KORVALIN_RESTART_LOG"
  run_case "$@"
  status=$?
fi
cat "$report"
summary=$(tr -d '\r' <"$report")
if [ "$status" -ne 0 ]; then
  echo "wine-emulator: the test program exited with $status" >&2
  exit "$status"
fi
if ! grep -qx '\[==========\] 1 test from 1 test suite ran\..*' <<<"$summary"; then
  echo "wine-emulator: GoogleTest did not report that exactly one case ran (the process ended early?)" >&2
  exit 1
fi
if grep -qx '\[  PASSED  \] 1 test\.' <<<"$summary"; then exit 0; fi
if grep -qx '\[  SKIPPED \] 1 test, listed below:' <<<"$summary"; then exit 0; fi
echo "wine-emulator: GoogleTest did not report the case as passed" >&2
exit 1
