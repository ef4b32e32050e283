#!/usr/bin/env bash
# The key report on a generated ~100 MB log: wall time and peak memory,
# and the same for a watch that reads it up to date before its closing
# line comes; then a watch's CPU over 10 idle seconds, and how far its
# stamps stray from the clock of a writer appending batches at known gaps.
# The log reads like a long session: every key pressed again and again,
# some rolled over two at a time, CR LF, the checker's blanks, a closing
# line at the end. Usage: bench/report_bench.sh BINARY
set -euo pipefail
report=$(realpath "${1:?usage: $0 BINARY}")
"$(dirname "$0")/../scripts/install-deps" time
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# One balanced megabyte: each key down and up, every third key overlapping
# the next one, so the tally sees real rollover.
awk 'BEGIN {
  n = split("Esc F1 F4 F12 1 2 0 BS Tab Q W E P Ent Cap A S L LShft Z M " \
            "RShft LCtrl LAlt Space RAlt RCtrl", keys, " ")
  split("Ins |Home|Del |End |PgDn", nav, "|")
  split("7 |8 |+ |En|0 |. ", pad, "|")
  while (bytes < 1048576) {
    for (i = 1; i < n; i += 1) {
      if (i % 3 == 0) {
        line = keys[i] " down\r\n" keys[i + 1] " down\r\n" keys[i] " up\r\n" \
               keys[i + 1] " up\r\n"
      } else line = keys[i] " down\r\n" keys[i] " up\r\n"
      printf "%s", line; bytes += length(line)
    }
    for (i = 1; i <= 5; i++) {
      line = nav[i] " down\r\n" nav[i] " up\r\n"; printf "%s", line; bytes += length(line)
    }
    for (i = 1; i <= 6; i++) {
      line = "NumPad " pad[i] " down\r\nNumPad " pad[i] " up\r\n"
      printf "%s", line; bytes += length(line)
    }
  }
}' >"$dir/chunk"
closing='Keyboard type : PC/AT like US English keyboard / DirectX'
for _ in $(seq 100); do cat "$dir/chunk"; done >"$dir/big.log"
cp "$dir/big.log" "$dir/open.log" # as a checker still running leaves it
printf '%s\r\n' "$closing" >>"$dir/big.log"
lines=$(wc -l <"$dir/big.log")
size=$(du -m "$dir/big.log" | cut -f1)

cat "$dir/big.log" >/dev/null # the first run should not pay for the disk
status=0
/usr/bin/time -v "$report" --json "$dir/big.log" >"$dir/json" 2>"$dir/time" ||
  status=$?
[ "$status" -le 1 ] || { cat "$dir/time"; exit 1; }
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time")
echo "its JSON ends: $(grep -o "\"anomalies\".*" "$dir/json"), maxHeld $(grep -o "\"maxHeld\":[0-9]*" "$dir/json" | cut -d: -f2)"
echo "report on a ${size} MB log of ${lines} lines: wall ${wall} (m:ss), peak RSS ${rss} KB"

# wait_for FILE PATTERN: up to 60 s until the watch's output shows it.
wait_for() {
  for _ in $(seq 600); do grep -q "$2" "$1" && return; sleep 0.1; done
  echo "the watch never showed $2" && exit 1
}
cpu_ns() { cut -d' ' -f1 "/proc/$1/schedstat"; }

/usr/bin/time -v "$report" --watch --json "$dir/open.log" >/dev/null \
  2>"$dir/watch" &
wait_for "$dir/watch" "more)"
printf '%s\r\n' "$closing" >>"$dir/open.log"
wait
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/watch")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/watch")
echo "watch of the same log, caught up, then closed: wall ${wall} (m:ss), peak RSS ${rss} KB"

printf 'Q down\r\nQ up\r\n' >"$dir/idle.log"
"$report" --watch "$dir/idle.log" >"$dir/stamps" &
watcher=$!
wait_for "$dir/stamps" "Q up"
from=$(cpu_ns "$watcher") && sleep 10 && to=$(cpu_ns "$watcher")
echo "idle watch: $(((to - from) / 1000)) us of CPU in 10 s"

# Batches at gaps of 2 to 50 ms, each write's time taken just after it.
written=()
for i in $(seq 200); do
  [ $((i % 2)) = 1 ] && state=down || state=up
  printf 'W %s\r\n' "$state" >>"$dir/idle.log"
  written+=("$EPOCHREALTIME")
  sleep "0.0$(printf %02d $((RANDOM % 49 + 2)))"
done
printf '%s\r\n' "$closing" >>"$dir/idle.log"
wait "$watcher" || true
# Each stamp's distance from the start, against the writer's own: the
# stamps print in milliseconds, so a rounding of up to 0.5 ms is in it.
printf '%s\n' "${written[@]}" | paste - <(grep ' s  W ' "$dir/stamps" | awk '{print $1}') |
  awk '{ if (NR == 1) { w0 = $1; s0 = $2 }
         e = ($2 - s0 - ($1 - w0)) * 1000; e = e < 0 ? -e : e; print e }' |
  sort -g | awk '{ a[NR] = $1 } END { printf "watch stamps vs the writer'"'"'s clock, %d batches: median error %.2f ms, worst %.2f ms\n", NR, a[int((NR + 1) / 2)], a[NR] }'
