#!/usr/bin/env bash
# The real report on board runs' logs made from the preset files
# themselves: every key down and up gives PASS and status 0; a key left
# out, one held at the end or one bouncing gives FAIL naming it and status
# 1. Opening lines name the board by fingerprint and set the chatter time;
# a log naming no board never passes. Board files that are wrong, and
# boards it cannot know, give one line and status 2 with nothing written.
#   verdict_test.sh REPORT BOARD_FINGERPRINT
set -euo pipefail
report=$(realpath "$1") fingerprint=$(realpath "$2")
boards=$(realpath "$(dirname "$0")/../../keymodel/boards")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*" && cat out err 2>/dev/null; exit 1; }
field() { python3 -c "import json,sys; b=json.load(open(sys.argv[1])); print($2)" "$1"; }
# board_log FILE [SKIP]: every key of the board file but SKIP pressed once,
# 100 ms apart, and the closing line.
board_log() {
  local ms=0 label
  while IFS= read -r label; do
    [ "$label" = "${2-}" ] && continue
    printf '%s down %d\r\n%s up %d\r\n' "$label" $((ms += 100)) "$label" $((ms += 50))
  done < <(field "$1" '"\n".join(k["label"] for k in b["keys"])')
  printf 'Keyboard type : %s / board %s\r\n' "$(field "$1" 'b["title"]')" "$(field "$1" 'b["name"]')"
}
# edited OUT FROM PYTHON: the board file FROM as PYTHON changes it.
edited() { python3 -c "import json; b=json.load(open('$2')); $3; json.dump(b, open('$1','w'))"; }
run() { # STATUS ARGS...: the report's status must be STATUS
  local status=0
  "$report" "${@:2}" >out 2>err || status=$?
  [ "$status" = "$1" ] || fail "status $status, not $1, for ${*:2}"
}

for board in ansi104 iso105 jis109 abnt2 ko106 ansi87; do
  board_log "$boards/$board.json" >full.log
  run 0 full.log
  head -n 1 out | grep -qx 'Verdict: PASS' || fail "$board: no PASS"
  grep -q "^Board: $board, .*, from the closing line\$" out || fail "$board: board"
  board_log "$boards/$board.json" LWin >part.log
  run 1 part.log
  [ "$(head -n 2 out)" = $'Verdict: FAIL\n  untested (1): LWin' ] || fail "$board: LWin not untested"
done
# Held at the end, and chatter from the log's own times; --chatter moves it.
{ board_log "$boards/iso105.json" | sed '$d' && printf '<> down 100000\r\n<> up 100020\r\n<> down 100026\r\n' &&
  printf 'Keyboard type : ISO 105-key (Europe) / board iso105\r\n'; } >bad.log
run 1 bad.log
[ "$(head -n 3 out)" = $'Verdict: FAIL\n  held at the end (1): <>\n  chatter (1): <>' ] || fail "held and chatter"
run 1 --json --chatter 5 bad.log
grep -q '"reasons":{"untested":\[\],"held":\["<>"\],"chatter":\[\]}' out || fail "--chatter 5"
# A classic log of every key but keypad = and , passes against its own board.
board_log "$boards/us101.json" | sed '$d' | sed -E 's/ [0-9]+\r$/\r/' >classic.log
printf 'Keyboard type : PC/AT like US English keyboard / DirectX\r\n' >>classic.log
run 0 classic.log
head -n 1 out | grep -qx 'Verdict: PASS' || fail "classic us101"
# Alt+F4 closing the checker, found by its keys' codes in a board file that
# calls its Alt "Alt": F4 taken by the window manager, or logged too.
edited alt.json "$boards/ansi104.json" 'b["name"]="alt"; next(k for k in b["keys"] if k["code"]=="0x38")["label"]="Alt"'
for gesture in 'Alt down 90000\r\n' 'Alt down 90000\r\nF4 down 90010\r\n'; do
  { board_log alt.json | sed '$d' && printf "$gesture" && board_log alt.json | tail -n 1; } >alt.log
  run 0 --board alt.json alt.log
