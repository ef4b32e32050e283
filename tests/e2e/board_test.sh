#!/usr/bin/env bash
# Board mode of the real checker under Wine, real keys from xdotool: every
# key of ansi104 and iso105, taken from the boards' own files, gives one
# down and one up line with its time (ansi104's while the window's hook
# keeps the shell's keys from another program); the keycaps' colours (tested, held,
# never pressed, chatter) and the verdict on screen; a bad board gives a
# message box, status 2 and no log. Wine delivers every key of these two
# boards on the US keymap; it cannot deliver the ABNT2 "/?" key, the
# Korean Hangul and Hanja keys (nothing arrives) nor the ABNT2 keypad
# separator (it arrives as keypad "."), so abnt2 and ko106 run only on
# real Windows.
set -euo pipefail
here=$(dirname "$0")
. "$here/../../tools/checker.sh"
. "$here/keys.sh"
. "$here/board_run.sh"
wide_desktop

echo "== ansi104: colours while testing, every key, the shell's kept; Wine's Scroll Lock"
dir=$(fresh ansi104)
start_recorder "$dir"
run_board "$dir" ansi104
kc_press 24 && xdotool keydown 38 sleep 0.4
import -window root "$dir/testing.png"
xdotool keyup 38
fill ansi104 testing Q '#3C8CD0' "tested is not blue"
fill ansi104 testing A '#FF961E' "held is not orange"
fill ansi104 testing W '#DCDCDC' "never pressed is not grey"
# Before any verdict the verdict line says where the log is, in black.
px testing "$VERDICT" '#000000' -gt 20 "no log place on the verdict line"
# The labels in their colours, and "\\" in the Western face: "/"
# mirrored, where the Japanese face draws a yen sign.
crop() { # SHOT LABEL OUT: the inside of that ansi104 keycap
  local box=($(cap ansi104 "$2"))
  convert "$dir/$1.png" -crop "${box[2]}x${box[3]}+${box[0]}+${box[1]}" +repage "$dir/$3.png"
}
for check in "Q #FFFFFF" "A #000000" "W #505050"; do
  read -r label colour <<<"$check"
  crop testing "$label" "label-$label"
  [ "$(convert "$dir/label-$label.png" -fill black +opaque "$colour" -fill white -opaque "$colour" \
    -format '%[fx:int(mean*w*h+0.5)]' info:)" -gt 3 ] || kc_fail "no $colour label on $label"
done
crop testing '\\' backslash && crop testing / slash
for ink in backslash slash; do
  convert "$dir/$ink.png" -colorspace gray -threshold 50% -negate -trim +repage "$dir/$ink-ink.png"
done
convert "$dir/slash-ink.png" -flop "$dir/slash-ink.png"
[ "$(identify -format %wx%h "$dir/backslash-ink.png")" = "$(identify -format %wx%h "$dir/slash-ink.png")" ] &&
  [ "$(compare -metric AE "$dir/backslash-ink.png" "$dir/slash-ink.png" null: 2>&1 || true)" -le \
    $(($(identify -format '%w*%h' "$dir/slash-ink.png") / 6)) ] ||
  kc_fail "the backslash is not drawn as \"/\" mirrored: not in the Western face"
board_keys ansi104
all_keys "${KEYS[@]}"
sleep 0.3 && import -window root "$dir/done.png"
# Every keycap tested, none held. Scroll Lock's second press may come
# soon enough to be chatter; the board file below leaves Scroll Lock out.
board="$CX $CY $WIDTH $((16 + 13 * UNIT / 2))"
px done "$board" '#DCDCDC' -eq 0 "a keycap never pressed"
px done "$board" '#FF961E' -eq 0 "a keycap held"
px done "$board" '#3C8CD0' -gt $((104 * UNIT * UNIT / 3)) "keycaps not blue"
frame done ansi104 Q -eq
# The Windows keys, Menu and Print Screen reached the log, not the shell.
kept_from_recorder "$dir" 5B 5C 5D 2C
stop_recorder
kc_app_close
expect_board_log "$dir" "Keyboard type : ANSI 104-key (US) / board ansi104" \
  "Q down" "Q up" "A down" "A up" "${LINES[@]}"
# The report knows the board from the closing line alone.
report "$dir" && [ "$status" = 0 ] || grep -qx '  chatter (1): Scrl' "$dir/report.out" ||
  kc_fail "report on ansi104, status $status: $(head -n 3 "$dir/report.out")"

echo "== a board file (iso105 but Scroll Lock): the ISO key, PASS, a bounce"
dir=$(fresh file)
sed '/"label": "Scrl"/d; s/"iso105"/"mine"/; s/"title": "[^"]*"/"title": "Mine"/' \
  "$boards/iso105.json" >"$dir/mine.json"
