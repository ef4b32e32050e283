#!/usr/bin/env bash
# The real program's answers a user acts on: every key of the board tested
# gives PASS and 0, one key left down FAIL and 1, with the summary's
# counts; keypad "=" and "," apart, since the classic boards lack them; the
# JSON parsed; the HTML where --html says; --layout obeyed; --chatter
# through a watch; a watch started on an old run's closed log waits for
# the next run.
set -euo pipefail
report=$(realpath "$1") fingerprint=$(realpath "$2")
boards=$(realpath "$(dirname "$0")/../../keymodel/boards")
. "$(dirname "$0")/../e2e/keys.sh"
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }
run() { # STATUS COMMAND...: runs it with stdout in out, wants that status
  local status=0
  "${@:2}" >out 2>err || status=$?
  [ "$status" = "$1" ] || fail "$* gave status $status: $(cat err)"
}
json() { jq -e "$1" out >/dev/null || fail "not ($1) in: $(cat out)"; }

for key in "${us_keys[@]}" 0="NumPad = " 0="NumPad , "; do
  printf '%s down\r\n%s up\r\n' "${key#*=}" "${key#*=}"
done >all.log
cp all.log held.log && printf 'W down\r\n' >>held.log
printf '%s\r\n' "$CLOSE_US" | tee -a all.log >>held.log
run 1 "$report" --json held.log
jq . out >/dev/null || fail "no JSON: $(cat out)"
[ ! -e keyboard-report.html ] || fail "an HTML written with --json alone"
json '.board == "us101" and .boardFrom == "closing line" and .closed and .held == ["W"]'
json '.verdict == "FAIL" and .reasons == {"untested": [], "held": ["W"], "chatter": []}'
json '.keys == 101 and .never == [] and (.tested | length) == 100 and .maxHeld == 1'
json '.notOnBoard == {"NumPad =": 2, "NumPad ,": 2}'
json '.presses == {"Esc": 2, "Cap": 2, "Scrl": 2, "NumPad NL": 2, "W": 2}'
json '.anomalies == [] and .anomalyCount == 0 and (has("chatter") | not)'
run 1 "$report" --html chosen.html held.log
[ -s chosen.html ] && [ ! -e keyboard-report.html ] && grep -qx 'HTML report: chosen.html' out &&
  grep -q 'Tested 100 of 101 keys, 1 held, 0 never pressed' chosen.html ||
  fail "--html chosen.html: $(ls)"
run 0 "$report" all.log
[ "$(head -n 1 out)" = "Verdict: PASS" ] || fail "all keys: $(head -n 4 out)"
run 1 "$report" held.log
[ "$(head -n 2 out)" = $'Verdict: FAIL\n  held at the end (1): W' ] &&
  grep -qx "Keys: tested 100 of 101, held 1, never pressed 0; at most 1 held at once" out &&
  grep -qx 'Held (1): W' out &&
  grep -qx 'Not on the board (2, not counted):' out && grep -qx '  NumPad , (2 lines)' out ||
  fail "summary: $(head -n 6 out)"
# The US keys the Japanese board lacks are apart; its "\" pressed alone
# may be Yen or Ro, so neither counts.
run 1 "$report" --json --layout jp held.log
json '.board == "jp106" and .boardFrom == "option" and (["@", ":", "Yen", "Ro"] - .never) == []'
json '.hint == "hold Yen and Ro together to test both" and .anomalies == []'
json '.notOnBoard == {"`": 2, "=": 2, "'"'"'": 2, "LCtrl": 2, "RCtrl": 2, "NumPad =": 2, "NumPad ,": 2}'
json '.try == {"`": "us101", "=": "us101", "'"'"'": "us101", "LCtrl": "us101", "RCtrl": "us101"}'

# The lists at their caps: 150 lines the board cannot read, and 101 of
# ansi104's keys chattering, each listed in the log's order up to 100,
# with the totals.
python3 - "$boards/ansi104.json" "$("$fingerprint" ansi104)" >caps.log <<'PY'
import json, sys
keys = [k["label"] for k in json.load(open(sys.argv[1]))["keys"]][:101]
out = ["Board test : ansi104 %s chatter 30" % sys.argv[2]]
out += ["junk %d" % i for i in range(150)]
for n, label in enumerate(keys):
    t = 1000 * n
    out += ["%s down %d" % (label, t), "%s up %d" % (label, t + 10),
            "%s down %d" % (label, t + 15), "%s up %d" % (label, t + 100)]
sys.stdout.write("".join(line + "\r\n" for line in out))
PY
run 1 "$report" --json caps.log
json '(.anomalies | length) == 100 and .anomalyCount == 150 and .anomalies[99].line == 101'
json '(.chatter | length) == 100 and .chatter[0].key == "Esc" and .chatter[1].key == "F1" and
  .chatter[0].line == 154 and ([.chatter[].gapMs] | unique) == [5]'
run 1 "$report" caps.log
grep -qx 'Anomalies (150):' out && grep -qx 'Chatter (101):' out &&
  [ "$(grep -cx '  (only the first 100 are listed)' out)" = 2 ] ||
  fail "the lists' caps: $(grep -A1 -e '^Anomalies' -e '^Chatter' out)"

# Lines read 0.15 s apart are chatter under 300 ms; 1 s apart, or read in
# one wake, never.
: >c.log
"$report" --watch --json --chatter 300 c.log >out 2>view &
watch=$!
printf 'E down\r\nE up\r\n' >pair
printf 'E down\r\nE up\r\nE down\r\nE up\r\n%s\r\n' "$CLOSE_US" >last
sleep 0.5 && cat pair >>c.log # each batch in one write, as the checker's
sleep 0.15 && cat pair >>c.log
sleep 1 && cat last >>c.log
status=0 && timeout 10 tail --pid="$watch" -f /dev/null && wait "$watch" || status=$?
[ "$status" = 1 ] || fail "--chatter: status $status: $(cat view)"
jq -e '.chatter | length == 1 and .[0].key == "E" and .[0].line == 3 and
  .[0].gapMs > 50 and .[0].gapMs < 300' out >/dev/null &&
  grep -q '^ *0\.[0-9]\{3\} s  chatter E: down again [0-9.]* ms after up, line 3$' view ||
  fail "chatter: $(cat out view)"

printf 'Q down\r\nQ up\r\n%s\r\n' "$CLOSE_US" >old.log
"$report" --watch old.log >out 2>&1 &
watch=$!
sleep 1.5
kill -0 "$watch" || fail "the watch ended on an old run's closing line: $(cat out)"
grep -q 'closed; waiting for the checker to start again' out || fail "no wait: $(cat out)"
kill -INT "$watch" && status=0 && wait "$watch" || status=$?
[ "$status" = 1 ] && grep -qx 'Tested (1): Q' out || fail "Ctrl+C: status $status: $(cat out)"

[ "$failures" = 0 ] || exit 1
echo "status, summary, JSON, --layout, --chatter and an old log as expected"
