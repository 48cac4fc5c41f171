#!/usr/bin/env bash
# copy_rounds.sh RESULTS: the copy benchmark, run by bench/run_all.sh inside
# the Wine environment; appends its result lines to RESULTS. Each round runs
# every copier once, into a new destination, in an order of its own in which
# each copier also follows another one (a copy here is slower or faster by
# what the copy before it left behind in the page cache). Every copy is
# compared with its source afterwards (diff -r, outside the time). A tree
# with a failed copy prints the failure instead of its rows, and the script
# ends with 1.
set -uo pipefail
korvalin_script_name=bench
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env.sh" || exit 1
results=$1
data=$BENCH_DATA/copy
trees=$data/trees
rm -rf "$data"
mkdir -p "$data"
failed=0
copiers=(korvalin window shell files cp)
# A copy of the large tree now and then runs three to four times slower
# than the same copy just before or after it, whichever copier it is (a
# plain Linux read and write loop too): nine rounds keep such a copy out of
# the median.
rounds_of() { if [ "$1" = large ]; then echo 9; else echo 5; fi; }
rounds=5

win() { wine winepath.exe -w "$1" 2>/dev/null; }
median() { sort -g | awk '{v[NR]=$1} END {if (NR) print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN {printf "%.6f\n", b - a}'; }

# copy COPIER SOURCE DESTINATION: prints "total plan copy verify gui" in
# seconds (gui: the processor time of the progress window's thread, 0 for
# the others); fails when the copier failed or the copy differs from its
# source.
copy() {
  local copier=$1 src=$2 dst=$3 out start
  if [ "$copier" = cp ]; then
    start=$(date +%s.%N)
    cp -r "$src" "$dst" || return 1
    out="plan=0 copy=$(seconds_since "$start") verify=0 gui=0 ok=1"
  else
    out=$(bounded 900 "copy-$copier of $(basename "$src")" \
      wine "$BENCH_BIN/korvalin_bench.exe" "copy-$copier" "$(win "$src")" "$(win "$dst")" | tr -d '\r')
    [ $? -eq 0 ] && grep -q 'ok=1' <<<"$out" || { echo "$out" >&2; return 1; }
  fi
  diff -rq "$src" "$dst" >&2 || return 1
  local p c v g
  p=$(field plan <<<"$out") c=$(field copy <<<"$out") v=$(field verify <<<"$out") g=$(field gui <<<"$out")
  awk -v p="$p" -v c="$c" -v v="$v" -v g="$g" 'BEGIN {printf "%.6f %.6f %.6f %.6f %.6f\n", p + c + v, p, c, v, g}'
}

