#!/usr/bin/env bash
# Board mode's command lines and locales under Wine: a .cmd line with a
# blank after the board's name or two before it; a board file in a
# Japanese folder on a system whose code page has no Japanese (C.UTF-8,
# which Wine runs as en-US); and jis109, every key pressed by X keycode on
# the jp106 keymap in a Japanese locale, the Japanese "^" key included
# (Wine's DirectInput gives it as 0xFF), to the report's PASS.
set -euo pipefail
KC_KEEP_GOING=1 # every failed check is told
here=$(dirname "$0")
. "$here/../../tools/checker.sh"
. "$here/keys.sh"
. "$here/board_run.sh"
wide_desktop

# cmd_run DIR TAIL: the checker started by a .cmd line ending in TAIL; Q.
cmd_run() {
  printf '@"%s" %s\r\n' "$(winepath -w "$KC_EXE")" "$2" >"$1/board.cmd"
  (cd "$1" && exec wine cmd /c board.cmd) >"$1.wine.out" 2>&1 &
  APP_PID=$!
  kc_wait_for 20 kc_is_fitted || { kc_fail "no board window for '$2'" && return; }
  APP_WIN=$(kc_window_id "$TITLE")
  kc_app_focus && kc_press 24
  kc_app_close
}

echo "== blanks around the board's name in a .cmd line"
for tail in "--board iso105 " "--board  iso105"; do
  dir=$(fresh tail)
  cmd_run "$dir" "$tail"
  expect_board_log "$dir" "Keyboard type : ISO 105-key (Europe) / board iso105" "Q down" "Q up"
done

echo "== a board file in a Japanese folder, the system's code page Western"
dir=$(fresh path)
mkdir "$dir/ボード"
sed 's/"iso105"/"mine"/; s/"title": "[^"]*"/"title": "Mine"/' "$boards/iso105.json" \
  >"$dir/ボード/mine.json"
LC_ALL=C.UTF-8 run_board "$dir" 'ボード\mine.json'
kc_press 24 && kc_app_close # a message box instead ends with status 2
expect_board_log "$dir" "Keyboard type : Mine / board mine" "Q down" "Q up"

echo "== jis109 on the jp106 keymap in a Japanese locale: every key, PASS"
setxkbmap -model jp106 -layout jp || kc_fatal "cannot set the jp106 keymap"
dir=$(fresh jis109)
export KC_JAPANESE=1
run_board "$dir" jis109
board_keys jis109
all_keys "${KEYS[@]}"
kc_app_close
expect_board_log "$dir" "Keyboard type : JIS 109-key (Japan) / board jis109" "${LINES[@]}"
report "$dir" && [ "$status" = 0 ] ||
  kc_fail "report on jis109, status $status: $(head -n 4 "$dir/report.out")"
kc_done "ok: board mode's command lines and locales under Wine"
