#!/usr/bin/env bash
# move_rounds.sh RESULTS: a move with its files timed from outside, as a user
# or a script meets it: Korvalin.exe /move Desktop DIR /files started and
# timed to its exit (the registry set beforehand), against cp -r of the same
# tree on the same disk, the two taken in turns (each also after the other),
# medians of the times and of the rounds' ratios. Run by bench/run_all.sh
# inside the Wine environment; appends its result lines to RESULTS. Every
# copy is compared with its source (diff -r, outside the time); a failed move
# prints the failure and the script ends with 1.
set -uo pipefail
korvalin_script_name=bench
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env.sh" || exit 1
results=$1
data=$BENCH_DATA/move
trees=$data/trees
program=$data/program
rm -rf "$data"
mkdir -p "$program"
cp "$BENCH_EXE" "$program/Korvalin.exe"
failed=0
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
# The prefix's Desktop points at a tree while the rounds run; it goes back
# to the prefix's own Desktop however the script ends (the folder browser
# and the shell of the tests that share the prefix open it).
restore_desktop() {
  bounded -q 120 "reg.exe to point the Desktop back" \
    wine reg add "$key" /v Desktop /t REG_EXPAND_SZ /d '%USERPROFILE%\Desktop' /f /reg:64
}
trap restore_desktop EXIT

win() { wine winepath.exe -w "$1" 2>/dev/null; }
median() { sort -g | awk '{v[NR]=$1} END {if (NR) print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN {printf "%.6f\n", b - a}'; }

# move SOURCE DESTINATION: prints the seconds of the whole process.
move() {
  local src=$1 dst=$2 start status
  bounded -q 120 "reg.exe to point the Desktop at the tree" \
    wine reg add "$key" /v Desktop /t REG_SZ /d "$(win "$src")" /f /reg:64 || return 1
  start=$(date +%s.%N)
  (cd "$program" && bounded 900 "Korvalin.exe /move of $(basename "$src")" \
    wine ./Korvalin.exe /move Desktop "$(win "$dst")" /files >"$data/out.txt" 2>&1)
  status=$?
  seconds_since "$start"
  [ $status -eq 0 ] || { echo "bench: Korvalin.exe /move ended with $status" >&2; cat "$data/out.txt" >&2; return 1; }
}

copy() {
  local start
  start=$(date +%s.%N)
  cp -r "$1" "$2" || return 1
  seconds_since "$start"
}

# rounds TREE COUNT: Korvalin and cp each once a round, in turns.
run_rounds() {
  local tree=$1 count=$2 src=$trees/$1 dst=$data/$1-moved round first second k c
  : >"$data/$tree.rounds"
  for round in $(seq "$count"); do
    first=move second=copy
    [ $((round % 2)) -eq 0 ] && first=copy second=move
    for step in $first $second; do
      rm -rf "$dst"; sync
      if [ $step = move ]; then k=$(move "$src" "$dst") || return 1; else c=$(copy "$src" "$dst") || return 1; fi
      diff -rq "$src" "$dst" >&2 || { echo "bench: the $step of the $tree tree differs from its source" >&2; return 1; }
    done
    echo "$k $c" >>"$data/$tree.rounds"
  done
  rm -rf "$dst"
}

report() {
  local tree=$1 label=$2 target=$3 count=$4
  awk -v t="$label" -v target="$target" -v n="$count" \
    -v k="$(awk '{print $1}' "$data/$tree.rounds" | median)" -v c="$(awk '{print $2}' "$data/$tree.rounds" | median)" \
    -v r="$(awk '{print $1 / $2}' "$data/$tree.rounds" | median)" 'BEGIN {
    printf "BENCH|move|%s: Korvalin.exe /move NAME DIR /files, the whole process|%.1f|ms|median of %d\n", t, k*1000, n
    printf "BENCH|move|%s: cp -r (Linux)|%.1f|ms|median of %d, in turns with the move\n", t, c*1000, n
    printf "BENCH|move|%s: Korvalin.exe time / cp -r time|%.2f|ratio|target <= %s; median of the rounds'"'"' ratios\n", t, r, target
  }' >>"$results"
}

echo "bench: move trees" >&2
if ! bounded 900 "the move benchmark's trees" wine "$BENCH_BIN/korvalin_bench.exe" copy-prepare "$(win "$trees")"; then
  echo "bench: the move benchmark's trees could not be made" >&2
  exit 1
fi
# A warm cache for the small tree: both read it once before the rounds.
cat "$trees"/small/*/* >/dev/null 2>&1
for tree in small large; do
  echo "bench: move, $tree files" >&2
  count=7
  if run_rounds "$tree" "$count"; then
    if [ "$tree" = small ]; then report small "5,000 files of 4 KiB in 50 folders" 2 "$count"
    else report large "5 files of 200 MB" 1.25 "$count"; fi
  else
    failed=1
  fi
done
rm -rf "$data"
exit $failed
