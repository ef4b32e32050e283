#!/usr/bin/env bash
# The key report on a generated ~100 MB log: wall time and peak memory.
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
for _ in $(seq 100); do cat "$dir/chunk"; done >"$dir/big.log"
printf 'Keyboard type : PC/AT like US English keyboard / DirectX\r\n' >>"$dir/big.log"
lines=$(wc -l <"$dir/big.log")
size=$(du -m "$dir/big.log" | cut -f1)

cat "$dir/big.log" >/dev/null # the first run should not pay for the disk
status=0
/usr/bin/time -v "$report" --json "$dir/big.log" >"$dir/json" 2>"$dir/time" ||
  status=$?
[ "$status" -le 1 ] || { cat "$dir/time"; exit 1; }
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time")
echo "its JSON ends: $(grep -o "\"maxHeld\".*" "$dir/json")"
echo "report on a ${size} MB log of ${lines} lines: wall ${wall} (m:ss), peak RSS ${rss} KB"
