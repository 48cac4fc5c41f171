#!/usr/bin/env bash
# Runs inside scripts/with-wine.sh for scripts/bench.sh: every benchmark, then the table.
set -uo pipefail
korvalin_script_name=bench
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env.sh" || exit 1
results=$BENCH_DATA/results.txt
rm -rf "$BENCH_DATA"
mkdir -p "$BENCH_DATA"
: >"$results"
failed=0

bounded -q 120 "reg.exe to set Wine's X11 driver" \
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$BENCH_MANAGED" /f || exit 1
win() { wine winepath.exe -w "$1" 2>/dev/null; }

run() {  # run NAME COMMAND...: keeps the result lines, reports a failure
  local out status
  out=$(bounded 1800 "$(basename "$2") ${3:-}" "$@" 2>&1); status=$?
  printf '%s\n' "$out" | tr -d '\r' | grep '^BENCH|' >>"$results"
  if [ $status -ne 0 ]; then
    echo "bench: $1 ${2:-} ended with $status" >&2
    printf '%s\n' "$out" | grep -v '^BENCH|' | tail -5 >&2
    failed=1
  fi
}

echo "bench: start-up" >&2
run wine "$BENCH_BIN/startup_bench.exe" "$(win "$BENCH_EXE")" "$(win "$BENCH_BIN/bench_noop.exe")" \
  "$(win "$BENCH_DATA/startup")" "$BENCH_RUNS"
for group in rules engine paint balance; do
  echo "bench: $group" >&2
  run wine "$BENCH_BIN/korvalin_bench.exe" "$group"
done

echo "bench: copy" >&2
bash "$(dirname "${BASH_SOURCE[0]}")/copy_rounds.sh" "$results" || failed=1
echo "bench: move" >&2
bash "$(dirname "${BASH_SOURCE[0]}")/move_rounds.sh" "$results" || failed=1

echo
echo "| group | measure | value | unit | note |"
echo "|---|---|---:|---|---|"
awk -F'|' '{printf "| %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6}' "$results"
echo
how="64-bit programs native"
[ "$BENCH_ARCH" = i686 ] && how="32-bit programs $KORVALIN_WINE32"
echo "$BENCH_ARCH build ($how); Wine X11 driver Managed=$BENCH_MANAGED; $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC')"
[ $failed -eq 0 ] || echo "bench: some measurements failed (see above); the table holds only those taken" >&2
exit $failed
