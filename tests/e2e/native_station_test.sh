#!/usr/bin/env bash
# The station's window on Xvfb under openbox, a board of four keys: seven
# units in one run, their serials typed after each verdict (one empty),
# the results file's rows and the log's lines exact, each unit judged by
# the report from its own lines. Unit 1 every key: PASS, green, then the
# window cleared; unit 2 Q bounced 5 ms: FAIL at once; unit 3 two keys and
# the Fail unit button clicked (found by its colour): FAIL naming the
# others; unit 4 its keyboard unplugged (xinput disable) mid-test: FAIL,
# and plugged in again (enable) while it waits: the next unit, without
# Enter; unit 5 PASS, its row not written while a folder is at the
# results file's name (said on the notice line, the unit waiting, Enter
# trying again); unit 6 PASS, then a new master keyboard (xinput
# create-master) starts unit 7 and names it; the window closed while unit
# 7 waits keeps its row. Refused with one line, status 2 and no window: a bad name, a
# second copy of the station in the same folder, a link at the results
# file's name.
set -euo pipefail
KC_KEEP_GOING=1
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
trap 'xinput remove-master "kcplug pointer" 2>/dev/null || true; kc_native_down' EXIT
kc_native_up
setxkbmap -model pc104 -layout us
LOG=Corvanekeyboardchecker.log
dir=$(fresh station)
cat >"$dir/four.json" <<'JSON'
{"name": "four", "title": "Four keys", "keys": [
  {"code": "0x10", "label": "Q", "x": 0, "y": 0},
  {"code": "0x11", "label": "W", "x": 1, "y": 0},
  {"code": "0x12", "label": "E", "x": 2, "y": 0},
  {"code": "0x13", "label": "R", "x": 3, "y": 0}]}
JSON

