# The X side that the Wine and the native runs share: waiting, finding a
# window by its title, its geometry, pressing keys by X keycode. Sourced by
# wine-lib.sh (and so checker.sh) and native.sh.

# The caption carries the project's version, which lives in CMakeLists.txt.
KC_VERSION=${KC_VERSION:-$(sed -n 's/^project(KeyboardChecker VERSION \([0-9.]*\).*/\1/p' \
  "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt")}
TITLE="Corvane Keyboard Checker v$KC_VERSION"
KEY_GAP=${KEY_GAP:-0.04}

# A test that sets KC_KEEP_GOING has each failed check told and counted,
# and runs on, so that one run shows all that is wrong; kc_done ends it.
# Elsewhere the first failure ends the script. kc_fatal is for a failure
# that leaves nothing to check after it.
KC_FAILURES=0
kc_fail() {
  echo "FAIL: $*" >&2
  [ -n "${KC_KEEP_GOING:-}" ] || exit 1
  KC_FAILURES=$((KC_FAILURES + 1))
}
kc_fatal() { echo "FAIL: $*" >&2 && exit 1; }

# kc_done MESSAGE: says it when every check passed; else the count, status 1.
kc_done() {
  [ "$KC_FAILURES" = 0 ] && echo "$*" && return
  echo "$KC_FAILURES check(s) failed" >&2 && exit 1
}

# Xvfb for the run kept in $KC_STATE.
kc_xvfb_alive() { kill -0 "$(cat "$KC_STATE/xvfb.pid" 2>/dev/null)" 2>/dev/null; }

# Xvfb on a display number it finds free itself; -noreset keeps a keymap
# set with setxkbmap when the last client leaves.
kc_start_xvfb() {
  kc_xvfb_alive && return 0
  : >"$KC_STATE/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$KC_STATE/display" >"$KC_STATE/xvfb.log" 2>&1 &
  echo $! >"$KC_STATE/xvfb.pid"
  for _ in $(seq 1 50); do
    [ -s "$KC_STATE/display" ] && export DISPLAY=:$(cat "$KC_STATE/display") &&
      return 0
    sleep 0.1
  done
  echo "x-lib: Xvfb did not start" >&2
  return 1
}

# kc_wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds.
kc_wait_for() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    "${@:2}" >/dev/null 2>&1 && return 0 || sleep 0.1
  done
  return 1
}

# kc_reap SECONDS HOW: waits that long for $APP_PID, closed by HOW, to end
# by itself with status 0; one still running is killed, so no test leaves
# it behind.
kc_reap() {
  local status=0
  if kc_wait_for "$1" sh -c "! kill -0 $APP_PID"; then
    wait "$APP_PID" || status=$?
    [ "$status" = 0 ] || kc_fail "exit status $status after $2"
  else
    kc_fail "still running $1 s after $2"
    kill -KILL "$APP_PID" && wait "$APP_PID" 2>/dev/null || true
  fi
  APP_PID=
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

# kc_press CODE...: each key down, then up, in one xdotool run; the gaps
# let the checker read every change on its own.
kc_press() {
  local args=() code
  for code in "$@"; do
    args+=(keydown "$code" sleep "$KEY_GAP" keyup "$code" sleep "$KEY_GAP")
  done
  xdotool "${args[@]}"
}

