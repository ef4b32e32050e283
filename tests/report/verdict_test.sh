#!/usr/bin/env bash
# The real report on board runs' logs made from the preset files
# themselves: every key down and up gives PASS and status 0; a key left
# out, one held at the end or one bouncing gives FAIL naming it and status
# 1. Board files that are wrong, and boards it cannot know, give one line
# and status 2 with nothing written.
set -euo pipefail
report=$(realpath "$1")
boards=$(realpath "$(dirname "$0")/../../keymodel/boards")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*" && cat out err 2>/dev/null; exit 1; }
labels() { python3 -c 'import json,sys; print("\n".join(k["label"] for k in json.load(open(sys.argv[1]))["keys"]))' "$1"; }
# board_log BOARD [SKIP]: every key but SKIP pressed once, 100 ms apart.
board_log() {
  local ms=0 title
  title=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["title"])' "$boards/$1.json")
  while IFS= read -r label; do
    [ "$label" = "${2-}" ] && continue
    printf '%s down %d\r\n%s up %d\r\n' "$label" $((ms += 100)) "$label" $((ms += 50))
  done < <(labels "$boards/$1.json")
  printf 'Keyboard type : %s / board %s\r\n' "$title" "$1"
}
run() { # STATUS ARGS...: the report's status must be STATUS
  local status=0
  "$report" "${@:2}" >out 2>err || status=$?
  [ "$status" = "$1" ] || fail "status $status, not $1, for ${*:2}"
}

for board in ansi104 iso105 jis109 abnt2 ko106 ansi87; do
  board_log "$board" >full.log
  run 0 full.log
  head -n 1 out | grep -qx 'Verdict: PASS' || fail "$board: no PASS"
  grep -q "^Board: $board, .*, from the closing line\$" out || fail "$board: board"
  board_log "$board" LWin >part.log
  run 1 part.log
  [ "$(head -n 2 out)" = $'Verdict: FAIL\n  untested (1): LWin' ] || fail "$board: LWin not untested"
done
# Held at the end, and chatter from the log's own times; --chatter moves it.
{ board_log iso105 | sed '$d' && printf '<> down 100000\r\n<> up 100020\r\n<> down 100026\r\n' &&
  printf 'Keyboard type : ISO 105-key (Europe) / board iso105\r\n'; } >bad.log
run 1 bad.log
[ "$(head -n 3 out)" = $'Verdict: FAIL\n  held at the end (1): <>\n  chatter (1): <>' ] || fail "held and chatter"
run 1 --json --chatter 5 bad.log
grep -q '"reasons":{"untested":\[\],"held":\["<>"\],"chatter":\[\]}' out || fail "--chatter 5"
# A classic log of every key but keypad = and , passes against its own board.
board_log us101 | sed '$d' | sed -E 's/ [0-9]+\r$/\r/' >classic.log
printf 'Keyboard type : PC/AT like US English keyboard / DirectX\r\n' >>classic.log
run 0 classic.log
head -n 1 out | grep -qx 'Verdict: PASS' || fail "classic us101"
run 0 --board ansi87 --boards
[ "$(wc -l <out)" = 10 ] && grep -qx 'jis91     91 keys  JIS 91-key tenkeyless (Japan)' out || fail "--boards"

# Board files: one line naming the file, the place and the problem.
cp "$boards/ansi87.json" mine.json
run 1 --board mine.json part.log # ansi87's log without LWin
bad() { # NAME MESSAGE PYTHON: the edit of mine.json, then the message
  python3 -c "import json; b=json.load(open('mine.json')); $3; json.dump(b, open('$1.json','w'))"
  run 2 --board "$1.json" --html x.html part.log
  [ "$(cat err)" = "keyboard-report: $1.json: $2" ] && [ ! -s out ] && [ ! -e x.html ] ||
    fail "$1: $(cat err)"
}
bad twice 'keys[5] "F5" (line 1): scan code 0x3B is also keys[1] "F1" (line 1)' 'b["keys"][5]["code"]="0x3B"'
bad same 'keys[2] "F1" (line 1): label is also keys[1] "F1" (line 1)'"'"'s' 'b["keys"][2]["label"]="F1"'
bad over 'keys[2] "F2" (line 1): overlaps keys[1] "F1" (line 1)' 'b["keys"][2]["x"]=2.5'
bad unknown 'keys[0] "Esc" (line 1): unknown field "colour"' 'b["keys"][0]["colour"]=1'
bad missing 'top level: missing field "title"' 'del b["title"]'
bad updown 'keys[3] "F3 up" (line 1): label: ends in " down" or " up"' 'b["keys"][3]["label"]="F3 up"'
printf '{"name": "x",\n  "keys": [}\n' >broken.json
run 2 --board broken.json part.log
grep -qx 'keyboard-report: broken.json: line 2, column 12: not JSON (.*)' err || fail "not JSON: $(cat err)"
run 2 --board nosuch part.log
grep -qx 'keyboard-report: nosuch: neither a preset board nor a file' err || fail "nosuch"
sed '$s/board ansi87/board mine/' part.log >mine.log
run 2 mine.log
grep -q 'the log is of the board "mine", which is no preset' err || fail "unknown board"
echo "PASS and FAIL on six presets, held, chatter, --boards and bad board files as expected"
