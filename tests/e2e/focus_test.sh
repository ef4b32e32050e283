#!/usr/bin/env bash
# Keys typed into another program are neither logged nor shown; back in
# the checker, logging resumes with nothing duplicated or lost.
. "$(dirname "$0")/e2e-lib.sh"

A=38 Q=24 W=25 S=39

client_shot() {
  local x y w h
  read -r x y w h < <(window_geometry "$APP_WIN")
  # The caption changes with activation; only the client area matters.
  import -window root -crop "$((w - 16))x$((h - 40))+$((x + 8))+$((y + 32))" "$1"
}

dir=$(fresh_dir focus)
app_start "$dir" /en
app_focus
press $A

(cd "$dir" && exec wine notepad) >/dev/null 2>&1 &
notepad_pid=$!
wait_for 20 window_id "Untitled - Notepad" || fail "notepad did not start"
sleep 1
client_shot "$dir/before.png"
xdotool keydown $Q
sleep 0.3
client_shot "$dir/held-elsewhere.png"
xdotool keyup $Q
press $W
diff_pixels=$(compare -metric AE "$dir/before.png" "$dir/held-elsewhere.png" null: 2>&1 || true)
[ "$diff_pixels" = 0 ] || fail "the window changed while a key was held elsewhere ($diff_pixels px)"

wine "$KC_TOOL" close "Untitled - Notepad" >/dev/null || true
wait_for 10 sh -c "! kill -0 $notepad_pid" || kill "$notepad_pid"
app_focus
press $S
app_close
expect_log "$dir/Corvanekeyboardchecker.log" "A down" "A up" "S down" "S up" "$CLOSE_US"
echo "ok: keys typed elsewhere are neither logged nor shown"
