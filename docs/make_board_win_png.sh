#!/usr/bin/env bash
# Draws docs/board-win.png, the README's picture of the Windows board
# window: the real KeyboardChecker.exe under a private Wine, testing ansi104
# halfway (rows pressed by X keycode, E bouncing, Left Shift held).
#   docs/make_board_win_png.sh build/win32
set -euo pipefail
build=$(realpath "${1:?usage: $0 WIN32-BUILD-FOLDER}")
export KC_EXE=$build/app/KeyboardChecker.exe KC_TOOL=$build/tools/window_tool.exe
export KC_STATE=$(mktemp -d)
out=$(cd "$(dirname "$0")" && pwd)/board-win.png
. "$(dirname "$0")/../tools/checker.sh"
kc_wine_up "$KC_STATE"
trap 'kc_cleanup; kc_wine_down "$KC_STATE"; rm -rf "$KC_STATE"' EXIT
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v kc /d 1024x740 /f >/dev/null 2>&1
wineserver -w
# A folder on the prefix's C: drive, so the log's place reads as on Windows.
run=$WINEPREFIX/drive_c/KeyboardChecker && mkdir -p "$run"
kc_app_start "$run" --board ansi104
kc_wait_for 20 sh -c "xwininfo -id $APP_WIN | grep -q IsViewable"
kc_app_focus
KEY_GAP=0.01 kc_press Escape 67 68 69 70 49 $(seq 10 22) 23 24 25 $(seq 27 35) 66 $(seq 38 48) \
  37 133 64 65 118 110 112 119 115 117
xdotool keydown --delay 0 26 keyup --delay 0 26 sleep 0.004 keydown --delay 0 26 keyup --delay 0 26
xdotool keydown 50 sleep 0.4
import -window "$APP_WIN" "$out"
xdotool keyup 50
kc_app_close
echo "wrote $out"
