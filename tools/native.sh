# Drives the native checker as Linux users run it: a private Xvfb with a
# real window manager (openbox), the program started in a directory of its
# own, keys pressed by X keycode, closed through the window manager's close
# request. Sourced by the native end-to-end test, the demo and the
# benchmarks, with KC_CHECKER and KC_STATE set. Only processes started here
# are ended.
. "$(dirname "${BASH_SOURCE[0]}")/x-lib.sh"
APP_PID=

kc_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# kc_native_up [RC]: the display and its window manager, each once; openbox
# reads the configuration RC when one is given.
kc_native_up() {
  local rc=${1:-$KC_STATE/rc.xml}
  mkdir -p "$KC_STATE"
  kc_start_xvfb || return 1
  kc_wm_ready && return 0
  # openbox's own key bindings, but for Alt+F4, would take keys from the
  # classic window (Print starts a screenshot tool): by default it has one.
  [ -n "${1:-}" ] || cat >"$rc" <<'XML'
<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
</openbox_config>
XML
  openbox --sm-disable --config-file "$rc" >"$KC_STATE/wm.log" 2>&1 &
  echo $! >"$KC_STATE/wm.pid"
  kc_wait_for 10 kc_wm_ready || kc_fatal "openbox did not start"
}

kc_native_down() {
  local name
  [ -z "$APP_PID" ] || kill -KILL "$APP_PID" 2>/dev/null || true
  setxkbmap -model pc105 -layout us 2>/dev/null || true
  for name in wm xvfb; do
    kill "$(cat "$KC_STATE/$name.pid" 2>/dev/null)" 2>/dev/null || true
    rm -f "$KC_STATE/$name.pid"
  done
}

# The window manager calls it active a moment before the server's focus
# follows; keys sent in between go to no focused window of ours.
kc_has_focus() {
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$APP_WIN" ] &&
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$APP_WIN" ]
}

# kc_native_launch DIR [ARGS...]: starts it in DIR, its output in DIR.out,
# and waits for its window.
kc_native_launch() {
  (cd "$1" && exec "$KC_CHECKER" "${@:2}") >"$1.out" 2>&1 &
  APP_PID=$!
  kc_wait_for 20 kc_window_id "$TITLE" || kc_fatal "no window within 20 s"
  APP_WIN=$(kc_window_id "$TITLE")
}

# kc_native_start DIR [ARGS...]: launched, then waits until the window
# manager has given it the focus.
kc_native_start() {
  kc_native_launch "$@"
  kc_wait_for 10 kc_has_focus || kc_fatal "the window never got the focus"
}

kc_native_focus() {
  xdotool windowactivate --sync "$APP_WIN" && kc_wait_for 5 kc_has_focus
}

# kc_native_end HOW: closes it with the close box (wmctrl asks the window
# manager, which sends the close request), a signal or Alt+F4, or (none)
# waits for what the caller did; it must end by itself, with status 0.
kc_native_end() {
  case $1 in
  close-box) wmctrl -c "$TITLE" ;;
  alt-f4) xdotool keydown 64 sleep 0.1 key 70 sleep 0.1 keyup 64 ;;
  none) ;;
  *) kill "-$1" "$APP_PID" ;;
  esac
  kc_reap 10 "$1"
}
