#!/usr/bin/env bash
# Runs one end-to-end case under Wine and judges it as scripts/wine-emulator.sh
# does: it passes only when the program exits 0 and GoogleTest reports that
# one case ran and passed or was skipped. The output goes through a file, not
# a pipe: every Wine process keeps its parent's stderr, and the shell that
# Korvalin restarts lives on in the suite's prefix (until the prefix is
# stopped), so a pipe would stay open after the case has ended.
export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

one_case=
for arg in "$@"; do
  case $arg in --gtest_filter=*) one_case=1 ;; esac
done
[ -n "$one_case" ] || exec wine "$@"

report=$(mktemp)
trap 'rm -f "$report"' EXIT
wine "$@" >"$report" 2>&1 </dev/null
status=$?
cat "$report"
summary=$(tr -d '\r' <"$report")
if [ "$status" -ne 0 ]; then
  echo "run-case: the test program exited with $status" >&2
  exit "$status"
fi
if ! grep -qx '\[==========\] 1 test from 1 test suite ran\..*' <<<"$summary"; then
  echo "run-case: GoogleTest did not report that exactly one case ran (the process ended early?)" >&2
  exit 1
fi
grep -qx '\[  PASSED  \] 1 test\.' <<<"$summary" && exit 0
grep -qx '\[  SKIPPED \] 1 test, listed below:' <<<"$summary" && exit 0
echo "run-case: GoogleTest did not report the case as passed" >&2
exit 1
