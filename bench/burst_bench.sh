#!/usr/bin/env bash
# Key transitions closer together than a keyboard sends them, through
# XTest (KC_BURST, the tests' key_burst), against a running checker's log:
#   burst_bench.sh gaps NAME LOG   taps and bounces at gaps of 0, 0.125,
#       0.5 and 1 ms, 50 of each, isolated (60 ms apart) and back to back;
#       one "gap" row per case: how many of the lines came, and in order
#   burst_bench.sh burst LOG PID   20,000 transitions at once, 3 times: the
#       time to log them all, memory before and after each, CPU idle
#       afterwards; then 20,000 more sent while it is stopped, and SIGTERM
#       with them all queued: the time to the closing line.
#       Ends the checker.
set -euo pipefail
burst=${KC_BURST:?KC_BURST names key_burst}
A=38 S=39

nowMs() { echo $(($(date +%s%N) / 1000000)); }
size() { stat -c %s "$1"; }
lines() { wc -l <"$1"; }

# settle LOG: until the log has not grown for 0.3 s (at most 30 s).
settle() {
  local last=-1 now i
  for ((i = 0; i < 300; i++)); do
    now=$(size "$1")
    [ "$now" = "$last" ] && return 0
    last=$now && sleep 0.3
  done
}

# expected STEPS...: the lines the steps must log.
expected() {
  local step
  for step in "$@"; do
    case $step in
    d$A) echo "A down" ;; u$A) echo "A up" ;;
    d$S) echo "S down" ;; u$S) echo "S up" ;;
    esac
  done
}

# one_case NAME KIND GAP LOG STEPS...
one_case() {
  local name=$1 kind=$2 gap=$3 log=$4 from sent got order=yes
  shift 4
  from=$(size "$log")
  "$burst" "$@"
  settle "$log"
  sent=$(expected "$@" | wc -l)
  got=$(tail -c +$((from + 1)) "$log" | wc -l)
  cmp -s <(expected "$@") <(tail -c +$((from + 1)) "$log" | tr -d '\r') || order=no
  printf 'gap\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$kind" "$gap" "$got" "$sent" "$order"
}

gaps() {
  local name=$1 log=$2 gap i taps iso bounces biso
  for gap in 0 0.125 0.5 1; do
    taps=() iso=() bounces=(d$S p60) biso=(d$S p60)
    for ((i = 0; i < 50; i++)); do
      taps+=(d$A p$gap u$A p$gap) iso+=(d$A p$gap u$A p60)
      bounces+=(u$S p$gap d$S p$gap) biso+=(u$S p$gap d$S p60)
    done
    one_case "$name" "tap, isolated" "$gap" "$log" "${iso[@]}"
    one_case "$name" "tap, back to back" "$gap" "$log" "${taps[@]}"
    one_case "$name" "bounce, isolated" "$gap" "$log" "${biso[@]}" u$S
    one_case "$name" "bounce, back to back" "$gap" "$log" "${bounces[@]}" u$S
  done
}

rss() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
row() { printf 'row\tnative: %s\t1\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$2" "$2" "$2" "$3" "$4"; }

# all LOG PID STEPS...: sends them and waits until every line is on disk.
all() {
  local log=$1 from start i
  from=$(lines "$log") start=$(nowMs)
  "$burst" "${@:3}"
  for ((i = 0; i < 600; i++)); do
    [ "$(lines "$log")" -ge $((from + $# - 2)) ] && break
    sleep 0.05
  done
  took=$(($(nowMs) - start))
  settle "$log"
  logged=$(($(lines "$log") - from))
}

burst() {
  local log=$1 pid=$2 steps=() took logged before i idle from start closed
  for ((i = 0; i < 10000; i++)); do steps+=(d$A u$A); done
  before=$(rss "$pid")
  all "$log" "$pid" "${steps[@]}"
  row "20,000 transitions at once, logged" "$logged" lines \
    "of 20,000 sent, XTest as fast as it goes"
  row "20,000 transitions at once, all logged after" "$took" ms \
    "from the first event sent to the 20,000th line on disk"
  row "resident memory before 20,000 transitions" "$before" KiB "VmRSS"
  row "resident memory after 20,000 transitions" "$(rss "$pid")" KiB "VmRSS"
  for i in 2 3; do
    all "$log" "$pid" "${steps[@]}"
    row "resident memory after burst $i" "$(rss "$pid")" KiB \
      "VmRSS; $logged of 20,000 logged, in $took ms"
  done
  i=$(ticks "$pid") && sleep 5
  idle=$((($(ticks "$pid") - i) * 1000 / $(getconf CLK_TCK)))
  row "CPU over 5 idle seconds after the bursts" "$idle" ms "user+system time"
  # Stopped while the burst is sent, so that all of it waits unread when
  # the signal comes.
  from=$(lines "$log")
  kill -STOP "$pid"
  "$burst" "${steps[@]}"
  start=$(nowMs)
  kill -TERM "$pid" && kill -CONT "$pid"
  while kill -0 "$pid" 2>/dev/null && [ $(($(nowMs) - start)) -lt 20000 ]; do
    sleep 0.01
  done
  took=$(($(nowMs) - start))
  closed=$(tail -n 1 "$log" | grep -c '^Keyboard type' || true)
  row "SIGTERM with 20,000 transitions unread: exit" "$took" ms \
    "closing line written: $closed; $(($(lines "$log") - from - 1)) lines logged before it"
}

case ${1:-} in
gaps) gaps "$2" "$3" ;;
burst) burst "$2" "$3" ;;
*) echo "usage: $0 gaps NAME LOG | burst LOG PID" >&2 && exit 2 ;;
esac
