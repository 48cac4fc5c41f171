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
for group in rules paint balance; do
  echo "bench: $group" >&2
  run wine "$BENCH_BIN/korvalin_bench.exe" "$group"
done

# Copying: the three copiers take turns on the same trees, each into a new
# destination; the file cache is warm for all of them alike.
median() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
echo "bench: copy" >&2
trees=$BENCH_DATA/trees
bounded 600 "the copy benchmark's trees" wine "$BENCH_BIN/korvalin_bench.exe" copy-prepare "$(win "$trees")" || failed=1
for tree in small large; do
  src=$trees/$tree dst=$BENCH_DATA/copy-$tree
  : >"$BENCH_DATA/k.$tree"; : >"$BENCH_DATA/kv.$tree"; : >"$BENCH_DATA/s.$tree"; : >"$BENCH_DATA/c.$tree"; : >"$BENCH_DATA/f.$tree"
  for _ in 1 2 3; do
    rm -rf "$dst"; sync
    out=$(bounded 600 "copy-korvalin of $tree" wine "$BENCH_BIN/korvalin_bench.exe" copy-korvalin "$(win "$src")" "$(win "$dst")") || failed=1
    echo "$out" | grep -q 'ok=1' || { echo "bench: Korvalin's copy of $tree incomplete: $out" >&2; failed=1; }
    c=$(echo "$out" | field copy); v=$(echo "$out" | field verify)
    echo "$c" >>"$BENCH_DATA/kv.$tree"; awk -v a="$c" -v b="$v" 'BEGIN {print a + b}' >>"$BENCH_DATA/k.$tree"
    rm -rf "$dst"; sync
    out=$(bounded 600 "copy-shell of $tree" wine "$BENCH_BIN/korvalin_bench.exe" copy-shell "$(win "$src")" "$(win "$dst")") || failed=1
    echo "$out" | grep -q 'ok=1' || { echo "bench: SHFileOperation's copy of $tree incomplete: $out" >&2; failed=1; }
    echo "$out" | field copy >>"$BENCH_DATA/s.$tree"
    rm -rf "$dst"; sync
    out=$(bounded 600 "copy-files of $tree" wine "$BENCH_BIN/korvalin_bench.exe" copy-files "$(win "$src")" "$(win "$dst")") || failed=1
    echo "$out" | field copy >>"$BENCH_DATA/f.$tree"
    rm -rf "$dst"; sync
    start=$(date +%s.%N); cp -r "$src" "$dst"; end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN {print b - a}' >>"$BENCH_DATA/c.$tree"
  done
  rm -rf "$dst"
  k=$(median <"$BENCH_DATA/k.$tree"); kc=$(median <"$BENCH_DATA/kv.$tree")
  s=$(median <"$BENCH_DATA/s.$tree"); c=$(median <"$BENCH_DATA/c.$tree"); f=$(median <"$BENCH_DATA/f.$tree")
  mib=$(du -sm "$src" | cut -f1)
  label=$([ "$tree" = small ] && echo "2,000 files of 4 KiB" || echo "20 files of 10 MiB")
  awk -v t="$label" -v k="$k" -v kc="$kc" -v s="$s" -v c="$c" -v f="$f" -v m="$mib" -v big="$([ "$tree" = large ] && echo 1)" 'BEGIN {
    printf "BENCH|copy|%s: CopyFolderTree + verification|%.1f|ms|%.0f MiB/s; copy alone %.1f ms\n", t, k*1000, m/k, kc*1000
    printf "BENCH|copy|%s: SHFileOperation|%.1f|ms|%.0f MiB/s\n", t, s*1000, m/s
    printf "BENCH|copy|%s: CopyFileA file by file (profile)|%.1f|ms|%.0f MiB/s\n", t, f*1000, m/f
    printf "BENCH|copy|%s: cp -r (Linux)|%.1f|ms|%.0f MiB/s\n", t, c*1000, m/c
    printf "BENCH|copy|%s: Korvalin throughput / SHFileOperation|%.2f|ratio|target >= 1\n", t, s/k
    printf "BENCH|copy|%s: Korvalin throughput / cp -r|%.2f|ratio|%s\n", t, c/k, big ? "target >= 0.8" : ""
  }' >>"$results"
done
rm -rf "$trees"

echo
echo "| group | measure | value | unit | note |"
echo "|---|---|---:|---|---|"
awk -F'|' '{printf "| %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6}' "$results"
echo
how="64-bit programs native"
[ "$BENCH_ARCH" = i686 ] && how="32-bit programs $KORVALIN_WINE32"
echo "$BENCH_ARCH build ($how); Wine X11 driver Managed=$BENCH_MANAGED; $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC')"
exit $failed
