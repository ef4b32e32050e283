#!/usr/bin/env bash
# KeyboardReport.exe as Explorer starts it, in a console of its own
# (wineconsole): with a log dropped on it, the report and then a wait for a
# key; double-clicked with no log, a watch of the checker's log in its own
# folder, then the wait. Started from a script it never waits.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
. "$(dirname "$0")/../../tools/checker.sh"
trap kc_cleanup EXIT
dir=${KC_WORK:?}/console && rm -rf "$dir" && mkdir -p "$dir"
cp "$(dirname "$KC_EXE")/KeyboardReport.exe" "$dir/"
printf 'Q down\r\nQ up\r\n' >"$dir/k.log"
status=0 && (cd "$dir" && timeout 20 wine KeyboardReport.exe k.log) >"$dir/out" || status=$?
[ "$status" = 1 ] && grep -q '^Tested (1): Q$' "$dir/out" && ! grep -q 'Press any key' "$dir/out" ||
  kc_fail "from a script: status $status"

(cd "$dir" && timeout 20 wine KeyboardReport.exe --board jis109 --print-board) >"$dir/jis109.json" &&
  cmp -s "$dir/jis109.json" "$(dirname "$0")/../../keymodel/boards/jis109.json" || kc_fail "--print-board"

# in_console FOLDER ARGS...: started there in a console of its own.
in_console() { (cd "$1" && exec wineconsole "$dir/KeyboardReport.exe" "${@:2}") >/dev/null 2>&1 & PID=$!; }
# closes_on_key WHAT: once its HTML is there, it stays until a key comes.
closes_on_key() {
  kc_wait_for 20 test -s "$dir/keyboard-report.html" || kc_fail "$1: no report"
  sleep 2 && kill -0 "$PID" || kc_fail "$1: it did not wait for a key"
  read -r x y w h < <(kc_geometry "$(kc_window_id '.*KeyboardReport\.exe')")
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1 sleep 0.3 key 36
  kc_wait_for 10 sh -c "! kill -0 $PID" || kc_fail "$1: a key did not close it"
  rm "$dir/keyboard-report.html"
}
in_console "$dir" k.log && closes_on_key "a dropped log"
in_console "$KC_WORK"
kc_wait_for 20 kc_window_id '.*KeyboardReport\.exe' || kc_fail "no console window"
sleep 1 && printf 'Q down\r\nQ up\r\n%s\r\n' "Keyboard type : PC/AT like US English keyboard / DirectX" \
  >"$dir/Corvanekeyboardchecker.log"
closes_on_key "double-clicked"
kc_done "its own console: the report, then a wait for a key; from a script, none"
