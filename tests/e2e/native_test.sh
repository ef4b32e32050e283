#!/usr/bin/env bash
# The native checker on Xvfb under openbox, real keys through XTest: every
# key of both keyboards logs the very bytes the Windows program writes
# (keypad "=" and "," too, which Wine cannot give); the option and the
# detection; pixels and the fitted size worked out from the font's own
# tables; keys typed into another window; auto-repeat; every way to close,
# a hard kill, and no display; a server whose keycodes are not Linux's.
# Keys closer together than any keyboard sends them, all logged in order;
# new keycodes and focus changes while keys are held; a close while the
# server is stopped; no window manager.
# The key report reads the native log.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
trap kc_native_down EXIT
kc_native_up
# IPAGothic's embedded bitmaps hide what repainting does to antialiased
# text, which most desktops draw; the tests see the antialiased glyphs.
cat >"$KC_STATE/fonts.conf" <<'XML'
<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><include>/etc/fonts/fonts.conf</include>
  <match target="font"><edit name="embeddedbitmap"><bool>false</bool></edit></match>
</fontconfig>
XML
export FONTCONFIG_FILE=$KC_STATE/fonts.conf
shot() { import -window root -crop "${cw}x$ch+$cx+$cy" "$dir/$1.png"; }
same() { [ "$(compare -metric AE "$dir/$1.png" "$dir/$2.png" null: 2>&1 || true)" = 0 ]; }

echo "== --version, --help; no display: exit 1, one line, no log"
"$KC_CHECKER" --version | grep -qx "keyboard-checker $KC_VERSION" || kc_fail "--version"
"$KC_CHECKER" --help | grep -q '^Usage: keyboard-checker \[/jp | /en\]$' || kc_fail "--help"
dir=$(fresh nodisplay)
for display in "" :9999; do
  status=0
  (cd "$dir" && DISPLAY=$display "$KC_CHECKER") 2>"$dir/err" || status=$?
  [ "$status" = 1 ] && [ "$(wc -l <"$dir/err")" = 1 ] || kc_fail "DISPLAY='$display': status $status"
  [ ! -e "$dir/Corvanekeyboardchecker.log" ] || kc_fail "a log without a display"
done

echo "== US keymap, /en: size, pixels, no thickening, every key, the close box"
dir=$(fresh us)
kc_native_start "$dir" /en
read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
# GDI's numbers for IPAGothic, from its head and OS/2 tables: pixel size
# round(16 em / (winAscent + winDescent)); H from the rounded ascent and
# descent; A and W from xAvgCharWidth and the box, +1 for the synthesized
# bold. The client area is 3W + 51A + 100 by 8H.
want=$(python3 - "$(fc-match -f '%{file}' 'IPAGothic:bold')" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
tables = {data[12 + 16 * i:16 + 16 * i]: struct.unpack(">I", data[20 + 16 * i:24 + 16 * i])[0]
          for i in range(struct.unpack(">H", data[4:6])[0])}
head, os2 = tables[b"head"], tables[b"OS/2"]
em, = struct.unpack(">H", data[head + 18:head + 20])
xmin, _, xmax = struct.unpack(">hhh", data[head + 36:head + 42])
avg, = struct.unpack(">h", data[os2 + 2:os2 + 4])
asc, desc = struct.unpack(">HH", data[os2 + 74:os2 + 78])
r = lambda v: int(v + 0.5)
px = r(16 * em / (asc + desc))
h, a, w = r(asc * px / em) + r(desc * px / em), r(avg * px / em) + 1, r((xmax - xmin) * px / em) + 1
print(3 * w + 51 * a + 100, 8 * h)
PY
)
[ "$cw $ch" = "$want" ] || kc_fail "client area $cw x $ch, want $want"
[ "$want" = "628 128" ] || kc_fail "IPAGothic's tables changed: $want"
shot start
xdotool keydown 50 sleep 0.05 keydown 38 sleep 0.3
shot held
xdotool keyup 38 sleep 0.05 keyup 50 sleep 0.3
# Cells from H 16, A 9, W 23: LShft (row 3), A (row 2), Q (row 1), count.
px held "33 80 45 16" '#000000' -gt 10 "held LShft is not black"
px held "79 64 9 16" '#000000' -gt 5 "held A is not black"
px start "79 64 9 16" '#000000' -eq 0 "A is black though up"
px held "60 48 9 16" '#96B4BE' -gt 5 "Q lacks the up colour"
px held "9 112 117 16" '#F00000' -gt 20 "count line not red"
kc_press 24 25 26 27 28 24 25 26 27 28 && sleep 0.3
shot after
same start after || kc_fail "ten presses later the window is not as it was"
all_keys "${us_keys[@]}" 125="NumPad = " 129="NumPad , "
kc_native_end close-box
expect_log "$dir" "LShft down" "A down" "A up" "LShft up" \
  Q\ {down,up} W\ {down,up} E\ {down,up} R\ {down,up} T\ {down,up} \
  Q\ {down,up} W\ {down,up} E\ {down,up} R\ {down,up} T\ {down,up} \
  "${LINES[@]}" "$CLOSE_US"