run_board "$dir" mine.json
board_keys iso105
for i in "${!KEYS[@]}"; do [ "${KEYS[i]}" != 78=Scrl ] || unset "KEYS[i]"; done
all_keys "${KEYS[@]}"
sleep 0.3 && import -window root "$dir/pass.png"
px pass "$VERDICT" '#008000' -gt 20 "no green PASS"
xdotool keydown 24 keyup 24 keydown 24 keyup 24 sleep 0.4
import -window root "$dir/bounce.png"
frame bounce mine Q
px bounce "$VERDICT" '#E00000' -gt 20 "no red FAIL"
# A held key that bounces is held again at once: its fill stays orange
# and the red frame alone is new.
xdotool keydown 25 sleep 0.4 keyup --delay 0 25 keydown --delay 0 25 sleep 0.4
import -window root "$dir/heldbounce.png"
xdotool keyup 25
fill mine heldbounce W '#FF961E' "the bounced key is not held"
frame heldbounce mine W
kc_app_close
expect_board_log "$dir" "Keyboard type : Mine / board mine" \
  "${LINES[@]}" "Q down" "Q up" "Q down" "Q up" "W down" "W up" "W down" "W up"
report "$dir" --board mine.json && [ "$status" = 1 ] &&
  grep -qx '  chatter (2): Q W' "$dir/report.out" || kc_fail "report on the bounce: $status"
log=$dir/Corvanekeyboardchecker.log
{ head -n -9 "$log" && tail -n 1 "$log"; } >"$dir/pass.log" # without the bounces
report "$dir" --board mine.json pass.log && [ "$status" = 0 ] || kc_fail "no PASS: $status"

echo "== a bad board: a message box, status 2, no log"
dir=$(fresh bad)
# No such board; a number no double holds; a folder; a key too narrow in
# a file whose name is not ASCII, named in the message as it is.
printf '{"name":"t","title":"T","keys":[{"code":1,"label":"A","x":1e999,"y":0}]}' >"$dir/huge.json"
printf '{"name":"t","title":"T","keys":[{"code":1,"label":"A","x":0,"y":0,"w":0.2}]}' >"$dir/bäd.json"
mkdir "$dir/folder.json"
declare -A says=(
  [nosuch]="nosuch: neither a preset board nor a file"
  [huge.json]="huge.json: line 1, column 59: 1e999 is too large a number"
  [folder.json]="folder.json: a folder, not a board file"
  [bäd.json]='bäd.json: keys[0] "A" (line 1): w: below 0.25')
for board in "${!says[@]}"; do
  (cd "$dir" && LC_ALL=C.UTF-8 exec wine "$KC_EXE" --board "$board") >"$dir.wine.out" 2>&1 &
  APP_PID=$!
  kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "no message box for $board"
  said=$(wine "$KC_TOOL" text "$TITLE" | tr -d '\r') || true
  [ "$said" = "${says[$board]}" ] || kc_fail "$board: the message box says \"$said\""
  wine "$KC_TOOL" close "$TITLE" >/dev/null
  status=0 && wait "$APP_PID" || status=$?
  APP_PID=
  [ "$status" = 2 ] && [ "$(ls -A "$dir" | xargs)" = "bäd.json folder.json huge.json" ] ||
    kc_fail "$board: status $status, files: $(ls "$dir")"
done
rm -r "$dir/huge.json" "$dir/folder.json" "$dir/bäd.json"
# The largest board a file may have, on a desktop too small for it even
# at the smallest font: refused as a bad board, before any log.
wine reg add "$desktops" /v kc /d 640x480 /f >/dev/null 2>&1 && wineserver -w
python3 -c '
import json
keys = [{"code": i + 1, "label": "k%d" % i, "x": i, "y": 0} for i in range(40)]
keys.append({"code": 41, "label": "far", "x": 39, "y": 19})
json.dump({"name": "large", "title": "Large", "keys": keys}, open("'"$dir"'/large.json", "w"))'
(cd "$dir" && exec wine "$KC_EXE" --board large.json) >"$dir.wine.out" 2>&1 &
APP_PID=$!
kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "no message box for a board too large"
said=$(wine "$KC_TOOL" text "$TITLE" | tr -d '\r') || true
[ "$said" = "large.json: the board does not fit this screen even at the smallest font" ] ||
  kc_fail "too large: the message box says \"$said\""
wine "$KC_TOOL" close "$TITLE" >/dev/null
status=0 && wait "$APP_PID" || status=$?
APP_PID=
[ "$status" = 2 ] && [ "$(ls -A "$dir")" = large.json ] || kc_fail "too large: status $status, files: $(ls "$dir")"
echo "ok: board mode under Wine"
