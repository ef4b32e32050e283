#!/usr/bin/env bash
# The station's window under Wine, a board of four keys: unit 1 every key
# (PASS, green), its serial typed through WM_CHAR; unit 2 one key, then the
# Fail unit button clicked (found by its colour): FAIL in red naming the
# rest, the button grey; its serial erased and typed again; the window
# closed while unit 3 is under test, which gets no row. The results rows
# and the log's lines exact, the keys typed in a serial logged nowhere;
# the unit's keyboard named from the one the system lists. A bad station
# name: a message box, status 2, nothing written.
set -euo pipefail
here=$(dirname "$0")
. "$here/../../tools/checker.sh"
. "$here/keys.sh"
trap kc_cleanup EXIT
KC_KEEP_GOING=1
dir=$(fresh station)
cat >"$dir/four.json" <<'JSON'
{"name": "four", "title": "Four keys", "keys": [
  {"code": "0x10", "label": "Q", "x": 0, "y": 0},
  {"code": "0x11", "label": "W", "x": 1, "y": 0},
  {"code": "0x12", "label": "E", "x": 2, "y": 0},
  {"code": "0x13", "label": "R", "x": 3, "y": 0}]}
JSON
shot() { sleep 0.3 && import -window root "$dir/$1.png"; }
count() {
  convert "$dir/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
seen() { [ "$(count "$1" "$2")" -gt 20 ] || kc_fail "$1: $3"; }
unseen() { [ "$(count "$1" "$2")" = 0 ] || kc_fail "$1: $3"; }
BUTTON='#FFA0A0'
# await TEXT: the log has a line starting with TEXT (within 10 s).
await() {
  kc_wait_for 10 grep -q "^$1" "$dir/Corvanekeyboardchecker.log" || kc_fail "no \"$1\" in the log"
}

kc_app_start "$dir" --board four.json --station wine-1
kc_wait_for 20 sh -c "xwininfo -id $APP_WIN | grep -q IsViewable" ||
  kc_fatal "the station's window never showed"
kc_app_focus
kc_press 24 25 26 27 && await "Unit 1 : PASS" && shot pass
seen pass '#008000' "no green PASS"
xdotool type --delay 40 "W-1" && xdotool key Return && await "Unit 2 : start" && shot next
unseen next '#008000' "the PASS stayed after Enter"
seen next "$BUTTON" "no Fail unit button"
kc_press 24
read -r bw bh bx by < <(convert "$dir/next.png" -fill black +opaque "$BUTTON" \
  -fill white -opaque "$BUTTON" -format '%@\n' info: | tr 'x+' '  ')
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2)) click 1 && await "Unit 2 : FAIL" &&
  shot gave-up
seen gave-up '#E00000' "no red FAIL after Fail unit"
unseen gave-up "$BUTTON" "the button still live after its click"
xdotool type --delay 40 "x" && xdotool key BackSpace && xdotool type --delay 40 "W2" &&
  xdotool key KP_Enter && await "Unit 3 : start"
kc_press 25 && sleep 0.3
kc_app_close

T='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}'
got=$(sed '1s/^\xEF\xBB\xBF//' "$dir/keyboard-results-wine-1.csv" | tr -d '\r' |
  sed -E "s/^$T,/T,/; s/,[0-9]+(\.[0-9]+)?,([^,]*)$/,S,\2/")
# Wine lists one keyboard, a HID device of its own: the unit's keyboard.
kbd='HID#VID_845E&PID_0002'
expected="time,station,board,unit,serial,verdict,tested,of,untested,chatter,held,seconds,keyboard
T,wine-1,four,1,W-1,PASS,4,4,,,,S,$kbd
T,wine-1,four,2,W2,FAIL,1,4,W E R,,,S,$kbd"
[ "$got" = "$expected" ] || kc_fail "rows differ: $(diff <(echo "$expected") <(echo "$got"))"
all=(Q\ {down,up} W\ {down,up} E\ {down,up} R\ {down,up})
lines=("Board test : four" "Unit 1 : start" "${all[@]}" "Unit 1 : PASS"
  "Unit 2 : start" Q\ {down,up} "Unit 2 : FAIL" "Unit 3 : start" W\ {down,up}
  "Keyboard type : Four keys / board four")
diff <(printf '%s\n' "${lines[@]}") <(sed -E 's/\r$//; s/ [0-9]+$//;
  1s/ [0-9a-f]{16} chatter 30 station wine-1$//' "$dir/Corvanekeyboardchecker.log") >&2 ||
  kc_fail "log lines differ"

# A station's name that breaks the rule: said in a box, nothing written.
bad=$(fresh station-bad)
cp "$dir/four.json" "$bad/"
(cd "$bad" && exec wine "$KC_EXE" --board four.json --station "bad name!") >"$bad.wine.out" 2>&1 &
APP_PID=$!
kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "no message box for a bad name"
wine "$KC_TOOL" close "$TITLE" >/dev/null
status=0 && wait "$APP_PID" || status=$?
APP_PID=
[ "$status" = 2 ] && [ "$(ls -A "$bad")" = four.json ] || kc_fail "a bad name: status $status, files: $(ls "$bad")"
kc_done "ok: the station's window under Wine"
