#!/usr/bin/env bash
# The window as a user sees it: its caption, its fitted size, and a
# screenshot in which held keys are black and the count line is red.
. "$(dirname "$0")/e2e-lib.sh"

LSHIFT=50 A=38

# pixels_of SHOT X Y W H COLOUR: how many pixels of the cell have COLOUR.
pixels_of() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- | grep -ci "$6" || true
}

dir=$(fresh_dir window)
app_start "$dir" /en
[ "$(xwininfo -id "$APP_WIN" | sed -n 's/.*"\(.*\)"$/\1/p' | head -n 1)" = "$TITLE" ] ||
  fail "caption is not '$TITLE'"

wine "$KC_TOOL" layout "$TITLE" us 2A 1E 10 >"$dir/layout.txt" || fail "window_tool failed"
cat "$dir/layout.txt"
read -r _ ww wh < <(grep '^window' "$dir/layout.txt")
read -r _ fw fh < <(grep '^fitted' "$dir/layout.txt")
[ "$ww x $wh" = "$fw x $fh" ] || fail "window is $ww x $wh, fitted size is $fw x $fh"

app_focus
xdotool keydown $LSHIFT
sleep "$KEY_GAP"
xdotool keydown $A
sleep 0.5
import -window root "$dir/held.png"
xdotool keyup $A
sleep "$KEY_GAP"
xdotool keyup $LSHIFT
sleep 0.5
import -window root "$dir/released.png"
app_close

read -r _ _ x y w h < <(grep '^label 2A' "$dir/layout.txt")
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#000000')" -gt 10 ] || fail "held LShft is not black"
[ "$(pixels_of "$dir/released.png" "$x" "$y" "$w" "$h" '#000000')" = 0 ] || fail "released LShft is black"
read -r _ _ x y w h < <(grep '^label 1E' "$dir/layout.txt")
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#000000')" -gt 5 ] || fail "held A is not black"
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#96B4BE')" = 0 ] || fail "held A still has the up colour"
read -r _ _ x y w h < <(grep '^label 10' "$dir/layout.txt")
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#000000')" = 0 ] || fail "Q is black though not held"
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#96B4BE')" -gt 5 ] || fail "Q lacks the up colour"
read -r _ x y w h < <(grep '^count' "$dir/layout.txt")
[ "$(pixels_of "$dir/held.png" "$x" "$y" "$w" "$h" '#F00000')" -gt 20 ] || fail "count line is not red"
# "  2 key(s) on" and "  0 key(s) on" differ only in the digit.
[ "$(compare -metric AE <(convert "$dir/held.png" -crop "${w}x$h+$x+$y" png:-) \
  <(convert "$dir/released.png" -crop "${w}x$h+$x+$y" png:-) null: 2>&1 || true)" != 0 ] ||
  fail "count line did not change with the count"
echo "ok: caption, fitted size ${ww}x$wh, black held keys, red count line"
