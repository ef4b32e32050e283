#!/usr/bin/env bash
# The native checker against what may sit at its log's name or happen to
# the log while it runs: a planted link (dangling too), a FIFO, a second
# copy, a write that fails, the log deleted, in the classic window and in
# board mode, which says so in its status line; started by the menu's command
# from a folder nobody can write; its window destroyed by another client.
# Each leaves the user's files as they were and says what it did.
set -euo pipefail
. "$(dirname "$0")/../../tools/native.sh"
. "$(dirname "$0")/keys.sh"
KC_KEEP_GOING=1 # every failed check is told
trap kc_native_down EXIT
kc_native_up
LOG=Corvanekeyboardchecker.log
entry=$(dirname "$0")/../../resources/keyboard-checker.desktop

# launch DIR COMMAND...: the command run in DIR, its output in $dir.out,
# until its window has the focus.
launch() {
  (cd "$1" && exec "${@:2}") >"$dir.out" 2>&1 &
  APP_PID=$!
  # Its own window: the last copy's may outlive it for a moment on the server.
  local own="xdotool search --all --pid $APP_PID --name '^$TITLE\$'"
  kc_wait_for 20 sh -c "$own | grep -q ." || kc_fatal "no window within 20 s: $(cat "$dir.out")"
  APP_WIN=$(sh -c "$own" | head -n 1)
  kc_wait_for 10 kc_has_focus || kc_fail "the window never got the focus"
}
# stop HOW STATUS: the checker closed by a signal, or by another client
# destroying its window, must end with STATUS.
stop() {
  local status=0
  [ "$1" = destroy ] && xdotool windowclose "$APP_WIN" || kill "-$1" "$APP_PID"
  kc_wait_for 10 sh -c "! kill -0 $APP_PID" || kc_fatal "still running after $1"
  wait "$APP_PID" || status=$?
  APP_PID=
  [ "$status" = "$2" ] || kc_fail "exit status $status after $1, want $2: $(cat "$dir.out")"
}
# running TEXT: said at the write that found it, not only by the closing line.
running() { kc_wait_for 10 grep -q "$1" "$dir.out" || kc_fail "not said while running: $1"; }
said() { [ "$(wc -l <"$dir.out")" = 1 ] && grep -q "$1" "$dir.out" || kc_fail "stderr: $(cat "$dir.out")"; }
# noted TEST N: the count line's red beyond "  0 key(s) on" is the note that keys are
# not logged.
noted() {
  read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
  import -window root -crop "${cw}x$ch+$cx+$cy" "$dir/shot.png"
  px shot "130 112 120 16" '#F00000' "$1" "$2" "the note on logging: want $1 $2"
}

echo "== a link at the log's name, to a file and to nowhere; a FIFO there"
dir=$(fresh link)
echo "another user's file" >"$dir/target" && cp "$dir/target" "$dir/kept"
for link in target missing; do
  ln -sfn "$link" "$dir/$LOG"
  launch "$dir" "$KC_CHECKER" /en
  kc_press 24
  stop TERM 0
  said "cannot create $LOG: not a regular file"
  cmp -s "$dir/target" "$dir/kept" && [ ! -e "$dir/missing" ] && [ -L "$dir/$LOG" ] ||
    kc_fail "written through the link to $link"
done
rm "$dir/$LOG" && mkfifo "$dir/$LOG"
launch "$dir" "$KC_CHECKER" /en
noted -gt 20
stop INT 0
[ -p "$dir/$LOG" ] && said "not a regular file" || kc_fail "the FIFO"

echo "== a second copy in the same folder runs without a log"
dir=$(fresh second)
launch "$dir" "$KC_CHECKER" /en
first=$APP_PID
kc_press 24
(cd "$dir" && exec "$KC_CHECKER" /en) 2>"$dir.second" &
kc_wait_for 20 grep -q "$LOG: another copy of the checker is writing it" "$dir.second" ||
  kc_fail "the second copy: $(cat "$dir.second")"
APP_PID=$! && stop TERM 0
APP_PID=$first && kc_native_focus && kc_press 25
stop TERM 0
expect_log "$dir" "Q down" "Q up" "W down" "W up" "$CLOSE_US"

