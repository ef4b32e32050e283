#!/usr/bin/env bash
# The real checker under Wine, real keys from xdotool: every key that Wine
# can produce on each layout gives its own line, byte for byte; the option
# and detection pick the table; the window's pixels and fitted size; keys
# typed elsewhere are ignored; a hard kill keeps every reported line; the
# key report follows the log live.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
. "$(dirname "$0")/../../tools/checker.sh"
. "$(dirname "$0")/keys.sh"
trap kc_cleanup EXIT

# where: the client origin and the outer size.
where() { wine "$KC_TOOL" where "$TITLE" | tr -d '\r'; }

echo "== US keymap, /en: the window, every key, the fit done once"
dir=$(fresh us)
kc_app_start "$dir" /en
read -r _ cx cy < <(where | grep ^client)
# IPAGothic's metrics (H 16, A 9, W 23; the only CJK font installed) give
# a client area 3W+51A+100 = 628 by 8H = 128; Wine's overlapped-window
# frame adds 8 by 27.
[ "$(where | grep ^window)" = "window 636 155" ] || kc_fail "not fitted: $(where)"
kc_app_focus
xdotool keydown 50 sleep 0.05 keydown 38 sleep 0.5
import -window root "$dir/held.png"
xdotool keyup 38 sleep 0.05 keyup 50 sleep 0.5
import -window root "$dir/released.png"
# Cells from the same metrics: LShft (row 3) at W+10, A (row 2) after Cap
# and a one-blank filler, Q (row 1) after Tab, the count line at (A, 7H).
lshft="$((cx + 33)) $((cy + 80)) 45 16" a="$((cx + 79)) $((cy + 64)) 9 16"
q="$((cx + 60)) $((cy + 48)) 9 16" count="$((cx + 9)) $((cy + 112)) 117 16"
px held "$lshft" '#000000' -gt 10 "held LShft is not black"
px released "$lshft" '#000000' -eq 0 "released LShft is black"
px held "$a" '#000000' -gt 5 "held A is not black"
px held "$a" '#96B4BE' -eq 0 "held A has the up colour"
px held "$q" '#000000' -eq 0 "Q is black though up"
px held "$q" '#96B4BE' -gt 5 "Q lacks the up colour"
px held "$count" '#F00000' -gt 20 "count line not red"
wine "$KC_TOOL" resize "$TITLE" 700 200
kc_press 24
[ "$(where | grep ^window)" = "window 700 200" ] || kc_fail "a later drawing resized the window"
all_keys "${us_keys[@]}"
kc_app_close
expect_log "$dir" "LShft down" "A down" "A up" "LShft up" "Q down" "Q up" \
  "${LINES[@]}" "$CLOSE_US"

echo "== the option decides the table only when it is the whole tail"
# Wine quotes an argument with a blank: that tail is "/jp " in quotes.
for option in "" "/jp " /JP /jp; do
  dir=$(fresh option)
  kc_app_start "$dir" ${option:+"$option"}
  kc_app_focus
  kc_press 49 51 # grave, backslash
  kc_app_close
  expect_grave_backslash "$option"
done

echo "== the key report watching the checker's log (its line mode)"
dir=$(fresh watch)
(cd "$dir" && exec wine "$(dirname "$KC_EXE")/KeyboardReport.exe" --watch) >"$dir.watch" 2>&1 &
watch=$!
kc_wait_for 20 grep -q waiting "$dir.watch" || kc_fail "the watch did not start"
kc_app_start "$dir" /en
kc_app_focus
xdotool keydown 24 sleep 0.4 keyup 24
kc_app_close
kc_wait_for 10 sh -c "! kill -0 $watch" ||
  { kc_fail "the watch went on after the closing line" && kill "$watch"; }
status=0 && wait "$watch" || status=$?
# Woken by the folder's change notice, not by its one-second safety wake:
# the stamps of Q's two lines stand as far apart as the key's 0.4 s.
awk '/ Q down$/ { d = $1 } / Q up$/ { u = $1 } END { exit !(u - d > 0.3 && u - d < 0.6) }' \
  "$dir.watch" && [ "$status" = 1 ] && grep -qx 'Tested (1): Q' "$dir.watch" ||
  kc_fail "watch, status $status: $(cat "$dir.watch")"

echo "== keys typed into another program; then a hard kill"
dir=$(fresh focus)
kc_app_start "$dir" /en
kc_app_focus
kc_press 38
(cd "$dir" && exec wine notepad) >/dev/null 2>&1 &
notepad=$!
kc_wait_for 20 kc_window_id "Untitled - Notepad" || kc_fail "notepad did not start"
sleep 1
shot="628x128+$cx+$cy"
import -window root -crop "$shot" "$dir/before.png"
xdotool keydown 24 sleep 0.3
import -window root -crop "$shot" "$dir/held-elsewhere.png"
xdotool keyup 24 keydown 25 sleep 0.05 keyup 25
[ "$(compare -metric AE "$dir/before.png" "$dir/held-elsewhere.png" null: 2>&1 || true)" = 0 ] ||
  kc_fail "the window changed while a key was held in another program"
wine "$KC_TOOL" close "Untitled - Notepad" >/dev/null || true
kc_wait_for 10 sh -c "! kill -0 $notepad" || kill "$notepad"
kc_app_focus
kc_press 39 && sleep 0.3
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
expect_log "$dir" "A down" "A up" "S down" "S up"

echo "== jp106 keymap in a Japanese locale: detection, every key"
setxkbmap -model jp106 -layout jp || kc_fail "cannot set the jp106 keymap"
export KC_JAPANESE=1
dir=$(fresh jp)
kc_app_start "$dir"
kc_app_focus
all_keys "${jp_keys[@]}"
kc_app_close
expect_log "$dir" "${LINES[@]}" "$CLOSE_JP"

# "/en" still wins when the program's unquoted path holds Shift-JIS bytes.
dir=$(fresh "ツール")
cp "$KC_EXE" "$dir/"
KC_EXE=$dir/$(basename "$KC_EXE") kc_app_start "$dir" /en
kc_app_focus
kc_press 49 24 21 97 # Zenkaku/Hankaku, Q, ^, ro
kc_app_close
expect_log "$dir" "Q down" "Q up" '\ down' '\ up' "$CLOSE_US"
kc_done "ok: all end-to-end checks passed"
