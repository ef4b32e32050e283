#!/usr/bin/env bash
# Board mode of the native checker on Xvfb under openbox: a bad board or
# option is refused before anything is opened; ansi104, iso105 and jis109,
# each on its own XKB keymap, get every physical key pressed by X keycode
# and log one timed down and up per key under the board's labels, which
# the report passes, and fails with a key left out; ABNT2's and Korea's
# own keys, and none typed into another window; the keycaps' colours, the
# status line and the verdict on screen; a 5 ms bounce is chatter, a
# 100 ms one is not, unless --chatter says so.
set -euo pipefail
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
trap kc_native_down EXIT
kc_native_up
LOG=Corvanekeyboardchecker.log

# The keys as "X-keycode=label" (the board's UTF-8 labels).
nav_and_keypad=(Escape=Esc 67=F1 68=F2 69=F3 70=F4 71=F5 72=F6 73=F7 74=F8
  75=F9 76=F10 95=F11 96=F12 107=SysR 78=Scrl 127=Paus 118=Ins 110=Home
  112=PgUp 119=Del 115=End 117=PgDn 111=↑ 113=← 116=↓ 114=→ 77="NumPad NL"
  106="NumPad /" 63="NumPad *" 82="NumPad -" 79="NumPad 7" 80="NumPad 8"
  81="NumPad 9" 86="NumPad +" 83="NumPad 4" 84="NumPad 5" 85="NumPad 6"
  87="NumPad 1" 88="NumPad 2" 89="NumPad 3" 104="NumPad En" 90="NumPad 0"
  91="NumPad .")
windows_keys=(133=LWin 134=RWin 135=Menu)
ansi104=(49='`' "${digits[@]}" 20=- 21== 22=BS 23=Tab "${letters[@]}" 34=[
  35=] 51='\' 66=Cap 47=';' 48="'" 36=Ent 50=LShft 59=, 60=. 61=/ 62=RShft
  37=LCtrl 64=LAlt 65=Space 108=RAlt 105=RCtrl "${windows_keys[@]}"
  "${nav_and_keypad[@]}")
iso105=("${ansi104[@]}" 94='<>')
jis109=(49=漢 "${digits[@]}" 20=- 21=^ 132=Yen 22=BS 23=Tab "${letters[@]}"
  34=@ 35=[ 36=Ent 66=Cap 47=';' 48=: 51=] 50=LShft 59=, 60=. 61=/ 97=Ro
  62=RShft 37=LCtl 64=LAlt 102=無 65=Space 100=変 101=ｶﾅ 108=RAlt 105=RCtl
  "${windows_keys[@]}" "${nav_and_keypad[@]}")

# expect_report LOG STATUS PATTERN: the report's status and a line of it.
expect_report() {
  local status=0
  "$KC_REPORT" "$1" >"$1.report" 2>&1 || status=$?
  [ "$status" = "$2" ] && grep -q "$3" "$1.report" ||
    kc_fail "report on $1: status $status, wanted $2 and /$3/: $(head -n 5 "$1.report")"
}

