#!/usr/bin/env bash
# The real checker under Wine, real keys from xdotool: every key that Wine
# can produce on each layout gives its own line, byte for byte; the option
# and detection pick the table; the window's pixels and fitted size; keys
# typed elsewhere are ignored; a hard kill keeps every reported line; the
# key report follows the log live.
set -euo pipefail
. "$(dirname "$0")/../../tools/checker.sh"
trap kc_cleanup EXIT

CLOSE_US="Keyboard type : PC/AT like US English keyboard / DirectX"
CLOSE_JP="Keyboard type : Japanese 106 keyboard / DirectX"

fresh() { rm -rf "${KC_WORK:?}/$1" && mkdir -p "$KC_WORK/$1" && echo "$KC_WORK/$1"; }

# expect_log DIR LINE...: the log holds exactly these lines, CR LF ended.
expect_log() {
  local log=$1/Corvanekeyboardchecker.log
  cmp -s <(printf '%s\r\n' "${@:2}") "$log" && return
  diff <(printf '%s\n' "${@:2}") <(tr -d '\r' <"$log") | head -n 20 >&2 || true
  kc_fail "log bytes differ in $log"
}

# Keys as "X-keycode=label" (xdotool reads a one-digit number as a keysym,
# so Escape goes by name). F10 and a lone Alt put the window in menu mode,
# where the keys that follow open the system menu: an Escape follows each.
# Caps Lock and Num Lock go twice, which leaves the X lock state as found:
# Wine replays a changed lock state as an extra press at the next focus.
# Scroll Lock comes out twice: Wine replays its lock state at once.
common_keys=(67=F1 68=F2 69=F3 70=F4 71=F5 72=F6 73=F7 74=F8 75=F9 76=F10
  Escape=Esc 95=F11 96=F12
  107=SysR 78=Scrl 127=Paus 118="Ins " 110=Home 112=PgUp 119="Del "
  115="End " 117=PgDn 111=$' \x81\xaa ' 113=$'  \x81\xa9' 116=$' \x81\xab '
  114=$'\x81\xa8  '
  77="NumPad NL" 77="NumPad NL" 106="NumPad / " 63="NumPad * " 82="NumPad - "
  79="NumPad 7 " 80="NumPad 8 " 81="NumPad 9 " 86="NumPad + " 83="NumPad 4 "
  84="NumPad 5 " 85="NumPad 6 " 87="NumPad 1 " 88="NumPad 2 " 89="NumPad 3 "
  104="NumPad En" 90="NumPad 0 " 91="NumPad . ")
letters=(24=Q 25=W 26=E 27=R 28=T 29=Y 30=U 31=I 32=O 33=P 38=A 39=S 40=D
  41=F 42=G 43=H 44=J 45=K 46=L 52=Z 53=X 54=C 55=V 56=B 57=N 58=M)
digits=(10=1 11=2 12=3 13=4 14=5 15=6 16=7 17=8 18=9 19=0)
us_keys=(49='`' "${digits[@]}" 20=- 21== 51='\' 22=BS 23=Tab "${letters[@]}"
  34=[ 35=] 36=Ent 66=Cap 66=Cap 47=';' 48="'" 50=LShft 59=, 60=. 61=/
  62=RShft 37=LCtrl 65=" Space " 108=RAlt 105=RCtrl 64=LAlt Escape=Esc
  "${common_keys[@]}")
# On the jp106 keymap: Zenkaku/Hankaku, yen and ro, the three conversion
# keys; ^ @ : and the brackets move.
jp_keys=(49=$'\x8a\xbf' "${digits[@]}" 20=- 21=^ 132='\' 22=BS 23=Tab
  "${letters[@]}" 34=@ 35=[ 36=Ent 66=Cap 66=Cap 47=';' 48=: 51=] 50=LShft
  59=, 60=. 61=/ 97='\' 62=RShft 37=LCtl 102=$'\x96\xb3' 65=Space
  100=$'\x95\xcf' 101=$'\xb6\xc5' 108=RAlt 105=RCtl 64=LAlt Escape=Esc
  "${common_keys[@]}")

# all_keys KEY...: presses them all; sets LINES to the log they must give.
all_keys() {
  local key codes=() && LINES=()
  for key in "$@"; do
    codes+=("${key%%=*}")
    LINES+=("${key#*=} down" "${key#*=} up")
    [ "${key#*=}" != Scrl ] || LINES+=("Scrl down" "Scrl up")
  done
  kc_press "${codes[@]}" && sleep 0.3
}

# where: the client origin and the outer size.
where() { wine "$KC_TOOL" where "$TITLE" | tr -d '\r'; }

