#!/usr/bin/env bash
# The option picks the main block and the closing line; anything but the
# whole tail "/jp" or "/en" leaves it to detection (US under Wine's
# default keyboard). Exact log bytes on disk for each run.
. "$(dirname "$0")/e2e-lib.sh"

# X keycodes on the US keymap (xdotool reads a one-digit number as a
# keysym, so Escape, keycode 9, goes by name).
Q=24 A=38 KP7=79 INSERT=118 GRAVE=49 BACKSLASH=51 EQUAL=21 ESCAPE=Escape

run_sequence() {
  local dir=$1
  shift
  app_start "$dir" "$@"
  app_focus
  xdotool keydown $Q
  sleep "$KEY_GAP"
  xdotool keydown $A
  sleep "$KEY_GAP"
  xdotool keyup $A
  sleep "$KEY_GAP"
  xdotool keyup $Q
  sleep "$KEY_GAP"
  press $KP7 $INSERT $GRAVE $BACKSLASH $EQUAL $ESCAPE
  app_close
}

us_lines=("Q down" "A down" "A up" "Q up" "NumPad 7  down" "NumPad 7  up"
  "Ins  down" "Ins  up" '` down' '` up' '\ down' '\ up' "= down" "= up"
  "Esc down" "Esc up")

# Wine quotes an argument with a blank, so the tail of the third run is
# "/jp " in quotes: the whole tail is still not "/jp".
run=0
for option in /en "" "/jp " /JP; do
  run=$((run + 1))
  dir=$(fresh_dir "us-$run")
  if [ -z "$option" ]; then run_sequence "$dir"; else run_sequence "$dir" "$option"; fi
  expect_log "$dir/Corvanekeyboardchecker.log" "${us_lines[@]}" "$CLOSE_US"
  echo "ok: option '$option' gives the US table and closing line"
done

# The Japanese block has no grave or equals key; backslash is its row-3 key.
dir=$(fresh_dir jp)
run_sequence "$dir" /jp
expect_log "$dir/Corvanekeyboardchecker.log" "Q down" "A down" "A up" "Q up" \
  "NumPad 7  down" "NumPad 7  up" "Ins  down" "Ins  up" '\ down' '\ up' \
  "Esc down" "Esc up" "$CLOSE_JP"
echo "ok: /jp gives the Japanese table and closing line"
