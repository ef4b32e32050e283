# Drives the real checker under a private Wine (see wine-lib.sh): start it
# in a directory of its own, give it the focus with a click, press keys by
# X keycode (keysyms make xdotool toggle Num Lock and add modifiers) and
# close it the way the close box does. Sourced by the end-to-end tests, the
# headless demo and the benchmarks, with KC_EXE, KC_TOOL, KC_STATE set.
. "$(dirname "${BASH_SOURCE[0]}")/wine-lib.sh"
kc_wine_use "$KC_STATE"

# The caption carries the project's version, which lives in CMakeLists.txt.
KC_VERSION=${KC_VERSION:-$(sed -n 's/^project(KeyboardChecker VERSION \([0-9.]*\).*/\1/p' \
  "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt")}
TITLE="Corvane Keyboard Checker v$KC_VERSION"
KEY_GAP=${KEY_GAP:-0.04}
APP_PID=

kc_fail() { echo "FAIL: $*" >&2 && exit 1; }

# Ends what a run leaves behind: the program it started, this prefix's
# Wine, the keymap. Safe under set -e: all of it may have ended already.
kc_cleanup() {
  [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  setxkbmap -model pc105 -layout us 2>/dev/null || true
}

# kc_wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds.
kc_wait_for() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    "${@:2}" >/dev/null 2>&1 && return 0 || sleep 0.1
  done
  return 1
}

# The X window titled $1. A search aborts with BadWindow when a window goes
# away under it, so it is tried again.
kc_window_id() {
  local found
  for _ in 1 2 3 4 5; do
    found=$(xdotool search --name "^$1\$" 2>/dev/null) && break
    sleep 0.05
  done
  [ -n "$found" ] && echo "${found%%$'\n'*}"
}

# x y w h of an X window inside the virtual desktop.
kc_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

kc_is_fitted() {
  local id w
  id=$(kc_window_id "$TITLE") && read -r _ _ w _ < <(kc_geometry "$id") && [ "$w" -gt 200 ]
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
  kc_wait_for 20 kc_is_fitted || kc_fail "no fitted window within 20 s"
  APP_WIN=$(kc_window_id "$TITLE")
}

# Clicks into the client area, below the count line, to activate it.
kc_app_focus() {
  local x y w h
  read -r x y w h < <(kc_geometry "$APP_WIN")
  xdotool mousemove $((x + w / 2)) $((y + h - 8)) click 1 sleep 0.3
}

# kc_press CODE...: each key down, then up, in one xdotool run; the gaps
# let the checker read every change on its own.
kc_press() {
  local args=() code
  for code in "$@"; do
    args+=(keydown "$code" sleep "$KEY_GAP" keyup "$code" sleep "$KEY_GAP")
  done
  xdotool "${args[@]}"
}

# Sends WM_CLOSE and waits for the program to end with exit code 0.
kc_app_close() {
  local status=0
  wine "$KC_TOOL" close "$TITLE" >/dev/null || kc_fail "could not close the window"
  kc_wait_for 15 sh -c "! kill -0 $APP_PID" || kc_fail "still running 15 s after close"
  wait "$APP_PID" || status=$?
  APP_PID=
  [ "$status" = 0 ] || kc_fail "exit code $status"
}