shot() { sleep 0.2 && import -window root -crop "${cw}x$ch+$cx+$cy" +repage "$dir/$1.png"; }
# count SHOT COLOUR: its pixels of that colour; box: "W H X Y" round them.
count() {
  convert "$dir/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
box() {
  convert "$dir/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%@\n' info: | tr 'x+' '  '
}
# seen SHOT COLOUR WHAT / unseen ...: some (no) pixels of that colour.
seen() { [ "$(count "$1" "$2")" -gt 20 ] || kc_fail "$1: $3"; }
unseen() { [ "$(count "$1" "$2")" = 0 ] || kc_fail "$1: $3"; }
# await TEXT: the log has a line starting with TEXT (within 10 s).
await() { kc_wait_for 10 grep -q "^$1" "$dir/$LOG" || kc_fail "no \"$1\" in the log"; }
GREEN='#008000' RED='#E00000' BLUE='#3C8CD0' BUTTON='#FFA0A0'
# serial TEXT KEY...: typed, then the keys by name.
serial() {
  [ -z "$1" ] || xdotool type --delay 30 "$1"
  [ $# = 1 ] || xdotool key --delay 30 "${@:2}"
  sleep 0.2
}

echo "== seven units: PASS, chatter, Fail unit, unplugged, plugged in, a row not written, a new keyboard"
kc_native_start "$dir" --board four.json --station line-2
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
kc_press 24 25 26 27 && await "Unit 1 : PASS" && shot pass
seen pass "$GREEN" "no green PASS"
serial SN-0001 Return && await "Unit 2 : start" && shot cleared
unseen cleared "$GREEN" "the PASS stayed after Enter"
unseen cleared "$BLUE" "unit 1's keys still shown tested"
seen cleared "$BUTTON" "no Fail unit button"
"$KC_BURST" d24 u24 p5 d24 u24 && await "Unit 2 : FAIL" && shot chatter
seen chatter "$RED" "no red FAIL on chatter"
unseen chatter "$BUTTON" "the button still live after the verdict"
serial '' Return && await "Unit 3 : start"
kc_press 24 25
read -r bw bh bx by < <(box cleared "$BUTTON")
xdotool mousemove $((cx + bx + bw / 2)) $((cy + by + bh / 2)) click 1 &&
  await "Unit 3 : FAIL" && shot gave-up
seen gave-up "$RED" "no red FAIL after Fail unit"
unseen gave-up "$BUTTON" "the button still live after Fail unit"
serial 'A,7' BackSpace 8 KP_Enter && await "Unit 4 : start"
kc_press 24 && xinput disable "Xvfb keyboard" && await "Unit 4 : FAIL"
serial U4
xinput enable "Xvfb keyboard" && await "Unit 5 : start"
kc_press 24 25 26 27 && await "Unit 5 : PASS" && shot pass5
seen pass5 "$GREEN" "no PASS in unit 5"
# The results file gone from its name, a folder there instead: the row
# cannot be written, the notice line (the window's last 24 pixels) says
# so and the unit waits; once the folder goes, Enter writes it anew.
rows=$dir/keyboard-results-line-2.csv
mv "$rows" "$rows.moved" && mkdir "$rows"
serial '' Return && serial '' Return && shot blocked
! grep -q '^Unit 6 ' "$dir/$LOG" || kc_fail "the next unit started without its row written"
notice() { # the dark pixels of the notice line
  convert "$dir/$1.png" -crop "${cw}x24+0+$((ch - 24))" +repage -colorspace gray \
    -threshold 50% -negate -format '%[fx:int(mean*w*h+0.5)]' info:
}
[ "$(notice pass5)" = 0 ] && [ "$(notice blocked)" -gt 20 ] || kc_fail "no notice of the row not written"
rmdir "$rows" && serial '' Return && await "Unit 6 : start"
kc_press 24 25 26 27 && await "Unit 6 : PASS"
serial Z8
xinput create-master kcplug && await "Unit 7 : start"
kc_press 24 25 26 27 && await "Unit 7 : PASS"
serial Z9
kc_native_end close-box

T='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}'
[ "$(head -c 3 "$rows" | od -An -tx1 | tr -d ' ')" = efbbbf ] &&
  [ "$(grep -vc $'\r$' "$rows")" = 0 ] || kc_fail "not UTF-8 with a BOM and CR LF: $rows"
got=$({ cat "$rows.moved" && tail -n +2 "$rows"; } | sed '1s/^\xEF\xBB\xBF//' | tr -d '\r' |
  sed -E "s/^$T,/T,/; s/,[0-9]+(\.[0-9]+)?,([^,]*)$/,S,\2/; s/Q:[0-9]\.[0-9]/Q:g/")
expected="time,station,board,unit,serial,verdict,tested,of,untested,chatter,held,seconds,keyboard
T,line-2,four,1,SN-0001,PASS,4,4,,,,S,Xvfb keyboard
T,line-2,four,2,,FAIL,0,4,W E R,Q:g,Q,S,Xvfb keyboard
T,line-2,four,3,\"A,8\",FAIL,2,4,E R,,,S,Xvfb keyboard
T,line-2,four,4,U4,FAIL,1,4,W E R,,,S,Xvfb keyboard
T,line-2,four,5,,PASS,4,4,,,,S,Xvfb keyboard
T,line-2,four,5,,PASS,4,4,,,,S,Xvfb keyboard
T,line-2,four,6,Z8,PASS,4,4,,,,S,Xvfb keyboard
T,line-2,four,7,Z9,PASS,4,4,,,,S,kcplug XTEST keyboard"
[ "$got" = "$expected" ] || kc_fail "rows differ: $(diff <(echo "$expected") <(echo "$got"))"
# Unit 2's gap is the server's, in whole ms: 4 to 6.
grep -qE ',Q:[4-6]\.0,' "$rows.moved" || kc_fail "unit 2's gap: $(grep ',2,' "$rows.moved")"

# The log: each unit's keys between its own lines, none typed in a serial.
log=$dir/$LOG
sed 1d "$log" | awk '{ sub(/\r$/, "") } /^Keyboard type/ { next }
  { if ($NF !~ /^[0-9]+$/ || $NF + 0 < t) exit 1; t = $NF + 0 }' ||
  kc_fail "times missing or going back in $log"
head -n 1 "$log" | grep -qE $'^Board test : four [0-9a-f]{16} chatter 30 station line-2\r$' ||
  kc_fail "opening line: $(head -n 1 "$log")"
all=(Q\ {down,up} W\ {down,up} E\ {down,up} R\ {down,up})
lines=("Unit 1 : start" "${all[@]}" "Unit 1 : PASS" "Unit 2 : start" "Q down"
  "Q up" "Q down" "Unit 2 : FAIL" "Unit 3 : start" Q\ {down,up} W\ {down,up}
  "Unit 3 : FAIL" "Unit 4 : start" Q\ {down,up} "Unit 4 : FAIL"
  "Unit 5 : start" "${all[@]}" "Unit 5 : PASS" "Unit 6 : start" "${all[@]}"
  "Unit 6 : PASS" "Unit 7 : start" "${all[@]}" "Unit 7 : PASS"
  "Keyboard type : Four keys / board four")
diff <(printf '%s\n' "${lines[@]}") <(sed -E '1d; s/\r$//; s/ [0-9]+$//' "$log") >&2 ||
  kc_fail "log lines differ in $log"
for unit in "1 0 PASS" "2 1 FAIL" "3 1 FAIL" "4 1 FAIL" "7 0 PASS"; do
  read -r n want verdict <<<"$unit"
  status=0
  (cd "$dir" && "$KC_REPORT" --board four.json --unit "$n" "$LOG") >"$dir/unit$n" 2>&1 || status=$?
  [ "$status" = "$want" ] && grep -qx "Verdict: $verdict" "$dir/unit$n" &&
    grep -q "the station's verdict $verdict" "$dir/unit$n" ||
    kc_fail "report on unit $n: status $status: $(head -n 3 "$dir/unit$n")"
done

echo "== refused: a bad name, a second copy of the station, a link at its results file"
kc_native_start "$dir" --board four.json --station line-2
cp "$log" "$dir/before.log"
ln -s before.log "$dir/keyboard-results-linked.csv"
for name in "bad name!" line-2 linked; do
  status=0
  (cd "$dir" && exec timeout 10 "$KC_CHECKER" --board four.json --station "$name") 2>"$dir/err" || status=$?
  [ "$status" = 2 ] && [ "$(wc -l <"$dir/err")" = 1 ] && grep -q '^keyboard-checker: ' "$dir/err" ||
    kc_fail "--station '$name': status $status, said: $(cat "$dir/err")"
  [ "$(xdotool search --name "^$TITLE\$" | wc -l)" = 1 ] || kc_fail "'$name' showed a window"
  cmp -s "$log" "$dir/before.log" || kc_fail "'$name' touched the running station's log"
done
grep -q 'keyboard-results-linked.csv' "$dir/err" && [ -L "$dir/keyboard-results-linked.csv" ] ||
  kc_fail "the link: $(cat "$dir/err")"
kc_native_end TERM
kc_done "ok: the station's window"
