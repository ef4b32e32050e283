#!/usr/bin/env bash
# Start-up faults: no input devices at all, a directory nobody may write
# to, and a 32 KB command line of arbitrary bytes. Each run ends cleanly
# on close: no crash, no hang, exit code 0. (The empty tail is the
# no-option run of the layouts test.)
. "$(dirname "$0")/e2e-lib.sh"

# No devices: a dinput.dll whose DirectInputCreateA fails, beside a copy of
# the program. Nothing is ever drawn, so the window keeps its zero size.
dir=$(fresh_dir no-devices)
cp "$KC_EXE" "$KC_NO_DINPUT" "$dir/"
KC_RUN_EXE=$dir/$(basename "$KC_EXE") WINEDLLOVERRIDES="dinput=n;mscoree,mshtml=" \
  app_launch "$dir" /en
sleep 1
app_focus
press 38 39
read -r _ _ w h < <(window_geometry "$APP_WIN")
[ "$w" -lt 200 ] || fail "the window was fitted ($w x $h) with no keyboard"
app_close
expect_log "$dir/Corvanekeyboardchecker.log" "$CLOSE_US"
echo "figures: no devices: window stayed ${w}x$h, 4 transitions sent, 0 logged, exit 0"

# An immutable directory: not even root may create the log there.
dir=$(fresh_dir unwritable)
if chattr +i "$dir" 2>/dev/null; then
  trap 'chattr -i "$dir"; e2e_cleanup' EXIT
  app_start "$dir" /en
  app_focus
  press 38
  app_close
  chattr -i "$dir"
  [ -z "$(ls -A "$dir")" ] || fail "something was written into the directory"
  echo "figures: unwritable directory: ran, fitted, exit 0, nothing written"
else
  echo "note: this filesystem has no immutable attribute; the unwritable case is the nolog test's"
fi

# 32,000 arbitrary non-NUL bytes as the only argument.
dir=$(fresh_dir long-tail)
head -c 64000 /dev/urandom | tr -d '\000' | head -c 32000 >"$dir/tail.bin"
app_start "$dir" "$(cat "$dir/tail.bin")"
app_focus
press 38
app_close
expect_log "$dir/Corvanekeyboardchecker.log" "A down" "A up" "$CLOSE_US"
echo "figures: 32000-byte tail: detection ran (US), 2 transitions logged, exit 0"
