#!/usr/bin/env bash
# Two copies in one directory: both run and both end when closed, though
# they share the "waitkey" event, and the copy started second owns the log
# it truncated: the first copy's last line is added after it, never over it.
. "$(dirname "$0")/e2e-lib.sh"

dir=$(fresh_dir two-copies)
log=$dir/Corvanekeyboardchecker.log
app_start "$dir" /en
first_pid=$APP_PID
app_focus
press 38
expect_log "$log" "A down" "A up"

(cd "$dir" && exec wine "$KC_EXE" /en) >"$dir/second.out" 2>&1 &
second_pid=$!
wait_for 20 sh -c "[ \$(xdotool search --name '^$TITLE\$' | wc -l) = 2 ]" ||
  fail "the second copy shows no window"
wait_for 10 sh -c "[ ! -s '$log' ]" || fail "the second copy did not truncate the log"

# FindWindow finds the topmost window: the second copy's, then the first's.
for pid in $second_pid $first_pid; do
  wine "$KC_TOOL" close "$TITLE" >/dev/null || fail "no window left to close"
  wait_for 15 sh -c "! kill -0 $pid" || fail "copy $pid still running 15 s after close"
  status=0
  wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "copy $pid exit code $status"
done
APP_PID=
expect_log "$log" "$CLOSE_US" "$CLOSE_US"
echo "figures: both copies ended with exit code 0; the log holds the second copy's record and then the first copy's closing line"
