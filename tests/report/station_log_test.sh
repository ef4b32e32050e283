#!/usr/bin/env bash
# The real report on a station's log of four units of the ansi87 preset:
# --unit N judges unit N from its own lines only (unit 1 pressed every
# key, which counts for no other unit), beside the station's own verdict;
# a unit the station never judged, a unit not in the log, a station's log
# without --unit and --unit on a board run's log are each said plainly.
set -euo pipefail
report=$(realpath "$1")
fingerprint=$("$2" ansi87)
boards=$(realpath "$(dirname "$0")/../../keymodel/boards")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }
run() { # STATUS ARGS...: the report's status must be STATUS
  local status=0
  "$report" "${@:2}" >out 2>err || status=$?
  [ "$status" = "$1" ] || fail "status $status, not $1, for ${*:2}: $(cat err)"
}
json() { jq -e "$1" out >/dev/null || fail "not ($1) in: $(cat out)"; }
labels() { python3 -c 'import json,sys; print("\n".join(k["label"] for k in json.load(open(sys.argv[1]))["keys"]))' "$boards/ansi87.json"; }

# Unit 1 every key; unit 2 E bouncing 5 ms after its up; unit 3 given up
# with LAlt held (never taken for the Alt of a window's close: the unit
# ended, the window did not); unit 4 cut off by the window's close.
{
  printf 'Board test : ansi87 %s chatter 30 station bench\r\n' "$fingerprint"
  printf 'Unit 1 : start 0\r\n'
  ms=0
  while IFS= read -r label; do
    printf '%s down %d\r\n%s up %d\r\n' "$label" $((ms += 100)) "$label" $((ms += 50))
  done < <(labels)
  printf '%s\r\n' "Unit 1 : PASS $ms" "Unit 2 : start 20000" "E down 20100" \
    "E up 20150" "E down 20155" "Unit 2 : FAIL 20155" "Unit 3 : start 30000" \
    "Q down 30100" "Q up 30200" "LAlt down 30300" "Unit 3 : FAIL 40000" \
    "Unit 4 : start 41000" "A down 41100" \
    "Keyboard type : ANSI 87-key tenkeyless / board ansi87"
} >station.log

run 0 --unit 1 station.log
[ "$(head -n 1 out)" = "Verdict: PASS" ] &&
  grep -qx 'Unit 1 of station bench, from line 2: the station.s verdict PASS, line 177' out ||
  fail "unit 1: $(cat out)"
run 1 --unit 2 --json station.log
json '.verdict == "FAIL" and .station == "bench" and .unit == 2 and .stationVerdict == "FAIL"'
json '.reasons.held == ["E"] and .reasons.chatter == ["E"] and (.reasons.untested | length) == 86'
json '.chatter == [{"key": "E", "gapMs": 5, "line": 181}] and .unitLines == [178, 182]'
json '.tested == [] and .anomalies == [] and .closed'
run 1 --unit 3 --json station.log
json '.tested == ["Q"] and .held == ["LAlt"] and .stationVerdict == "FAIL" and .chatter == []'
run 1 --unit 4 station.log
grep -qx 'Unit 4 of station bench, from line 188: the station gave it no verdict' out &&
  grep -qx 'Held (1): A' out || fail "unit 4: $(cat out)"
# A verdict line that its lines do not bear out is said so.
sed 's/^Unit 3 : FAIL/Unit 3 : PASS/' station.log >edited.log
run 1 --unit 3 edited.log
grep -qx "Unit 3 of station bench, from line 183: the station's verdict PASS, line 187, is not what its lines show" out ||
  fail "edited: $(tail -n 1 out)"

# A unit whose verdict line is lost ends where the next unit starts.
sed '/^Unit 3 : FAIL/d' station.log >cut.log
run 1 --unit 3 --json cut.log
json '.held == ["LAlt"] and .stationVerdict == null and .unitLines == [183, null]'

run 2 --unit 5 station.log
[ "$(cat err)" = "keyboard-report: station.log: no unit 5 in the log of station bench (it has 4)" ] ||
  fail "unit 5: $(cat err)"
run 2 station.log
[ "$(cat err)" = "keyboard-report: station.log: the log of station bench, with 4 units: judge one with --unit N" ] ||
  fail "no --unit: $(cat err)"
sed $'1s/ station bench\r$/\r/; /^Unit /d' station.log >board.log
run 2 --unit 1 board.log
[ "$(cat err)" = "keyboard-report: board.log: not a station's log (its first line names no station)" ] ||
  fail "board run: $(cat err)"
for bad in 0 -1 x 1x; do
  run 2 --unit "$bad" station.log
done
run 2 --unit 1 --watch station.log
[ "$failures" = 0 ] || exit 1
echo "units judged from their own lines; missing units and mixed logs refused"
