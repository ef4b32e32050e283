#!/usr/bin/env bash
# The board window's keyboard hook under Wine, seen from a second program
# (start_recorder): while the board window is active the keys the shell
# acts on reach the log and not that program; once it is clicked, every
# key is its own and none is logged. A 3 ms bounce is timed, and the Print
# Screen setting gets the notice line when the window loses the
# foreground right after a Print Screen press.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
here=$(dirname "$0")
. "$here/../../tools/checker.sh"
. "$here/keys.sh"
. "$here/board_run.sh"
burst=${KC_BURST:?KC_BURST names key_burst}
keyboard='HKCU\Control Panel\Keyboard'
setting=PrintScreenKeyForSnippingEnabled
wide_desktop

dir=$(fresh hook)
start_recorder "$dir"
run_board "$dir" ansi104
read -r rx ry rw rh < <(kc_geometry "$(kc_window_id "$RECORDER")")
recorder_focus() { xdotool mousemove $((rx + rw / 2)) $((ry + rh / 2)) click 1 sleep 0.3; }

echo "== active: the shell's keys logged, kept from the other program"
# Windows keys, Menu, Print Screen, Alt+Tab, Ctrl+Esc, Alt+Esc, a media
# key (no key of the board), then A, which is let through.
xdotool keydown 133 keyup 133 keydown 134 keyup 134 keydown 135 keyup 135 \
  keydown 107 keyup 107 keydown 64 keydown 23 keyup 23 keyup 64 \
  keydown 37 keydown Escape keyup Escape keyup 37 \
  keydown 64 keydown Escape keyup Escape keyup 64 keydown 121 keyup 121 \
  keydown 38 keyup 38 sleep 0.3
tr -d '\r' <"$dir/recorded" >"$dir/active"
kept_from_recorder "$dir" 5B 5C 5D 2C 09 1B AD
grep -qx 'hook 41 down' "$dir/active" && grep -qx 'hook 41 up' "$dir/active" ||
  kc_fail "A was not let through: $(xargs <"$dir/active")"
grep -q '^key' "$dir/active" && kc_fail "the other program got key messages"

echo "== a bounce: down again 3 ms after its up"
"$burst" d24 p20 u24 p3 d24 p20 u24 && sleep 0.3
gap=$(tr -d '\r' <"$dir/Corvanekeyboardchecker.log" |
  awk '$1 == "Q" { t[n++] = $3 } END { if (n == 4) print t[2] - t[1] }')
echo "bounce: logged ${gap:-nothing} ms apart"
[ -n "$gap" ] && [ "$gap" -ge 1 ] && [ "$gap" -le 12 ] || kc_fail "the bounce's gap is '$gap' ms"

echo "== another program active: its keys are its own, none logged"
# Print Screen, then the other window at once: without the setting, the
# notice line stays as it was.
import -window root "$dir/before.png"
xdotool keydown 107 keyup 107 && recorder_focus
import -window root "$dir/no-setting.png"
from=$(($(wc -l <"$dir/recorded") + 1))
xdotool keydown 133 keyup 133 keydown 135 keyup 135 keydown 107 keyup 107 keydown 121 keyup 121 \
  keydown 38 keyup 38 sleep 0.3
tail -n +"$from" "$dir/recorded" | tr -d '\r' >"$dir/inactive"
for vk in 5B 5D 2C AD 41; do
  grep -qx "hook $vk down" "$dir/inactive" && grep -qx "hook $vk up" "$dir/inactive" &&
    grep -qx "key $vk" "$dir/inactive" || kc_fail "the other program lacks $vk: $(xargs <"$dir/inactive")"
done

echo "== the Print Screen setting on: the notice, once the window lost the foreground"
wine reg add "$keyboard" /v $setting /t REG_DWORD /d 1 /f >/dev/null 2>&1
kc_app_focus
xdotool keydown 107 keyup 107 && recorder_focus
import -window root "$dir/setting.png"
wine reg delete "$keyboard" /v $setting /f >/dev/null 2>&1
# How many pixels of the notice line differ between two shots.
for shot in before no-setting setting; do
  convert "$dir/$shot.png" -crop "$(awk '{print $3"x"$4"+"$1"+"$2}' <<<"$NOTICE")" \
    +repage "$dir/$shot.notice.png"
done
differ() { compare -metric AE "$dir/$1.notice.png" "$dir/$2.notice.png" null: 2>&1 || true; }
[ "$(differ before no-setting)" = 0 ] || kc_fail "a notice without the setting"
[ "$(differ no-setting setting)" -gt 50 ] || kc_fail "no notice with the setting"
echo "== back to the board window with a key held since the other program had it"
# D went down and up away from it (never logged); S was pressed there and
# is still held: shown held at once on the way back, then its release.
xdotool keydown 40 keyup 40 keydown 39 sleep 0.2
kc_app_focus && sleep 0.3
import -window root "$dir/back.png"
fill ansi104 back S '#FF961E' "S, held while away, is not drawn held on the way back"
fill ansi104 back D '#DCDCDC' "D, pressed away, is drawn pressed"
xdotool keyup 39 sleep 0.3
stop_recorder
kc_app_close
expect_board_log "$dir" "Keyboard type : ANSI 104-key (US) / board ansi104" \
  "LWin down" "LWin up" "RWin down" "RWin up" "Menu down" "Menu up" "SysR down" \
  "SysR up" "LAlt down" "Tab down" "Tab up" "LAlt up" "LCtrl down" "Esc down" \
  "Esc up" "LCtrl up" "LAlt down" "Esc down" "Esc up" "LAlt up" "A down" "A up" \
  "Q down" "Q up" "Q down" "Q up" "SysR down" "SysR up" "SysR down" "SysR up" \
  "S down" "S up"
kc_done "ok: the board window's hook under Wine"