# rounds TREE: every copier once a round; samples go to $data/TREE.COPIER.
run_rounds() {
  local tree=$1 src=$trees/$1 dst=$data/$1-copy round i copier sample
  for copier in "${copiers[@]}"; do : >"$data/$tree.$copier"; done
  local rounds
  rounds=$(rounds_of "$tree")
  for round in $(seq 0 $((rounds - 1))); do
    for i in $(seq 0 $((${#copiers[@]} - 1))); do
      # Five copiers: any step from 1 to 4 visits each once.
      copier=${copiers[$(((i * (round % 4 + 1) + round) % ${#copiers[@]}))]}
      rm -rf "$dst"; sync
      if ! sample=$(copy "$copier" "$src" "$dst"); then
        echo "bench: copy of the $tree tree by $copier failed in round $((round + 1))" >&2
        rm -rf "$dst"
        return 1
      fi
      echo "$round $sample" >>"$data/$tree.$copier"
    done
  done
  rm -rf "$dst"
}

# column FILE N: the median of column N (2 total, 3 plan, 4 copy, 5 verify,
# 6 gui).
column() { awk -v n="$2" '{print $n}' "$1" | median; }
# ratio_of_rounds TREE A B: the median over the rounds of A's time / B's.
ratio_of_rounds() {
  join <(sort "$data/$1.$2") <(sort "$data/$1.$3") | awk '{print $2 / $7}' | median
}

report_tree() {
  local tree=$1 label=$2 target=$3 mib k
  mib=$(find "$trees/$tree" -type f -printf '%s\n' | awk '{s += $1} END {printf "%.3f", s / 1048576}')
  k=$data/$tree.korvalin
  awk -v t="$label" -v m="$mib" -v n="$(rounds_of "$tree")" -v target="$target" \
    -v k="$(column "$k" 2)" -v kp="$(column "$k" 3)" -v kc="$(column "$k" 4)" -v kv="$(column "$k" 5)" \
    -v w="$(column "$data/$tree.window" 2)" -v s="$(column "$data/$tree.shell" 2)" \
    -v f="$(column "$data/$tree.files" 2)" -v c="$(column "$data/$tree.cp" 2)" \
    -v wg="$(awk '{print $6 / $4}' "$data/$tree.window" | median)" \
    -v wk="$(ratio_of_rounds "$tree" window korvalin)" -v ck="$(ratio_of_rounds "$tree" cp korvalin)" 'BEGIN {
    printf "BENCH|copy|%s: Korvalin, list + copy + verification, no window|%.1f|ms|%.0f MiB/s; median of %d; list %.1f, copy %.1f, verification %.1f ms\n", t, k*1000, m/k, n, kp*1000, kc*1000, kv*1000
    printf "BENCH|copy|%s: Korvalin, the same with the progress window|%.1f|ms|%.0f MiB/s; copy on its own thread; the window from 0.3 s on, refreshed every 250 ms\n", t, w*1000, m/w
    printf "BENCH|copy|%s: cost of the progress window|%.1f|%%|target <= 5 %%; median of the rounds'"'"' ratios\n", t, (wk - 1) * 100
    printf "BENCH|copy|%s: processor time of the progress window'"'"'s thread|%.1f|%% of the copy|median of the rounds; what its own thread takes from the copy, free of the drift between copies (not counted: what the Wine server and the X server do for it)\n", t, wg * 100
    printf "BENCH|copy|%s: SHFileOperation (profile)|%.1f|ms|%.0f MiB/s\n", t, s*1000, m/s
    printf "BENCH|copy|%s: CopyFileA file by file (profile)|%.1f|ms|%.0f MiB/s\n", t, f*1000, m/f
    printf "BENCH|copy|%s: cp -r (Linux)|%.1f|ms|%.0f MiB/s\n", t, c*1000, m/c
    printf "BENCH|copy|%s: Korvalin throughput / cp -r|%.2f|ratio|target >= %s; median of the rounds'"'"' ratios\n", t, ck, target
  }' >>"$results"
}

# The disk's own limit: one large file copied by cp (through the page cache,
# inside the kernel), and by dd with direct I/O (the device itself).
physical_limit() {
  local file=$trees/large/video0.bin out=$data/one.bin round start
  : >"$data/one.cp"; : >"$data/one.dd"
  for round in $(seq "$rounds"); do
    rm -f "$out"; sync
    start=$(date +%s.%N)
    cp "$file" "$out" || return 1
    seconds_since "$start" >>"$data/one.cp"
    cmp -s "$file" "$out" || return 1
    rm -f "$out"; sync
    start=$(date +%s.%N)
    dd if="$file" of="$out" bs=1M iflag=direct oflag=direct status=none || return 1
    seconds_since "$start" >>"$data/one.dd"
    cmp -s "$file" "$out" || return 1
  done
  rm -f "$out"
  local mib
  mib=$(stat -c %s "$file" | awk '{printf "%.3f", $1 / 1048576}')
  awk -v m="$mib" -v c="$(median <"$data/one.cp")" -v d="$(median <"$data/one.dd")" -v n="$rounds" 'BEGIN {
    printf "BENCH|copy|one 200 MB file: cp (Linux, page cache)|%.1f|ms|%.0f MiB/s; median of %d\n", c*1000, m/c, n
    printf "BENCH|copy|one 200 MB file: dd, direct I/O, 1 MiB blocks|%.1f|ms|%.0f MiB/s; the disk without the cache\n", d*1000, m/d
  }' >>"$results"
}

echo "bench: copy trees" >&2
if ! bounded 900 "the copy benchmark's trees" wine "$BENCH_BIN/korvalin_bench.exe" copy-prepare "$(win "$trees")"; then
  echo "bench: the copy benchmark's trees could not be made" >&2
  exit 1
fi
for tree in small large; do
  echo "bench: copy, $tree files" >&2
  if run_rounds "$tree"; then
    if [ "$tree" = small ]; then report_tree small "5,000 files of 4 KiB" 0.5
    else report_tree large "5 files of 200 MB" 0.8; fi
  else
    failed=1
  fi
done
echo "bench: copy, the disk's limit" >&2
physical_limit || { echo "bench: the one-file copy failed" >&2; failed=1; }
rm -rf "$data"
exit $failed