"$KC_REPORT" "$dir/Corvanekeyboardchecker.log" >"$dir.report" &&
  [ "$(head -n 1 "$dir.report")" = "Verdict: PASS" ] ||
  kc_fail "the report finds keys untested in a log of every key: $(cat "$dir.report")"

echo "== the option forces the main block only when it is the only argument; SIGTERM"
for option in "" "/jp " /JP /jp,x /jp; do # arguments split at commas
  dir=$(fresh option)
  IFS=, read -ra args <<<"$option"
  kc_native_start "$dir" "${args[@]}"
  kc_press 49 51 # grave, backslash
  kc_native_end TERM
  expect_grave_backslash "$option"
done

echo "== another window has the focus; auto-repeat; a hard kill"
dir=$(fresh focus)
kc_native_start "$dir" /en
kc_press 38
# The other window opens over ours; moved away while Q is held in it, it
# uncovers ours, which repaints: a key seen there would be drawn black.
xmessage -geometry 300x60+$((cx + 20))+$((cy + 20)) "another window" &
other=$!
kc_wait_for 10 sh -c '! [ "$(xdotool getactivewindow)" = "'"$APP_WIN"'" ]' ||
  kc_fail "the other window never took the focus"
xdotool keydown 24 sleep 0.2 windowmove "$(xdotool getactivewindow)" 0 0 sleep 0.3
shot elsewhere
xdotool keyup 24 && kc_press 25
px elsewhere "0 0 $cw $ch" '#000000' -eq 0 "a key held in another window is shown"
kill "$other"
kc_native_focus || kc_fail "could not focus the checker again"
xdotool keydown 40 sleep 1.5 keyup 40 sleep 0.2 # repeats for a second
# A key another client makes up and sends to the window is no key of the
# keyboard's: neither logged nor drawn.
"$KC_BURST" s41 && sleep 0.2 || kc_fail "no made-up key sent"
kc_press 39 && sleep 0.2
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
expect_log "$dir" "A down" "A up" "D down" "D up" "S down" "S up"

echo "== jp106 keymap: detection, every key, Alt+F4 taken by the window manager"
# Loaded as xkbcomp loads it, the rules names stay pc105/us (as under
# XWayland): only the keys themselves say Japanese.
setxkbmap -model jp106 -layout jp -print | xkbcomp -w0 - "$DISPLAY"
xprop -root _XKB_RULES_NAMES | grep -q '"pc105", "us"' || kc_fail "the rules names changed"
dir=$(fresh jp)
kc_native_start "$dir"
all_keys "${jp_keys[@]}" 125="NumPad = " 103="NumPad , "
# Yen and Ro both log "\": only held together do they show both worked.
xdotool keydown 132 sleep "$KEY_GAP" keydown 97 sleep "$KEY_GAP" keyup 97 \
  sleep "$KEY_GAP" keyup 132 sleep "$KEY_GAP"
kc_native_end alt-f4
expect_log "$dir" "${LINES[@]}" '\ down' '\ down' '\ up' '\ up' "LAlt down" "$CLOSE_JP"
"$KC_REPORT" "$dir/Corvanekeyboardchecker.log" >"$dir.report" &&
  [ "$(head -n 1 "$dir.report")" = "Verdict: PASS" ] ||
  kc_fail "the report finds keys untested or held: $(cat "$dir.report")"
echo "== a keymap with other keycodes: the keys go by their XKB names"
setxkbmap -keycodes xfree86 -print | xkbcomp -w0 - "$DISPLAY"
dir=$(fresh names)
kc_native_start "$dir" /en
kc_press 97 98 38 # Home, up and A there; on evdev numbers Ro, none and A
kc_native_end TERM
expect_log "$dir" Home\ {down,up} $' \x81\xaa  '{down,up} A\ {down,up} "$CLOSE_US"

