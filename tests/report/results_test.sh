#!/usr/bin/env bash
# The real report over three stations' results files at once, one with a
# row someone broke: the yield, the keys that failed counted once a unit
# (a unit that failed on chatter counts only its chatter), chatter by key
# with the shortest gap, the median time, the JSON, the HTML's heat map
# on the board; the broken row named and skipped; the exit statuses.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }
run() { # STATUS COMMAND...: runs it with stdout in out, wants that status
  local status=0
  "${@:2}" >out 2>err || status=$?
  [ "$status" = "$1" ] || fail "$* gave status $status: $(cat err)"
}
json() { jq -e "$1" out >/dev/null || fail "not ($1) in: $(cat out)"; }
header=$'\xEF\xBB\xBFtime,station,board,unit,serial,verdict,tested,of,untested,chatter,held,seconds,keyboard\r'
t=2026-12-08T21:27:39+01:00

# Station 1: a PASS, a FAIL on chatter (E bounced 2.5 ms after its up, while
# Esc and F1 were not reached yet), a FAIL given up (Esc and NumPad 7
# dead, Space stuck).
printf '%s\n' "$header" \
  "$t,s1,ansi104,1,SN-001,PASS,104,104,,,,40.0,USB Keyboard"$'\r' \
  "$t,s1,ansi104,2,,FAIL,101,104,Esc F1,E:2.5,E,10.0,USB Keyboard"$'\r' \
  "$t,s1,ansi104,3,SN-003,FAIL,101,104,\"Esc \"\"NumPad 7\"\"\",,Space,60.0,"$'\r' >s1.csv
# Station 2: its row 4 was edited into a PASS with a key against it; the
# "," key's label and a keyboard name with a comma and quotes.
printf '%s\n' "$header" \
  "$t,s2,ansi104,1,\"A,1\",PASS,104,104,,,,30.0,"$'\r' \
  "$t,s2,ansi104,2,,FAIL,102,104,\",\",E:4.0,E,8.0,"$'\r' \
  "$t,s2,ansi104,3,,PASS,103,104,Esc,,,20.0,"$'\r' \
  "$t,s2,ansi104,4,,FAIL,103,104,\",\",,,45.0,\"Vendor, \"\"Pro\"\"\""$'\r' >s2.csv
# Station 3, as an editor saved it again: no byte-order mark, LF only.
plain=${header#$'\xEF\xBB\xBF'}
printf '%s\n' "${plain%$'\r'}" "$t,s3,ansi104,1,,PASS,104,104,,,,35.0," \
  "$t,s3,ansi104,2,,PASS,104,104,,,,50.0," >s3.csv

run 1 "$report" --results s1.csv s2.csv s3.csv --html r.html
[ "$(cat err)" = "keyboard-report: s2.csv: line 4: a PASS with keys against it (skipped)" ] ||
  fail "the broken row: $(cat err)"
expected="Units: 8, PASS 4, FAIL 4 (50.0 % PASS)
Median time per unit: 37.5 s
Keys that failed (5), in units:
  E: 2 (chatter 2)
  ,: 1 (untested 1)
  Esc: 1 (untested 1)
  NumPad 7: 1 (untested 1)
  Space: 1 (held 1)
Chatter by key (1):
  E: 2 units, shortest gap 2.5 ms
Board: ansi104
File: s1.csv, 3 units
File: s2.csv, 3 units, 1 malformed rows skipped
File: s3.csv, 2 units
HTML report: r.html"
[ "$(cat out)" = "$expected" ] || fail "summary: $(diff <(echo "$expected") out)"

run 1 "$report" --results --json s1.csv s2.csv s3.csv
json '.units == 8 and .pass == 4 and .fail == 4 and .passPercent == 50 and .medianSeconds == 37.5'
json '.failedKeys[0] == {"key": "E", "units": 2, "untested": 0, "chatter": 2, "held": 0}'
json '[.failedKeys[].key] == ["E", ",", "Esc", "NumPad 7", "Space"]'
json '.chatter == [{"key": "E", "units": 2, "shortestGapMs": 2.5}] and .board == "ansi104"'
json '.malformed == [{"file": "s2.csv", "line": 4, "problem": "a PASS with keys against it"}]'
json '.malformedCount == 1 and ([.files[].units] == [3, 3, 2])'

# The HTML: well-formed, the board's 104 caps and a legend, E the darkest,
# one that failed half as often halfway along the ramp, a key that never
# failed the palest.
xmllint --noout r.html || fail "r.html is not well-formed"
sed -n '/<svg/,/<\/svg>/p' r.html >map.svg
caps=$(xmllint --xpath "count(//*[local-name()='g'])" map.svg)
[ "$caps" = 104 ] || fail "$caps caps, not 104"
fill() { xmllint --xpath "string(//*[local-name()='text'][.='$1']/preceding-sibling::*[local-name()='rect'][1]/@fill)" map.svg; }
[ "$(fill E)" = "#7f0000" ] && [ "$(fill Q)" = "#f0f0f0" ] && [ "$(fill Space)" = "#ea5f3c" ] ||
  fail "heat: E $(fill E), Q $(fill Q), Space $(fill Space)"
rsvg-convert map.svg -o map.png || fail "the heat map does not render"

# Every unit passed: status 0, but not with a row that could not be read.
# A file named twice is read once.
run 0 "$report" --results s3.csv ./s3.csv
grep -qx 'Units: 2, PASS 2, FAIL 0 (100.0 % PASS)' out &&
  grep -qx 'keyboard-report: warning: ./s3.csv named again, read once' err || fail "all PASS: $(cat out err)"
printf '%s\n' "$header" "broken,row"$'\r' >broken.csv
run 1 "$report" --results s3.csv broken.csv
# The board drawn is the one --board gives only when the rows are of it.
run 1 "$report" --results s1.csv --board ansi104 --html given.html
grep -q '<svg' given.html || fail "--board ansi104 drew no board"
run 1 "$report" --results s1.csv --board iso105 --html other.html
! grep -q '<svg' other.html && grep -q 'no board drawn' err || fail "--board iso105: $(cat err)"
# Two boards: the lists without a map.
sed 's/,ansi104,/,iso105,/; s/,s3,/,s4,/' s3.csv >s4.csv
run 0 "$report" --results s3.csv s4.csv --html two.html
grep -qx 'Board: several' out && ! grep -q '<svg' two.html && grep -q 'No board drawn' two.html ||
  fail "two boards: $(cat out)"
# A file that is no results file, or none at all: status 2, nothing written.
printf 'Board test : x\r\n' >st.log
run 2 "$report" --results s1.csv st.log --html no.html
[ ! -e no.html ] && [ ! -s out ] &&
  grep -qx "keyboard-report: cannot read st.log: not a station's results file (its first line is not the header row)" err ||
  fail "not a results file: $(cat err)"
run 2 "$report" --results missing.csv
cp s1.csv kept.csv
run 2 "$report" --results s1.csv --html s1.csv
cmp -s s1.csv kept.csv || fail "--html over a results file wrote to it"
run 2 "$report" --results
run 2 "$report" --results --unit 1 s1.csv
[ "$failures" = 0 ] || exit 1
echo "yield, failed keys, chatter, median, JSON, HTML heat map and statuses as expected"
