#!/usr/bin/env bash
# The board window holds the keyboard while it has the focus, under openbox
# with Debian's own configuration (Print and Alt+Print open a window): the
# desktop's shortcuts are board keys and openbox never sees them; a click
# elsewhere hands the keyboard back and a click back takes it again, held
# keys caught up with; another client holding the keyboard is said on the
# window until it lets go.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
trap 'kc_native_down; [ -z "${other:-}" ] || kill "$other" 2>/dev/null || true' EXIT
mkdir -p "$KC_STATE" && rc=$KC_STATE/stock-rc.xml
sed -e 's|<command>scrot</command>|<command>xmessage -name printed Print</command>|' \
  -e 's|<command>scrot -s</command>|<command>xmessage -name alt-printed Alt+Print</command>|' \
  /etc/xdg/openbox/rc.xml >"$rc"
[ "$(grep -c '<command>xmessage' "$rc")" = 2 ] || kc_fatal "Print and Alt+Print not rebound in $rc"
kc_native_up "$rc"
setxkbmap -model pc104 -layout us
CLOSE="Keyboard type : ANSI 104-key (US) / board ansi104"

windows() { wmctrl -l | cut -d' ' -f5- | sort; } # openbox's, by title
click() { xdotool mousemove --window "$1" 30 30 click 1; } # inside WINDOW
focus_is() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }
# notice SHOT: the pixels other than the background in the window's bottom
# 20 rows: the notice line below the reach of the line above it, and the
# margin under it (16 and 8 pixels here).
notice() {
  convert "$dir/$1.png" -crop "${cw}x20+0+$((ch - 20))" +repage -fill black +opaque '#F0F0F0' \
    -fill white -opaque '#F0F0F0' -negate -format '%[fx:int(mean*w*h+0.5)]' info:
}

echo "== the desktop's shortcuts are board keys, and Alt+F4 the checker's own"
dir=$(fresh shortcuts)
kc_native_start "$dir" --board ansi104
before=$(windows)
kc_press 107 # Print
lines=("SysR down" "SysR up")
# Super+E, Super+D, Alt+Tab, Alt+Print by X keycode and by label.
for shortcut in "133 26 LWin E" "133 40 LWin D" "64 23 LAlt Tab" "64 107 LAlt SysR"; do
  read -r modifier key modifier_label key_label <<<"$shortcut"
  xdotool keydown "$modifier" sleep "$KEY_GAP" key "$key" sleep "$KEY_GAP" keyup "$modifier"
  lines+=("$modifier_label down" "$key_label down" "$key_label up" "$modifier_label up")
done
sleep 1 # time for a window that openbox would open
kc_has_focus || kc_fail "the checker lost the focus to a shortcut"
[ "$(windows)" = "$before" ] || kc_fail "windows came or went: $(windows | tr '\n' ',')"
kc_native_end alt-f4 # the checker's own: both keys logged
expect_board_log "$dir" "${lines[@]}" "LAlt down" "F4 down" "$CLOSE"

echo "== a click elsewhere hands the keyboard back; a click back takes it again"
dir=$(fresh click)
xmessage -name other -geometry 300x80+40+600 other & other=$!
kc_wait_for 10 kc_window_id other || kc_fatal "no other window"
other_win=$(kc_window_id other)
kc_native_start "$dir" --board ansi104
kc_press 107
click "$other_win"
kc_wait_for 5 focus_is "$other_win" || kc_fail "a click on the other window left the focus"
kc_press 38 107 # A, typed there, is not logged; Print is openbox's again
kc_wait_for 5 kc_window_id printed || kc_fail "Print in the other window opened nothing"
xdotool windowkill "$(kc_window_id printed)" || true
# W held on the way back: the focus catch-up logs it down.
xdotool keydown 25
click "$APP_WIN"
kc_wait_for 5 kc_has_focus || kc_fail "a click on the checker left it without the focus"
xdotool sleep 0.3 keyup 25
kc_press 107
# Held a second, a key repeats; the log keeps its one down and one up.
xdotool keydown 26 sleep 1 keyup 26 sleep 0.5
! kc_window_id printed >/dev/null || kc_fail "Print back in the checker opened a window"
kc_native_end alt-f4 # the checker's own: both keys logged
expect_board_log "$dir" "SysR down" "SysR up" "W down" "W up" "SysR down" "SysR up" \
  "E down" "E up" "LAlt down" "F4 down" "$CLOSE"
kill "$other" && other=

echo "== another client holds the keyboard: said on the window, held once it lets go"
dir=$(fresh refused)
"$KC_HOLDER" >"$dir.holder" & holder=$!
kc_wait_for 5 grep -qx held "$dir.holder" || kc_fatal "the holder did not take the keyboard"
kc_native_start "$dir" --board ansi104
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
sleep 1.5 # past the last retry
import -window root -crop "${cw}x$ch+$cx+$cy" +repage "$dir/refused.png"
kill "$holder" && sleep 0.3
import -window root -crop "${cw}x$ch+$cx+$cy" +repage "$dir/held.png"
[ "$(notice refused)" -gt 20 ] || kc_fail "no notice while another client held the keyboard"
[ "$(notice held)" = 0 ] || kc_fail "the notice stayed once the keyboard was held"
before=$(windows)
kc_press 107 && sleep 1
[ "$(windows)" = "$before" ] || kc_fail "Print opened a window once the holder let go"
kc_native_end TERM
expect_board_log "$dir" "SysR down" "SysR up" "$CLOSE"
kc_done "ok: the board window holds the keyboard"
