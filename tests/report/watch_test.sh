#!/usr/bin/env bash
# The real watcher in a real terminal (tmux) while this script appends
# batches to its log: states in their colours and the counts, chatter at a
# 0.15 s gap under --chatter 300 (wide enough that a busy machine still
# reads the two lines apart) and none at 1 s, a new view when the log is
# emptied, and the summary and status once the closing line arrives.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
tmux=(tmux -L "kc-watch-$$")
trap '"${tmux[@]}" kill-server 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir"
"${tmux[@]}" new-session -d -x 100 -y 30 "'$report' --watch --chatter 300 k.log; echo status \$?; sleep 60"
failures=0
fail() { echo "FAIL: $1; the screen:" && "${tmux[@]}" capture-pane -p && failures=$((failures + 1)); }
expect() { # PATTERN: on the screen, colours as escapes, within 5 s
  for _ in $(seq 50); do
    "${tmux[@]}" capture-pane -p -e | grep -q -- "$1" && return
    sleep 0.1
  done
  fail "no '$1'"
}
log() { printf '%s\r\n' "$@" >>k.log; }
expect "waiting for the checker's log: k.log"
log 'Q down' 'W down' && expect '2 held'
log 'Q up' && expect 'tested 1 of 101 · 1 held · 99 left · at most 2 at once' && expect '^left: Esc .* BS Tab E R '
e=$'\e\\[' && expect "${e}97m${e}48;5;25m *Q *${e}39m${e}49m *${e}97m${e}48;5;166m *W.* ${e}30m${e}48;5;252m *E"
log 'W up' 'E down' && log 'E up' && sleep 0.15 && log 'E down' && log 'E up' &&
  sleep 1 && log 'E down' && log 'E up'
expect 'E: down again [0-9.]* ms after up, line 7$'
sleep 1.3 && ! "${tmux[@]}" capture-pane -p | grep -q 'line 9' || fail "chatter at 1 s"
: >k.log && expect 'tested 0 of 101'
log 'A down' 'A up' 'Keyboard type : PC/AT like US English keyboard / DirectX'
expect '^Tested (1): A$' && expect '^status 1$'
# The view hid the cursor and turned line wrap off; both are given back.
[ "$("${tmux[@]}" display -p '#{cursor_flag}#{wrap_flag}')" = 11 ] ||
  fail "the cursor or line wrap not given back"

# A board of two keys: the verdict line appears once no key is left, held
# keys named in it, and turns as they come up.
printf '{"name": "two", "title": "Two", "keys": [{"code": 30, "label": "A", "x": 0, "y": 0}, {"code": 31, "label": "S", "x": 1, "y": 0}]}' >two.json
"${tmux[@]}" kill-session 2>/dev/null || true
"${tmux[@]}" new-session -d -x 100 -y 30 "'$report' --watch --board two.json t.log; echo status \$?; sleep 60"
printf 'A down\r\nA up\r\n' >>t.log
expect 'tested 1 of 2 · 0 held · 1 left' && expect '^left: S$'
"${tmux[@]}" capture-pane -p | grep -q '^verdict' && fail "a verdict with a key left"
printf 'S down\r\n' >>t.log
expect 'tested 1 of 2 · 1 held · 0 left' && expect '^verdict: FAIL · held at the end: S'
printf 'S up\r\n' >>t.log
expect '^verdict: PASS'
[ "$failures" = 0 ] || exit 1
echo "live view, chatter, new run, closing line and verdict line as expected"
