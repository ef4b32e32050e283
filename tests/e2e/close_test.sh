#!/usr/bin/env bash
# The closing line is the last line of the log on every close, and the
# program leaves no process behind.
. "$(dirname "$0")/e2e-lib.sh"

A=38
for run in 1 2 3 4 5; do
  dir=$(fresh_dir close-$run)
  app_start "$dir" /en
  app_focus
  press $A
  app_close
  expect_log "$dir/Corvanekeyboardchecker.log" "A down" "A up" "$CLOSE_US"
  ! pgrep -f "$(basename "$KC_EXE")" >/dev/null || fail "a checker process is left after run $run"
done
echo "ok: closing line last in 5 runs out of 5"
