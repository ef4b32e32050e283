#!/usr/bin/env bash
# keyboard-report --results on a generated file of 100,000 units of the
# ansi104 board, as a station writes them over months: most units PASS,
# some fail on chatter partway (the rest untested), some given up with a
# dead key or two and a stuck one, serials and keyboard names quoted where
# they must be. Wall time and peak memory for the summary and for the
# JSON with the HTML heat map. Usage: bench/results_bench.sh BINARY [UNITS]
set -euo pipefail
report=$(realpath "${1:?usage: $0 BINARY [UNITS]}")
units=${2:-100000}
boards=$(realpath "$(dirname "$0")/../keymodel/boards")
"$(dirname "$0")/../scripts/install-deps" time
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

python3 - "$boards/ansi104.json" "$units" >"$dir/results.csv" <<'PY'
import json, random, sys
labels = [k["label"] for k in json.load(open(sys.argv[1]))["keys"]]
random.seed(7)
def item(label):
    return '"' + label.replace('"', '""') + '"' if ' ' in label or '"' in label else label
def cell(text):
    if text[:1] in ('=', '+', '-', '@', "'"):
        text = "'" + text
    return '"' + text.replace('"', '""') + '"' if any(c in text for c in ',"') else text
out = sys.stdout
out.write('\ufefftime,station,board,unit,serial,verdict,tested,of,untested,chatter,held,seconds,keyboard\r\n')
for unit in range(1, int(sys.argv[2]) + 1):
    roll = random.random()
    untested, chatter, held = [], [], []
    if roll < 0.03:  # chatter partway: the keys after it never reached
        at = random.randrange(len(labels))
        untested = labels[at + 1:]
        held = [labels[at]]
        chatter = [item('%s:%d.0' % (labels[at], random.randint(1, 29)))]
    elif roll < 0.06:  # given up: dead keys and a stuck one
        picked = random.sample(labels, 3)
        untested, held = sorted(picked[:2], key=labels.index), picked[2:]
    tested = len(labels) - len(untested) - len(held)
    verdict = 'FAIL' if untested or held or chatter else 'PASS'
    row = ['2026-12-%02dT%02d:%02d:%02d+01:00' % (unit % 28 + 1, unit % 24, unit % 60, unit % 60),
           'line-%d' % (unit % 3), 'ansi104', str(unit), 'SN %07d,B' % unit, verdict,
           str(tested), str(len(labels)), ' '.join(map(item, untested)), ' '.join(chatter),
           ' '.join(map(item, held)), '%.1f' % random.uniform(25, 90), 'Vendor "Pro" Keyboard']
    out.write(','.join(map(cell, row)) + '\r\n')
PY
size=$(du -m "$dir/results.csv" | cut -f1)
cat "$dir/results.csv" >/dev/null # the first run should not pay for the disk

measure() { # WHAT ARGS...: one line of wall time and peak RSS
  local status=0
  /usr/bin/time -v "$report" "${@:2}" >"$dir/out" 2>"$dir/time" || status=$?
  [ "$status" -le 1 ] || { cat "$dir/time"; exit 1; }
  ! grep -q 'skipped' "$dir/time" || { echo "rows skipped:"; head "$dir/time"; exit 1; }
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$dir/time")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time")
  echo "$1 on $units units (${size} MB): wall ${wall} (m:ss), peak RSS ${rss} KB"
}
measure "results summary" --results "$dir/results.csv"
head -n 1 "$dir/out"
measure "results JSON and HTML heat map" --results --json --html "$dir/r.html" "$dir/results.csv"
