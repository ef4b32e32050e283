#!/usr/bin/env bash
# The real report against hostile files and a hostile writer: links where
# its HTML goes, control bytes in a path, outputs that fail, and a watch
# whose log is moved aside, emptied and rewritten behind its back, made
# of random bytes, a FIFO, or growing faster than it is read.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*" && exit 1; }
CLOSE='Keyboard type : PC/AT like US English keyboard / DirectX'
lines() { printf '%s\r\n' "$@"; }
# watch LOG: the watch in the background, its view on stderr.
watch() { "$report" --watch --json "$1" >"$1.json" 2>"$1.view" & pids+=($!) && w=$!; }
# ended STATUS SECONDS: the watch ended by itself within SECONDS.
ended() {
  local status=0
  for _ in $(seq $(($2 * 10))); do kill -0 "$w" 2>/dev/null && sleep 0.1; done
  kill -0 "$w" 2>/dev/null && fail "the watch still runs after $2 s: $(cat ./*.view)"
  wait "$w" || status=$?
  [ "$status" = "$1" ] || fail "the watch's status $status, want $1"
}
# same LOG: the watch read LOG as the report without it reads it (only
# the watch times presses, so only it lists chatter).
same() {
  "$report" --json "$1" >"$1.one" || true
  sed 's/"chatter":\[\],//' "$1.json" | cmp -s "$1.one" - || fail "$1: watch and report differ"
}
shown() { for _ in $(seq 50); do grep -q "$2" "$1.view" && return; sleep 0.1; done && fail "$1: no '$2'"; }

echo "== the default HTML never through a link; names and outputs"
lines 'Q down' 'Q up' >ok.log && echo "another user's file" >target && cp target kept
ln -s target keyboard-report.html
"$report" ok.log >/dev/null || true
cmp -s target kept && [ -f keyboard-report.html ] && [ ! -L keyboard-report.html ] ||
  fail "the HTML went through the link"
ln -s ok.log to-log
status=0 && "$report" --html to-log ok.log 2>err || status=$?
[ "$status" = 2 ] && grep -qx "keyboard-report: will not write to-log: it is the log.*" err || fail "--html a link to the log: $status $(cat err)"
status=0 && "$report" --help >/dev/full 2>err || status=$?
[ "$status" = 2 ] || fail "--help into a full device: $status"
status=0 && "$report" --version >&- 2>err || status=$?
[ "$status" = 2 ] || fail "--version with stdout closed: $status"
c1=$'c1-\xc2\x9b31m.log'
watch "$c1" && shown "$c1" "waiting for the checker's log: c1-\\\\xC2\\\\x9B31m.log" && kill -INT "$w"
! grep -q $'\xc2\x9b' "$c1.view" || fail "a C1 control reached the terminal"

echo "== control characters in a log's labels: escaped everywhere, or no log line"
lines $'X\xc2\x9b2J down' $'Y\x1b[2J down' 'Q down' 'Q up' "$CLOSE" >ctl.log
watch ctl.log && shown ctl.log "closed; waiting" && kill -INT "$w" && ended 1 3
"$report" ctl.log >ctl.summary 2>&1 || true
! LC_ALL=C grep -q $'\e\|\xc2[\x80-\x9f]' ctl.log.view ctl.log.json ctl.summary &&
  grep -qF 'X\xC2\x9B2J down, Q down, Q up' ctl.log.view && grep -qF 'X\xC2\x9B2J' ctl.summary &&
  grep -qx '  line 2: not a log line' ctl.summary || fail "control characters: $(cat ctl.log.view ctl.summary)"

echo "== a closed log moved aside, then a new run"
lines 'Q down' 'Q up' "$CLOSE" >old.log
watch old.log && shown old.log "closed; waiting"
mv old.log aside.log && lines 'E down' 'E up' "$CLOSE" >old.log
ended 1 5 && grep -q '"tested":\["E"\]' old.log.json || fail "the new run: $(cat old.log.json)"

echo "== a log emptied and rewritten past the offset while the watch sleeps"
lines 'Q down' 'Q up' >re.log
watch re.log && shown re.log "Q up"
kill -STOP "$w" && sleep 0.2
lines 'W down' 'W up' 'A down' 'A up' "$CLOSE" >re.log
kill -CONT "$w" && ended 1 5 && same re.log

echo "== random bytes as they come; a FIFO"
: >random.log && watch random.log
for _ in $(seq 40); do head -c 128K /dev/urandom >>random.log && sleep 0.01; done
lines '' 'Q down' 'Q up' "$CLOSE" >>random.log
ended 1 10 && same random.log
[ "$(grep -c 'no key in' random.log.view)" -le 2 ] || fail "a line for every batch with no key"
mkfifo fifo.log && watch fifo.log && ended 2 5
grep -q "fifo.log: not a regular file" fifo.log.view || fail "the FIFO: $(cat fifo.log.view)"

echo "== Ctrl+C while the log grows faster than the watch reads"
lines 'Q down' 'Q up' >chunk && for _ in $(seq 16); do cat chunk chunk >chunk2 && mv chunk2 chunk; done
# 0.9 MB every 20 ms, some 45 MB/s: more than the sanitized build reads.
: >fast.log && (while [ ! -e stop ]; do cat chunk >>fast.log && sleep 0.02; done) &
writer=$! && pids+=($writer)
watch fast.log && sleep 2 && kill -INT "$w" && ended 1 3
touch stop && wait "$writer"
echo "ok: the report kept every file and read every log as it should"
