#!/usr/bin/env bash
# The native checker on a display with no window manager: the XKB rules
# names alone (jp106, jp, over US keys) make it Japanese; Alt+F4 closes it
# by itself; Ctrl+C, SIGHUP and a lost display still end the log with its
# closing line; with no log the keys are still shown.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
trap kc_native_down EXIT
mkdir -p "$KC_STATE"
kc_start_xvfb || kc_fatal "Xvfb did not start"

# start DIR [ARGS...]: started in DIR and given the focus, as a window
# manager would give it.
start() {
  kc_native_launch "$@"
  kc_wait_for 10 xdotool windowfocus --sync "$APP_WIN" || kc_fatal "no focus"
}

echo "== rules names jp106/jp over US keys: Japanese; Alt+F4 closes it itself"
setxkbmap -model jp106 -layout jp
setxkbmap -model pc105 -layout us -print | xkbcomp -w0 - "$DISPLAY"
xprop -root _XKB_RULES_NAMES | grep -q '"jp106", "jp"' || kc_fail "rules names not jp"
# grep reads to the end: a grep -q that quits early gives xkbcomp a SIGPIPE,
# which pipefail would count as the keys not being US.
xkbcomp -xkb "$DISPLAY" - 2>/dev/null | grep '<TLDE>.*\[ *grave' >/dev/null || kc_fail "keys not US"
dir=$(fresh rules)
start "$dir"
props=$(xprop -id "$APP_WIN")
for want in 'WM_CLASS(STRING) = "keyboard-checker", "Keyboard-checker"' \
  "_NET_WM_PID(CARDINAL) = $APP_PID" "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" \
  'program specified minimum size: 628 by 128' 'program specified maximum size: 628 by 128'; do
  grep -qF "$want" <<<"$props" || kc_fail "no $want"
done
# The icon's sizes: each entry is its width, height and then its pixels.
icons=$(xprop -len 2000000 -id "$APP_WIN" -notype -f _NET_WM_ICON 32c _NET_WM_ICON |
  tr -d ' ' | awk -F'[=,]' '{ for (i = 2; i < NF; i += 2 + $i * $(i + 1)) printf "%s ", $i }')
[ "$icons" = "256 48 32 16 " ] || kc_fail "icons of sizes $icons"
kc_press 38
# F4 stays down until the checker has read it: the close comes first.
xdotool keydown 64 sleep 0.1 keydown 70 sleep 1 keyup 70 keyup 64
kc_native_end none
expect_log "$dir" "A down" "A up" "LAlt down" "F4 down" "$CLOSE_JP"

echo "== Ctrl+C (SIGINT) and a closed terminal (SIGHUP)"
setxkbmap -model pc105 -layout us
for signal in INT HUP; do
  dir=$(fresh "$signal")
  start "$dir" /en
  kc_press 24
  kc_native_end "$signal"
  expect_log "$dir" "Q down" "Q up" "$CLOSE_US"
done

echo "== no log (a folder at its name): said in one line, keys shown all the same"
dir=$(fresh nolog) && mkdir "$dir/Corvanekeyboardchecker.log"
start "$dir" /en
import -window "$APP_WIN" "$dir/idle.png"
xdotool keydown 38 sleep 0.3
import -window "$APP_WIN" "$dir/held.png"
xdotool keyup 38
kc_native_end TERM
px held "79 64 9 16" '#000000' -gt 5 "held A is not shown without a log"
[ "$(compare -metric AE "$dir/idle.png[117x16+9+112]" "$dir/held.png[117x16+9+112]" null: 2>&1)" != 0 ] ||
  kc_fail "the count line is the same with a key held"
# Above the function row the window shows its background, the bitmap tiled
# from its corner.
[ "$(compare -metric AE "$dir/held.png[20x14+0+0]" \
  "$(dirname "$0")/../../resources/background.bmp[20x14+0+0]" null: 2>&1)" = 0 ] ||
  kc_fail "the background is not the tiled bitmap"
[ "$(wc -l <"$dir.out")" = 1 ] || kc_fail "said: $(cat "$dir.out")"

echo "== no font at all: one line, status 1, no window and no log, in either window"
dir=$(fresh nofont)
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$dir.conf"
for mode in /en "--board ansi104"; do
  status=0
  (cd "$dir" && FONTCONFIG_FILE="$dir.conf" exec timeout 10 "$KC_CHECKER" $mode) 2>"$dir.err" || status=$?
  [ "$status" = 1 ] && [ "$(cat "$dir.err")" = "keyboard-checker: no font found" ] &&
    [ -z "$(ls -A "$dir")" ] || kc_fail "$mode without fonts: status $status, said $(cat "$dir.err"), files $(ls "$dir")"
done

echo "== the display lost: the closing line, one line said, status 1"
dir=$(fresh lost)
start "$dir" /en
kc_press 25 && sleep 0.2
kill "$(cat "$KC_STATE/xvfb.pid")"
if timeout 10 tail --pid="$APP_PID" -f /dev/null; then
  status=0 && wait "$APP_PID" || status=$?
  [ "$status" = 1 ] || kc_fail "status $status once the display was gone"
else
  kc_fail "still running 10 s after the display was gone" && kill -KILL "$APP_PID"
fi
APP_PID=
grep -qx 'keyboard-checker: lost the connection to the display' "$dir.out" ||
  kc_fail "said: $(cat "$dir.out")"
expect_log "$dir" "W down" "W up" "$CLOSE_US"
kc_done "ok: no window manager, rules names, signals, no log and a lost display"
