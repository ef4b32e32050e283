# Drives the real checker under the build's private Wine: start it in a
# directory of its own, give it the focus with a click, press keys by X
# keycode (keysyms make xdotool toggle Num Lock and add modifiers), close
# it with WM_CLOSE, and compare the log's bytes. Sourced by each e2e test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../wine/wine-lib.sh"
kc_wine_use "$KC_STATE"

TITLE="Corvane Keyboard Checker v1.0.0"
KEY_GAP=${KEY_GAP:-0.08}
APP_PID=

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Whatever a test leaves running when it ends is ended here: only the
# processes it started, then this prefix's wineserver.
# Safe under set -e: the program may have ended already.
e2e_cleanup() {
  if [ -n "$APP_PID" ]; then
    kill "$APP_PID" 2>/dev/null || true
  fi
  wineserver -k 2>/dev/null || true
  setxkbmap -model pc105 -layout us 2>/dev/null || true
}
trap e2e_cleanup EXIT

# fresh_dir NAME: an empty working directory for one run.
fresh_dir() {
  local dir=$KC_WORK/$1
  # A run that failed half-way may have left it immutable.
  chattr -i "$dir" 2>/dev/null || true
  rm -rf "$dir"
  mkdir -p "$dir"
  echo "$dir"
}

# wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds.
wait_for() {
  local limit=$(($1 * 10))
  shift
  for _ in $(seq 1 $limit); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The X window of the Wine window titled $1; fails while there is none.
# A search aborts with BadWindow when some window goes away under it (the
# last run's windows do), so it is tried again.
window_id() {
  local found
  for _ in 1 2 3 4 5; do
    if found=$(xdotool search --name "^$1\$" 2>/dev/null); then
      [ -n "$found" ] || return 1
      echo "${found%%$'\n'*}"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# x y w h of an X window inside the virtual desktop (at the root's origin).
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

window_is_fitted() {
  local id
  id=$(window_id "$TITLE") && [ -n "$id" ] || return 1
  read -r _ _ w _ < <(window_geometry "$id")
  [ "$w" -gt 200 ]
}

# app_launch DIR [ARGS...]: starts the checker in DIR (the Japanese locale
# when KC_JAPANESE=1, another executable when KC_RUN_EXE is set) and waits
# for its window to exist. Wine's output goes beside DIR, which may be
# unwritable.
app_launch() {
  local dir=$1 exe=${KC_RUN_EXE:-$KC_EXE}
  shift
  if [ "${KC_JAPANESE:-0}" = 1 ]; then
    (cd "$dir" && kc_in_japanese exec wine "$exe" "$@") >"$dir.wine.out" 2>&1 &
  else
    (cd "$dir" && exec wine "$exe" "$@") >"$dir.wine.out" 2>&1 &
  fi
  APP_PID=$!
  wait_for 20 window_id "$TITLE" || fail "no window within 20 s"
  APP_WIN=$(window_id "$TITLE")
}

# app_start DIR [ARGS...]: app_launch, then waits for the first drawing to
# have fitted the window.
app_start() {
  app_launch "$@"
  wait_for 20 window_is_fitted || fail "no fitted window within 20 s"
}

# Clicks into the client area, below the count line, to activate the window.
app_focus() {
  local x y w h
  read -r x y w h < <(window_geometry "$APP_WIN")
  xdotool mousemove $((x + w / 2)) $((y + h - 8)) click 1
  sleep 0.3
}

# press CODE...: each key down then up, one after the other.
press() {
  local code
  for code in "$@"; do
    xdotool keydown "$code"
    sleep "$KEY_GAP"
    xdotool keyup "$code"
    sleep "$KEY_GAP"
  done
}

# Sends WM_CLOSE, as the close box does, and waits for a clean exit.
app_close() {
  wine "$KC_TOOL" close "$TITLE" >/dev/null || fail "could not close the window"
  local status=0
  wait_for 15 sh -c "! kill -0 $APP_PID" || fail "still running 15 s after close"
  wait "$APP_PID" || status=$?
  APP_PID=
  [ "$status" = 0 ] || fail "exit code $status"
}

# expect_log FILE LINE...: the file holds exactly these lines, CR LF ended.
expect_log() {
  local file=$1
  shift
  local expected
  expected=$(mktemp)
  printf '%s\r\n' "$@" >"$expected"
  if ! cmp -s "$expected" "$file"; then
    echo "expected:" >&2
    od -c "$expected" | tail -n 12 >&2
    echo "got:" >&2
    od -c "$file" | tail -n 12 >&2
    rm -f "$expected"
    fail "log bytes differ in $file"
  fi
  rm -f "$expected"
}

CLOSE_US="Keyboard type : PC/AT like US English keyboard / DirectX"
CLOSE_JP="Keyboard type : Japanese 106 keyboard / DirectX"
