#!/usr/bin/env bash
# Twenty switches to another program and back, typing in both: only the
# keys typed into the checker are logged, each exactly once, in order.
. "$(dirname "$0")/e2e-lib.sh"

codes=(38 39 40 41 42 43 44 45 46 24)
labels=(A S D F G H J K L Q)
X=53 # typed into the other program only
switches=20

dir=$(fresh_dir switches)
app_start "$dir" /en
app_focus
(cd "$dir" && exec wine notepad) >/dev/null 2>&1 &
notepad_pid=$!
wait_for 20 window_id "Untitled - Notepad" || fail "notepad did not start"
notepad=$(window_id "Untitled - Notepad")
read -r nx ny nw nh < <(window_geometry "$notepad")

expected=()
for i in $(seq 0 $((switches - 1))); do
  xdotool mousemove $((nx + nw / 2)) $((ny + nh / 2)) click 1
  sleep 0.3
  press $X
  app_focus
  press "${codes[$((i % 10))]}"
  expected+=("${labels[$((i % 10))]} down" "${labels[$((i % 10))]} up")
done

wine "$KC_TOOL" close "Untitled - Notepad" >/dev/null || true
wait_for 10 sh -c "! kill -0 $notepad_pid" || kill "$notepad_pid"
app_focus
app_close
expect_log "$dir/Corvanekeyboardchecker.log" "${expected[@]}" "$CLOSE_US"
echo "figures: $switches switches; sent $((switches * 2)) transitions to the checker" \
  "and $((switches * 2)) elsewhere; logged $((switches * 2)), lost 0, duplicated 0, foreign 0"
