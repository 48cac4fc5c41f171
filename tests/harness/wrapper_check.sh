#!/usr/bin/env bash
# wrapper_check.sh WRAPPER PROBE: runs the probe's suites through the test
# wrapper, as ctest runs every suite, and fails unless the wrapper passes
# exactly the suite whose cases all passed or were skipped. The probe's
# own output stays out of the log unless a verdict is wrong, so the run's
# summary does not count the probe's cases as the product's.
set -u
wrapper=$1 probe=$2
wrong=0

# verdict EXPECTED CASES SUITE WHY
verdict() {
  local expected=$1 cases=$2 suite=$3 why=$4 output status
  output=$(KORVALIN_SUITE_CASES=$cases KORVALIN_RESTART_LOG= bash "$wrapper" "$probe" \
    "--gtest_filter=$suite.*" 2>&1)
  status=$?
  if { [ "$expected" = pass ] && [ $status -ne 0 ]; } || { [ "$expected" = fail ] && [ $status -eq 0 ]; }; then
    echo "wrong verdict on $suite, $cases listed: the wrapper exited with $status; it should $expected ($why)"
    sed 's/^/    | /' <<<"$output"
    wrong=1
  else
    echo "$suite, $cases listed: ${expected}ed as it should ($why)"
  fi
}

verdict fail 3 ProbeEarlyExit "a case ended the process with 0"
verdict fail 2 ProbeFailure "a case failed"
verdict pass 2 ProbeSkipped "one case passed, one was skipped"
verdict fail 3 ProbeSkipped "the listing held a case that never ran"
verdict fail 1 ProbeSkipped "more cases ran than the listing held"
exit $wrong