for mode in /en "--board ansi104"; do
  echo "== $mode: a failed write is said, the log stops short, exit status 1"
  dir=$(fresh full) # 1 KB at most, the signal ignored: writes fail with EFBIG
  launch "$dir" bash -c 'ulimit -f 1 && trap "" XFSZ && exec "$0" "$@"' "$KC_CHECKER" $mode
  for _ in $(seq 10); do kc_press 24 25 26 27 28 29 30 31 32 33; done
  running "the log stops here"
  stop TERM 1
  said "cannot write $LOG: File too large; the log stops here"
  ! grep -q "Keyboard type" "$dir/$LOG" || kc_fail "a short log ends as if whole"

  echo "== $mode: the log deleted, replaced or moved while the checker runs"
  for how in deleted replaced moved; do
    dir=$(fresh "$how")
    launch "$dir" "$KC_CHECKER" $mode
    kc_press 24 && sleep 0.3
    case $how in
      deleted) rm "$dir/$LOG" ;;
      replaced) printf 'not yours\n' >"$dir/new" && mv "$dir/new" "$dir/$LOG" ;;
      moved) mv "$dir/$LOG" "$dir/moved.log" ;;
    esac
    kc_press 25
    running "deleted or replaced"
    stop TERM 1
    said "$LOG was deleted or replaced while the checker ran"
    # Nothing goes to what took the name; the file under its new name
    # keeps Q, the write that found it gone at most, and no closing line
    # to make it look whole.
    [ "$how" != replaced ] || [ "$(cat "$dir/$LOG")" = "not yours" ] ||
      kc_fail "$how: written to the file that took the log's name"
    [ "$how" != moved ] || { sed -E 's/ [0-9]+\r$//; s/\r$//' "$dir/moved.log" | grep -v '^Board test' |
      head -n 3 | cmp -s - <(printf 'Q down\nQ up\nW down\n') &&
      ! grep -q '^Keyboard type' "$dir/moved.log"; } || kc_fail "$how: $(cat -A "$dir/moved.log")"
  done
done

echo "== board mode: a link at the log's name, a second copy; the status line says so"
# The black of the status line's text: the first of the three lines
# (16 pixels each) above the bottom margin (8).
status_ink() {
  read -r cx cy cw ch < <(kc_geometry "$APP_WIN")
  import -window root -crop "${cw}x16+$cx+$((cy + ch - 56))" +repage "$dir/band.png"
  convert "$dir/band.png" -fill white +opaque '#000000' -fill black -opaque '#000000' \
    -format '%[fx:int((1-mean)*w*h+0.5)]' info:
}
dir=$(fresh board-link)
ln -s missing "$dir/$LOG"
launch "$dir" "$KC_CHECKER" --board ansi104
unlogged=$(status_ink)
kc_press 24
stop TERM 0
said "cannot create $LOG: not a regular file"
[ -L "$dir/$LOG" ] && [ ! -e "$dir/missing" ] || kc_fail "written through the link"
rm "$dir/$LOG"
launch "$dir" "$KC_CHECKER" --board ansi104
[ "$unlogged" -gt "$(($(status_ink) + 20))" ] || kc_fail "no \"(no log)\" in the status line"
first=$APP_PID
kc_press 24
(cd "$dir" && exec "$KC_CHECKER" --board ansi104) 2>"$dir.second" &
kc_wait_for 20 grep -q "$LOG: another copy of the checker is writing it" "$dir.second" ||
  kc_fail "the second copy: $(cat "$dir.second")"
APP_PID=$! && stop TERM 0
APP_PID=$first && kc_native_focus && kc_press 25
stop TERM 0
sed -E '1d; s/ [0-9]+\r$//; s/\r$//' "$dir/$LOG" | cmp -s - <(printf '%s\n' "Q down" "Q up" "W down" \
  "W up" "Keyboard type : ANSI 104-key (US) / board ansi104") || kc_fail "the first copy's log: $(cat -A "$dir/$LOG")"

echo "== the menu's command from a folder nobody can write: the log at home"
dir=$(fresh menu) && mkdir "$dir/bin" && ln -s "$KC_CHECKER" "$dir/bin/keyboard-checker"
# The entry's Exec, unescaped as the desktop does: the value's "\\" is a
# backslash, then the quoting is the shell's double quotes.
exec_of() { sed -n "/^\[$1\]/,/^Exec=/s/^Exec=//p" "$entry" | sed 's/\\\\/\\/g'; }
eval "command=($(exec_of 'Desktop Entry'))"
launch /proc env HOME="$dir" PATH="$dir/bin:$PATH" "${command[@]}"
noted -eq 0
kc_press 24
stop TERM 0
expect_log "$dir" "Q down" "Q up" "$CLOSE_US"
# A home that is not there, not a folder, empty or unset: the command
# ends without starting the checker, so a log where it was started stays.
eval "command=($(exec_of 'Desktop Action ansi104'))"
printf 'kept\r\n' >"$dir/$LOG"
for home in "HOME=$dir/missing" "HOME=$dir/$LOG" "HOME=" "-u HOME"; do
  status=0
  (cd "$dir" && env $home PATH="$dir/bin:$PATH" timeout 5 "${command[@]}") 2>/dev/null || status=$?
  [ "$status" != 0 ] && [ "$status" != 124 ] && [ "$(cat "$dir/$LOG")" = $'kept\r' ] ||
    kc_fail "the menu's command with $home: status $status, log $(cat -A "$dir/$LOG")"
done

echo "== the window destroyed by another client: a close, in either window"
dir=$(fresh destroyed)
launch "$dir" "$KC_CHECKER" /en
kc_press 24
stop destroy 0
expect_log "$dir" "Q down" "Q up" "$CLOSE_US"
launch "$dir" "$KC_CHECKER" --board ansi104
kc_press 24
stop destroy 0
tail -n 1 "$dir/$LOG" | grep -q " / board ansi104"$'\r$' || kc_fail "no closing line: $(cat -A "$dir/$LOG")"
kc_done "ok: the log's name and the log kept safe"