done
# A board run's opening line: its board by name and fingerprint, and its
# chatter time, which --chatter overrides.
opened() { # FILE CHATTER LOG: the opening line a run of that board writes, then LOG
  printf 'Board test : %s %s chatter %s\r\n' "$(field "$1" 'b["name"]')" "$("$fingerprint" "$1")" "$2"
  cat "$3"
}
{ board_log "$boards/iso105.json" | sed '$d' && printf '<> down 100000\r\n<> up 100020\r\n' &&
  printf '<> down 100060\r\n<> up 100100\r\n' && board_log "$boards/iso105.json" | tail -n 1; } >bounce.log
opened "$boards/iso105.json" 50 bounce.log >b50.log
run 1 b50.log
[ "$(head -n 2 out)" = $'Verdict: FAIL\n  chatter (1): <>' ] && grep -q '^Board: iso105, .*opening line$' out ||
  fail "chatter 50 from the log"
run 0 --chatter 30 b50.log
# A board file that took a preset's name is not that preset; its file judges.
edited ansi104.json "$boards/ansi104.json" 'b["keys"].append({"code": "0x56", "label": "<>", "x": 0, "y": 7})'
board_log ansi104.json >own.log && opened ansi104.json 30 own.log >named.log
run 2 named.log
[ "$(cat err)" = 'keyboard-report: named.log: the log'"'"'s board "ansi104" is not the preset of that name but a file that took it: name its file with --board' ] ||
  fail "a preset's name borrowed"
run 0 --board ansi104.json named.log
# No opening and no closing line: the board is not known, so no PASS.
board_log "$boards/ansi104.json" | sed '$d' >open.log
run 1 open.log
grep -qx '  the log names no board (it has no closing line): no PASS' out || fail "no board named"
run 1 --json open.log
jq -e '.verdict == "FAIL" and .reasons.boardNotNamed and .never == []' out >/dev/null || fail "JSON: no board named"
"$report" --watch --json open.log >out 2>err & watch=$!
for _ in $(seq 50); do grep -q 'Esc down' err && break; sleep 0.1; done
kill -INT "$watch" && status=0 && wait "$watch" || status=$?
[ "$status" = 1 ] && jq -e '.verdict == "FAIL"' out >/dev/null || fail "the watch ended by Ctrl+C: $status"
# Keys off the board never change the verdict; a preset that has them is named.
{ board_log "$boards/ansi104.json" | sed '$d' && printf '%s down 9000%d\r\n%s up 9000%d\r\n' '<>' 1 '<>' 2 \
  Hangul 3 Hangul 4 Mute 5 Mute 6 && board_log "$boards/ansi104.json" | tail -n 1; } >off.log
run 0 off.log
sed -n '/^Not on the board/,/^Pressed/p' out >list
[ "$(cat list)" = 'Not on the board (3, not counted):
  <> (2 lines): ISO 105-key (Europe) has it; try --board iso105
  Hangul (2 lines): Korean 106-key has it; try --board ko106
  Mute (2 lines)
Pressed more than once:' ] || fail "off the board: $(cat list)"
grep -q '<li><span class="key">&lt;&gt;</span> (2 lines): ISO 105-key (Europe) has it; try --board iso105</li>' \
  keyboard-report.html || fail "off the board in the HTML"
run 0 --json off.log
jq -e '.notOnBoard == {"<>": 2, "Hangul": 2, "Mute": 2} and .try == {"<>": "iso105", "Hangul": "ko106"}' out \
  >/dev/null || fail "off the board in the JSON"
run 0 --board ansi87 --boards
[ "$(wc -l <out)" = 10 ] && grep -qx 'jis91     91 keys  JIS 91-key tenkeyless (Japan)' out || fail "--boards"

# Board files: one line naming the file, the place and the problem.
cp "$boards/ansi87.json" mine.json
run 1 --board mine.json part.log # ansi87's log without LWin
bad() { # NAME MESSAGE PYTHON: the edit of mine.json, then the message
  edited "$1.json" mine.json "$3"
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
# A preset's own file to start from, byte for byte; a file or unknown name is no preset.
run 0 --board iso105 --print-board
cmp -s out "$boards/iso105.json" || fail "--print-board iso105"
for name in mine.json nosuch; do
  run 2 --board "$name" --print-board
  [ "$(cat err)" = "keyboard-report: --print-board: \"$name\" is no preset board (--boards lists them)" ] ||
    fail "--print-board $name"
done
echo "PASS and FAIL on six presets, held, chatter, --boards and bad board files as expected"