echo "== keys closer together than a keyboard sends them; new keycodes mid-run"
setxkbmap -keycodes xfree86 -print | xkbcomp -w0 - "$DISPLAY"
dir=$(fresh burst)
kc_native_start "$dir" /en
steps=() want=()
for _ in $(seq 50); do steps+=(d38 u38) want+=("A down" "A up"); done
steps+=(p50 d39) want+=("S down") # S held, bouncing
for _ in $(seq 50); do steps+=(u39 d39) want+=("S up" "S down"); done
"$KC_BURST" "${steps[@]}" p50 u39 p50 d97 u97 # Home on xfree86 keycodes
setxkbmap -model pc105 -layout us # evdev's keycodes again: 97 is Ro
"$KC_BURST" d97 u97 d110 u110 d38 u38
kc_native_end TERM
expect_log "$dir" "${want[@]}" "S up" Home\ {down,up} Home\ {down,up} A\ {down,up} "$CLOSE_US"

echo "== events already received when SIGTERM comes: logged before the closing line"
dir=$(fresh backlog)
kc_native_start "$dir" /en
kill -STOP "$APP_PID"
steps=() want=()
# More than the connection's buffer holds: the server keeps the rest.
for _ in $(seq 6000); do steps+=(d38 u38) want+=("A down" "A up"); done
"$KC_BURST" "${steps[@]}" && sleep 0.3 # the server's writes reach the socket
kill -TERM "$APP_PID" && kill -CONT "$APP_PID"
wait "$APP_PID" || kc_fail "exit status $? after SIGTERM with a backlog"
APP_PID=
expect_log "$dir" "${want[@]}" "$CLOSE_US"

echo "== keys held while the focus comes and goes"
dir=$(fresh held)
kc_native_start "$dir" /en
xmessage -geometry 300x60+400+400 "another window" &
other=$!
kc_wait_for 10 sh -c '! [ "$(xdotool getactivewindow)" = "'"$APP_WIN"'" ]' ||
  kc_fail "the other window never took the focus"
other_win=$(xdotool getactivewindow)
xdotool keydown 24 # Q, held before the checker has the focus
kc_native_focus || kc_fail "could not focus the checker again"
xdotool keyup 24 keydown 25 # W, held while the focus leaves
xdotool windowactivate --sync "$other_win"
xdotool keyup 25 && kc_press 26
kc_native_focus || kc_fail "could not focus the checker again"
kill "$other"
kc_native_end close-box
expect_log "$dir" Q\ {down,up} W\ {down,up} "$CLOSE_US"

echo "== SIGTERM while the X server is stopped: the closing line all the same"
dir=$(fresh stopped)
kc_native_start "$dir" /en
kc_press 38
xvfb=$(cat "$KC_STATE/xvfb.pid")
kill -STOP "$xvfb"
kill -TERM "$APP_PID"
ended=yes
kc_wait_for 3 sh -c "! kill -0 $APP_PID" || ended=no
kill -CONT "$xvfb"
[ "$ended" = yes ] || kc_fail "still running 3 s after SIGTERM with the server stopped"
wait "$APP_PID" || kc_fail "exit status $? after SIGTERM with the server stopped"
APP_PID=
expect_log "$dir" A\ {down,up} "$CLOSE_US"

echo "== no window manager: the checker takes the focus itself"
wm=$(cat "$KC_STATE/wm.pid") && rm -f "$KC_STATE/wm.pid"
kill "$wm" && kc_wait_for 10 sh -c "! kill -0 $wm" || kc_fail "openbox did not go"
dir=$(fresh nowm)
kc_native_launch "$dir" /en
xdotool mousemove 1000 700 # the pointer off the window
kc_wait_for 5 sh -c '[ "$(xdotool getwindowfocus)" = "'"$APP_WIN"'" ]' ||
  kc_fail "no window manager, and the checker did not take the focus"
"$KC_BURST" d38 u38 d24 d38 u24 u38
kc_native_end TERM
expect_log "$dir" A\ {down,up} "Q down" "A down" "Q up" "A up" "$CLOSE_US"
kc_done "ok: all native end-to-end checks passed"
