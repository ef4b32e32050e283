#!/usr/bin/env bash
# Durability: the program killed hard in the middle of a run keeps every
# transition it had reported: each batch reaches the disk as it is logged.
. "$(dirname "$0")/e2e-lib.sh"

codes=(38 39 40 41 42 43 44 45 46 24)
labels=(A S D F G H J K L Q)
presses=20

dir=$(fresh_dir kill)
log=$dir/Corvanekeyboardchecker.log
app_start "$dir" /en
app_focus
expected=()
for i in $(seq 0 $((presses - 1))); do
  press "${codes[$((i % 10))]}"
  expected+=("${labels[$((i % 10))]} down" "${labels[$((i % 10))]} up")
done
# The last key's lines are reported within milliseconds; then no warning.
sleep 0.3
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
expect_log "$log" "${expected[@]}"
echo "figures: sent $((presses * 2)) transitions, on disk after SIGKILL $((presses * 2)), lost 0"

# The same with the whole Wine session of the program ended at once.
dir=$(fresh_dir kill-wineserver)
log=$dir/Corvanekeyboardchecker.log
app_start "$dir" /en
app_focus
press 38 39 40
sleep 0.3
wineserver -k
wait "$APP_PID" 2>/dev/null || true
APP_PID=
expect_log "$log" "A down" "A up" "S down" "S up" "D down" "D up"
echo "figures: sent 6 transitions, on disk after wineserver -k 6, lost 0"