shot() { import -window root -crop "${cw}x$ch+$cx+$cy" +repage "$dir/$1.png"; }
# box SHOT COLOUR: "W H X Y" of the smallest rectangle holding that colour.
box() {
  convert "$dir/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%@\n' info: | tr 'x+' '  '
}
count() {
  convert "$dir/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# status SHOT: the three lines under the board (16 pixels each, over the
# bottom margin of 8): the status line, the verdict's, the notice.
status() {
  convert "$dir/$1.png" -crop "${cw}x56+0+$((ch - 56))" +repage "$dir/$1-status.png"
}
same() { [ "$(compare -metric AE "$dir/$1-status.png" "$dir/$2-status.png" null: 2>&1 || true)" = 0 ]; }

echo "== a bad board or option: one line, status 2, no window, the old log kept"
dir=$(fresh bad)
printf 'an old log\r\n' >"$dir/$LOG"
printf '{"name": "mine", "keys": [' >"$dir/broken.json"
# Hostile files: a number no double holds, a FIFO nobody writes (opened,
# it would block for ever), a folder, and a name that would retitle a
# terminal if printed raw.
printf '{"name":"t","title":"T","keys":[{"code":1,"label":"A","x":1e999,"y":0}]}' >"$dir/huge.json"
mkfifo "$dir/fifo.json" && mkdir "$dir/folder.json"
cp "$dir/huge.json" "$dir/"$'\e]2;X\a.json'
for args in "--board nosuch" "--board broken.json" "--board" "--board ansi104 /jp" \
  "--board ansi104 --chatter 0" "--board ansi104 --chatter 5x" \
  "--chatter 40 --board ansi104 --board iso105" "--board ansi104 --legends us" \
  "--board huge.json" "--board fifo.json" "--board folder.json" "--board "$'\e]2;X\a.json'; do
  status=0
  (cd "$dir" && exec timeout 10 "$KC_CHECKER" $args) 2>"$dir/err" || status=$?
  ! grep -q $'\e' "$dir/err" || kc_fail "'$args': a raw escape reached the terminal"
  [ "$status" = 2 ] && [ "$(wc -l <"$dir/err")" = 1 ] && grep -q '^keyboard-checker: ' "$dir/err" ||
    kc_fail "'$args': status $status, said: $(cat "$dir/err")"
  [ "$(cat "$dir/$LOG")" = $'an old log\r' ] || kc_fail "'$args' touched the log"
done
said=$(cd "$dir" && "$KC_CHECKER" --board broken.json 2>&1 || true)
[[ $said == "keyboard-checker: broken.json: "* ]] || kc_fail "the bad file is not named: $said"
! kc_window_id "$TITLE" >/dev/null || kc_fail "a window for a bad board"

echo "== ansi104 on pc104/us: colours and status line, every key, the verdict"
setxkbmap -model pc104 -layout us
dir=$(fresh ansi104)
kc_native_start "$dir" --board ansi104
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
kc_press 24 25 && xdotool keydown 26 sleep 0.3
shot held
xdotool keyup 26 sleep 0.3
shot released
kc_press 24 && sleep 0.3
shot again
# Q and W tested side by side, E held right of them on the same row, Esc
# in the top left corner never pressed.
read -r tw th tx ty < <(box held '#3C8CD0')
read -r hw hh hx hy < <(box held '#FF961E')
read -r _ _ nx ny < <(box held '#DCDCDC')
[ "$ty $th" = "$hy $hh" ] && [ "$hx" -gt $((tx + tw)) ] &&
  [ $((tw - 2 * hw)) -ge 0 ] && [ $((tw - 2 * hw)) -le 6 ] ||
  kc_fail "tested ${tw}x$th+$tx+$ty, held ${hw}x$hh+$hx+$hy"
[ "$nx" -lt 20 ] && [ "$ny" -lt 20 ] || kc_fail "no untested keycap in the top left corner"
status held && status released
# The labels in their colours: white on the tested Q, black on the held E,
# dark grey on Esc, never pressed. And which face draws which: "\" in the
# Western face is "/" mirrored, where the Japanese face draws a yen sign.
unit=$(((cw - 16) * 2 / 45)) # 22.5 units wide, a margin of 8 each side
cap() { # SHOT X Y W OUT: the inside of the keycap at those key units
  local l t r b
  l=$(awk "BEGIN { printf \"%d\", 8 + int($2 * $unit + 0.5) + 3 }")
  t=$(awk "BEGIN { printf \"%d\", 8 + int($3 * $unit + 0.5) + 3 }")
  r=$(awk "BEGIN { printf \"%d\", 8 + int(($2 + $4) * $unit + 0.5) - 3 }")
  b=$(awk "BEGIN { printf \"%d\", 8 + int(($3 + 1) * $unit + 0.5) - 3 }")
  convert "$dir/$1.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$dir/$5.png"
}
ink() { convert "$dir/$1.png" -colorspace gray -threshold 50% -negate -trim +repage "$dir/$1-ink.png"; }
for check in "1.5 2.5 q #FFFFFF" "3.5 2.5 e #000000" "0 0 esc #505050"; do
  read -r x y name colour <<<"$check"
  cap held "$x" "$y" 1 "$name"
  [ "$(count "$name" "$colour")" -gt 3 ] || kc_fail "no $colour label on the $name keycap"
done
cap held 13.5 2.5 1.5 backslash && cap held 11.25 4.5 1 slash
ink backslash && ink slash && convert "$dir/slash-ink.png" -flop "$dir/slash-ink.png"
[ "$(identify -format %wx%h "$dir/backslash-ink.png")" = "$(identify -format %wx%h "$dir/slash-ink.png")" ] &&
  [ "$(compare -metric AE "$dir/backslash-ink.png" "$dir/slash-ink.png" null: 2>&1 || true)" -le 3 ] ||
  kc_fail "the backslash is not drawn as \"/\" mirrored: not in the Western face"
# Q down and up again: the window as it was, pixel for pixel (a label
# drawn over itself would come out thicker).
[ "$(compare -metric AE "$dir/released.png" "$dir/again.png" null: 2>&1 || true)" = 0 ] ||
  kc_fail "Q again, nothing changed, yet the window did"
! same held released || kc_fail "E let go, yet the status line stayed"
[ "$(count released '#008000')" = 0 ] || kc_fail "a verdict before every key was tested"
all_keys "${ansi104[@]}"
shot done
[ "$(count done '#008000')" -gt 20 ] || kc_fail "no PASS once every key was tested"
kc_native_end close-box
expect_board_log "$dir" Q\ {down,up} W\ {down,up} E\ {down,up} Q\ {down,up} \
  "${LINES[@]}" "Keyboard type : ANSI 104-key (US) / board ansi104"
expect_report "$dir/$LOG" 0 '^Verdict: PASS$'
grep -v '^Menu ' "$dir/$LOG" >"$dir/without-menu.log"
expect_report "$dir/without-menu.log" 1 '^  untested (1): Menu$'

echo "== iso105 on pc105/gb and jis109 on jp106/jp: every key"
for board in "iso105 pc105 gb ISO 105-key (Europe)" "jis109 jp106 jp JIS 109-key (Japan)"; do
  read -r name model layout title <<<"$board"
  setxkbmap -model "$model" -layout "$layout"
  dir=$(fresh "$name")
  kc_native_start "$dir" --board "$name"
  declare -n keys=$name
  all_keys "${keys[@]}"
  kc_native_end TERM
  expect_board_log "$dir" "${LINES[@]}" "Keyboard type : $title / board $name"
  expect_report "$dir/$LOG" 0 '^Verdict: PASS$'
done

echo "== ABNT2's and Korea's own keys on their keymaps"
setxkbmap -model abnt2 -layout br
dir=$(fresh abnt2)
kc_native_start "$dir" --board abnt2
all_keys 94='<>' 97='/?' 129='NumPad Sep'
kc_native_end TERM
expect_board_log "$dir" "${LINES[@]}" "Keyboard type : ABNT2 107-key (Brazil) / board abnt2"
setxkbmap -model pc105 -layout kr
dir=$(fresh ko106)
kc_native_start "$dir" --board ko106
# Its long labels (Hangul, Hanja) widen no key: the whole window fits a
# screen narrower than 1280.
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
[ "$cx" -ge 0 ] && [ $((cx + cw)) -le 1024 ] && [ $((cy + ch)) -le 768 ] && [ "$cw" -lt 1000 ] ||
  kc_fail "ko106's window ${cw}x$ch+$cx+$cy is not all on the screen"
all_keys 130=Hangul 131=Hanja 133=LWin
# Typed into another window, A is neither shown nor logged.
xmessage -geometry 300x60+40+40 "another window" &
other=$!
kc_wait_for 10 sh -c '! [ "$(xdotool getactivewindow)" = "'"$APP_WIN"'" ]' ||
  kc_fail "the other window never took the focus"
kc_press 38
kill "$other"
kc_native_focus || kc_fail "could not focus the checker again"
kc_native_end TERM
expect_board_log "$dir" "${LINES[@]}" "Keyboard type : Korean 106-key / board ko106"

echo "== keys off the board, the keymap's legends (pc105/de on ansi104), a key held at the end"
setxkbmap -model pc105 -layout de
# tested_cap SHOT OUT: the shot's one tested (blue) keycap.
tested_cap() {
  local w h x y
  read -r w h x y < <(box "$1" '#3C8CD0')
  convert "$dir/$1.png" -crop "${w}x$h+$x+$y" +repage "$2"
}
dir=$(fresh legends)
kc_native_start "$dir" --board ansi104
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
# The German Z, where the board and so the log have Y.
kc_press 29 && sleep 0.3
shot z && status z
tested_cap z "$dir/keymap-z.png"
# The key left of Z, which ansi104 lacks: logged under its own name and
# said on the notice line, never judged.
kc_press 94 && sleep 0.3
shot off && status off
! same z off || kc_fail "a key off the board left the lines under the board as they were"
# Held long enough for the server's auto-repeat: one down, one up. Sent
# by another client to the window, a key is not the keyboard's.
xdotool keydown 46 sleep 1.2 keyup 46 sleep 0.1
"$KC_BURST" s39 && sleep 0.2 || kc_fail "no made-up key sent"
xdotool keydown 38 sleep 0.2
kc_native_end TERM
xdotool keyup 38
expect_board_log "$dir" "Y down" "Y up" "<> down" "<> up" "L down" "L up" "A down" \
  "Keyboard type : ANSI 104-key (US) / board ansi104"
expect_report "$dir/$LOG" 1 '^  <> (2 lines): ISO 105-key (Europe) has it; try --board iso105$'
# The three numbers the window counts by, tested, held and left.
expect_report "$dir/$LOG" 1 '^Keys: tested 2 of 104, held 1, never pressed 101;'
# With the board's labels, the key the board calls Z: the same keycap.
kc_native_start "$dir" --board ansi104 --legends board
kc_press 52 && sleep 0.3
shot board-z
tested_cap board-z "$dir/board-z.png"
kc_native_end TERM
[ "$(compare -metric AE "$dir/keymap-z.png" "$dir/board-z.png" null: 2>&1 || true)" = 0 ] ||
  kc_fail "the German Z key's keycap is not the board's Z keycap"

echo "== the largest board a file may have: a smaller font on 1024 x 768, refused on 640 x 480"
dir=$(fresh large)
python3 -c '
import json
keys = [{"code": i + 1, "label": "k%d" % i, "x": i, "y": 0} for i in range(40)]
keys.append({"code": 41, "label": "far", "x": 39, "y": 19})
json.dump({"name": "large", "title": "Large", "keys": keys}, open("'"$dir"'/large.json", "w"))'
kc_native_start "$dir" --board large.json
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
[ "$cx" -ge 0 ] && [ "$cy" -ge 0 ] && [ $((cx + cw)) -le 1024 ] && [ $((cy + ch)) -le 768 ] ||
  kc_fail "the window ${cw}x$ch+$cx+$cy is not all on the screen"
kc_native_end TERM
cp "$dir/$LOG" "$dir/before"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
small=$!
kc_wait_for 10 test -s "$dir/display"
status=0
(cd "$dir" && DISPLAY=:$(cat "$dir/display") exec "$KC_CHECKER" --board large.json) 2>"$dir/err" || status=$?
kill "$small"
[ "$status" = 2 ] && grep -qx 'keyboard-checker: large: the board does not fit a 624 x 432 screen even at the smallest font' "$dir/err" ||
  kc_fail "on 640 x 480: status $status, said $(cat "$dir/err")"
cmp -s "$dir/$LOG" "$dir/before" || kc_fail "the refused run touched the log"

echo "== chatter: a 5 ms bounce is, a 100 ms one is not; --chatter 200 makes it one"
setxkbmap -model pc104 -layout us
declare -A red
for chatter in 30 200; do
  dir=$(fresh "chatter$chatter")
  kc_native_start "$dir" --board ansi104 --chatter "$chatter"
  # Without --delay 0 xdotool waits 12 ms after each key.
  bounce() { echo keydown --delay 0 "$1" keyup --delay 0 "$1" sleep "$2" keydown --delay 0 "$1" keyup --delay 0 "$1"; }
  # Sent while the checker is stopped, so it reads them in one batch: the
  # gaps are the server's times, not the times of the reading.
  kill -STOP "$APP_PID"
  xdotool $(bounce 24 0.005) sleep 0.2 $(bounce 25 0.1)
  kill -CONT "$APP_PID" && sleep 0.3
  shot bounced
  if [ "$chatter" = 30 ]; then
    # A held key that bounces is held again at once: its fill stays
    # orange, and the red frame alone is new.
    xdotool keydown 26 sleep 0.3
    kill -STOP "$APP_PID"
    xdotool keyup --delay 0 26 sleep 0.005 keydown --delay 0 26
    kill -CONT "$APP_PID" && sleep 0.3
    shot heldbounce
    xdotool keyup 26
    [ "$(count heldbounce '#FF961E')" -gt 0 ] &&
      [ $(($(count heldbounce '#E00000') * 10 / $(count bounced '#E00000'))) -ge 18 ] ||
      kc_fail "a held key's bounce is not framed"
  fi
  kc_native_end TERM
  gaps=$(awk '$2 == "up" { up[$1] = $3 + 0 } $2 == "down" && ($1 in up) { printf "%s %d ", $1, $3 - up[$1] }' "$dir/$LOG")
  read -r _ q _ w _ <<<"$gaps"
  [ "$q" -lt 30 ] && [ "$w" -ge 90 ] || kc_fail "gaps in the log: $gaps"
  red[$chatter]=$(count bounced '#E00000')
  if [ "$chatter" = 30 ]; then
    read -r rw _ rx _ < <(box bounced '#E00000')
    read -r _ _ qx _ < <(box bounced '#3C8CD0')
    [ "$rx" = $((qx - 2)) ] || [ "$rx" -le "$qx" ] && [ "$rw" -lt $((cw / 12)) ] ||
      kc_fail "not Q alone framed red: ${rw} wide at $rx, Q at $qx"
    expect_report "$dir/$LOG" 1 '^  chatter (2): Q E$'
  else # the run's own chatter time is in its log: the report takes it
    expect_report "$dir/$LOG" 1 '^  chatter (2): Q W$'
  fi
done
# Both framed with --chatter 200: twice the red.
[ "${red[30]}" -gt 0 ] && [ $((red[200] * 10 / red[30])) -ge 18 ] &&
  [ $((red[200] * 10 / red[30])) -le 22 ] || kc_fail "red pixels: ${red[30]}, then ${red[200]}"
echo "ok: board mode passed"
