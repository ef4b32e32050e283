#!/usr/bin/env bash
# With the log's name taken by a directory the program still runs, shows
# keys and exits cleanly.
. "$(dirname "$0")/e2e-lib.sh"

A=38
dir=$(fresh_dir nolog)
mkdir "$dir/Corvanekeyboardchecker.log"
app_start "$dir" /en
wine "$KC_TOOL" layout "$TITLE" us 1E >"$dir/layout.txt" || fail "window_tool failed"
app_focus
xdotool keydown $A
sleep 0.5
import -window root "$dir/held.png"
xdotool keyup $A
read -r _ _ x y w h < <(grep '^label 1E' "$dir/layout.txt")
black=$(convert "$dir/held.png" -crop "${w}x$h+$x+$y" +repage txt:- | grep -ci '#000000' || true)
[ "$black" -gt 5 ] || fail "held A is not shown without a log"
app_close
[ -d "$dir/Corvanekeyboardchecker.log" ] || fail "the directory was replaced"
[ -z "$(ls -A "$dir/Corvanekeyboardchecker.log")" ] || fail "something was written into it"
echo "ok: runs, shows keys and exits 0 without a log"
