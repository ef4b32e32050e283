#!/usr/bin/env bash
# Draws docs/board-linux.png, the README's picture of the native board
# window: the real checker on a private Xvfb under openbox, testing an ISO
# board on a German keymap halfway (rows pressed by X keycode, one key
# bouncing, two held), so its keycaps show the German legends.
#   docs/make_board_png.sh build/host/x11/keyboard-checker
set -euo pipefail
export KC_CHECKER=$(realpath "${1:?usage: $0 KEYBOARD-CHECKER}"); KC_STATE=$(mktemp -d)
out=$(cd "$(dirname "$0")" && pwd)/board-linux.png
. "$(dirname "$0")/../tools/native.sh"
trap 'kc_native_down; rm -rf "$KC_STATE"' EXIT
kc_native_up
setxkbmap -model pc105 -layout de
mkdir "$KC_STATE/run"
export HOME=$KC_STATE/run # the log's place reads as a user's own
kc_native_start "$KC_STATE/run" --board iso105
KEY_GAP=0.01 kc_press Escape 67 68 69 70 49 $(seq 10 22) 23 $(seq 24 35) 66 $(seq 38 48) 94 \
  37 133 64 65 118 110 112 119 115 117
xdotool keydown --delay 0 26 keyup --delay 0 26 sleep 0.004 keydown --delay 0 26 keyup --delay 0 26
xdotool keydown 50 keydown 54 sleep 0.3
import -window "$APP_WIN" "$out"
xdotool keyup 54 keyup 50
kc_native_end TERM
echo "wrote $out"