echo "== US keymap, /en: the window, every key, the fit done once"
dir=$(fresh us)
kc_app_start "$dir" /en
read -r _ cx cy < <(where | grep ^client)
# IPAGothic's metrics (H 16, A 9, W 23; the only CJK font installed) give
# a client area 3W+51A+100 = 628 by 8H = 128; Wine's overlapped-window
# frame adds 8 by 27.
[ "$(where | grep ^window)" = "window 636 155" ] || kc_fail "not fitted: $(where)"
kc_app_focus
xdotool keydown 50 sleep 0.05 keydown 38 sleep 0.5
import -window root "$dir/held.png"
xdotool keyup 38 sleep 0.05 keyup 50 sleep 0.5
import -window root "$dir/released.png"
# Cells from the same metrics: LShft (row 3) at W+10, A (row 2) after Cap
# and a one-blank filler, Q (row 1) after Tab, the count line at (A, 7H).
lshft="$((cx + 33)) $((cy + 80)) 45 16" a="$((cx + 79)) $((cy + 64)) 9 16"
q="$((cx + 60)) $((cy + 48)) 9 16" count="$((cx + 9)) $((cy + 112)) 117 16"
px() { # px SHOT CELL COLOUR TEST N WHAT: a cell's pixels of COLOUR
  local n
  n=$(convert "$dir/$1.png" -crop "$(awk '{print $3"x"$4"+"$1"+"$2}' <<<"$2")" \
    +repage -depth 8 txt:- | grep -ci "$3" || true)
  [ "$n" "$4" "$5" ] || kc_fail "$6 ($n pixels of $3)"
}
px held "$lshft" '#000000' -gt 10 "held LShft is not black"
px released "$lshft" '#000000' -eq 0 "released LShft is black"
px held "$a" '#000000' -gt 5 "held A is not black"
px held "$a" '#96B4BE' -eq 0 "held A has the up colour"
px held "$q" '#000000' -eq 0 "Q is black though up"
px held "$q" '#96B4BE' -gt 5 "Q lacks the up colour"
px held "$count" '#F00000' -gt 20 "count line not red"
wine "$KC_TOOL" resize "$TITLE" 700 200
kc_press 24
[ "$(where | grep ^window)" = "window 700 200" ] || kc_fail "a later drawing resized the window"
all_keys "${us_keys[@]}"
kc_app_close
expect_log "$dir" "LShft down" "A down" "A up" "LShft up" "Q down" "Q up" \
  "${LINES[@]}" "$CLOSE_US"

echo "== the option decides the table only when it is the whole tail"
# Wine quotes an argument with a blank: that tail is "/jp " in quotes.
for option in "" "/jp " /JP /jp; do
  dir=$(fresh option)
  kc_app_start "$dir" ${option:+"$option"}
  kc_app_focus
  kc_press 49 51 # grave, backslash
  kc_app_close
  [ "$option" = /jp ] && expect_log "$dir" '\ down' '\ up' "$CLOSE_JP" ||
    expect_log "$dir" '` down' '` up' '\ down' '\ up' "$CLOSE_US"
done

echo "== the key report watching the checker's log (its line mode)"
dir=$(fresh watch)
(cd "$dir" && exec wine "$(dirname "$KC_EXE")/KeyboardReport.exe" --watch) >"$dir.watch" 2>&1 &
watch=$!
kc_wait_for 20 grep -q waiting "$dir.watch" || kc_fail "the watch did not start"
kc_app_start "$dir" /en
kc_app_focus
xdotool keydown 24 sleep 0.4 keyup 24
kc_app_close
kc_wait_for 10 sh -c "! kill -0 $watch" || kc_fail "the watch went on after the closing line"
status=0 && wait "$watch" || status=$?
# Woken by the folder's change notice, not by its one-second safety wake:
# the stamps of Q's two lines stand as far apart as the key's 0.4 s.
awk '/ Q down$/ { d = $1 } / Q up$/ { u = $1 } END { exit !(u - d > 0.3 && u - d < 0.6) }' \
  "$dir.watch" && [ "$status" = 1 ] && grep -qx 'Tested (1): Q' "$dir.watch" ||
  kc_fail "watch, status $status: $(cat "$dir.watch")"

echo "== keys typed into another program; then a hard kill"
dir=$(fresh focus)
kc_app_start "$dir" /en
kc_app_focus
kc_press 38
(cd "$dir" && exec wine notepad) >/dev/null 2>&1 &
notepad=$!
kc_wait_for 20 kc_window_id "Untitled - Notepad" || kc_fail "notepad did not start"
sleep 1
shot="628x128+$cx+$cy"
import -window root -crop "$shot" "$dir/before.png"
xdotool keydown 24 sleep 0.3
import -window root -crop "$shot" "$dir/held-elsewhere.png"
xdotool keyup 24 keydown 25 sleep 0.05 keyup 25
[ "$(compare -metric AE "$dir/before.png" "$dir/held-elsewhere.png" null: 2>&1 || true)" = 0 ] ||
  kc_fail "the window changed while a key was held in another program"
wine "$KC_TOOL" close "Untitled - Notepad" >/dev/null || true
kc_wait_for 10 sh -c "! kill -0 $notepad" || kill "$notepad"
kc_app_focus
kc_press 39 && sleep 0.3
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
expect_log "$dir" "A down" "A up" "S down" "S up"

echo "== jp106 keymap in a Japanese locale: detection, every key"
setxkbmap -model jp106 -layout jp || kc_fail "cannot set the jp106 keymap"
export KC_JAPANESE=1
dir=$(fresh jp)
kc_app_start "$dir"
kc_app_focus
all_keys "${jp_keys[@]}"
kc_app_close
expect_log "$dir" "${LINES[@]}" "$CLOSE_JP"

# "/en" still wins when the program's unquoted path holds Shift-JIS bytes.
dir=$(fresh "ツール")
cp "$KC_EXE" "$dir/"
KC_EXE=$dir/$(basename "$KC_EXE") kc_app_start "$dir" /en
kc_app_focus
kc_press 49 24 21 97 # Zenkaku/Hankaku, Q, ^, ro
kc_app_close
expect_log "$dir" "Q down" "Q up" '\ down' '\ up' "$CLOSE_US"
echo "ok: all end-to-end checks passed"
