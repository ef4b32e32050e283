# Drives the real checker under a private Wine (see wine-lib.sh): start it
# in a directory of its own, give it the focus with a click, press keys by
# X keycode (keysyms make xdotool toggle Num Lock and add modifiers) and
# close it the way the close box does. Sourced by the end-to-end tests, the
# headless demo and the benchmarks, with KC_EXE, KC_TOOL, KC_STATE set.
. "$(dirname "${BASH_SOURCE[0]}")/wine-lib.sh"
kc_wine_use "$KC_STATE"

APP_PID=

# Ends what a run leaves behind: the program it started, this prefix's
# Wine, the keymap. Safe under set -e: all of it may have ended already.
kc_cleanup() {
  [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  setxkbmap -model pc105 -layout us 2>/dev/null || true
}

# kc_app_start DIR [ARGS...]: starts the checker in DIR and waits for the
# first drawing to fit it. With KC_JAPANESE=1 it runs in a Japanese locale,
# which with a jp106 X keymap makes Wine report a JP-106 keyboard.
kc_app_start() {
  local dir=$1 locale=()
  [ "${KC_JAPANESE:-0}" = 0 ] ||
    locale=(env LOCPATH="$KC_STATE/locale" LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8)
  (cd "$dir" && exec "${locale[@]}" wine "$KC_EXE" "${@:2}") >"$dir.wine.out" 2>&1 &
  APP_PID=$!
  kc_wait_for 20 kc_is_fitted || kc_fatal "no fitted window within 20 s"
  APP_WIN=$(kc_window_id "$TITLE")
}

# Clicks into the client area, below the count line, to activate it.
kc_app_focus() {
  local x y w h
  read -r x y w h < <(kc_geometry "$APP_WIN")
  xdotool mousemove $((x + w / 2)) $((y + h - 8)) click 1 sleep 0.3
}

# Sends WM_CLOSE and waits for the program to end with exit code 0.
kc_app_close() {
  wine "$KC_TOOL" close "$TITLE" >/dev/null || kc_fail "could not close the window"
  kc_reap 15 close
}
