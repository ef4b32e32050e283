#!/usr/bin/env bash
# The real program on files that are no log and on outputs it must not
# touch: each gives status 2, one line on stderr, nothing on stdout, no
# HTML, no hang, flat memory; a default HTML it cannot write only warns.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
expect() { # NAME COMMAND...
  local name=$1 status=0
  timeout 60 /usr/bin/time -f %M -o rss "${@:2}" >out 2>err || status=$?
  if [ "$status" -ne 2 ] || [ "$(wc -l <err)" -ne 1 ] || [ -s out ] ||
    [ -e keyboard-report.html ] || [ "$(tail -n 1 rss)" -gt 30000 ]; then
    echo "FAIL $name: status $status, $(tail -n 1 rss) KB:" && cat err out
    failures=$((failures + 1))
  fi
}
mkdir adir
: >empty.log
printf 'MZ\0\1\2\3\377\376\n\0\0\0\n' >binary.log
head -c 10M /dev/zero | tr '\0' Q >long.log
printf 'Q down\n' >locked.log && chmod 000 locked.log && chmod 777 .
expect missing "$report" missing.log
expect directory "$report" adir
expect empty "$report" empty.log
expect binary "$report" binary.log
expect "10 MB line" "$report" long.log
nobody=() && [ "$(id -u)" -ne 0 ] || nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
expect unreadable "${nobody[@]}" "$report" locked.log
expect usage "$report" --layout de empty.log
printf 'Q down\r\nQ up\r\n' >ok.log && cp ok.log kept.log
expect "--html naming the log" "$report" --html ./ok.log ok.log
expect "--html ''" "$report" --html '' ok.log
expect "a file name that moves the cursor" "$report" $'x\n\e[1mfake.log'
if mknod full c 1 7 2>/dev/null && ln -s full link; then
  expect "--html a device" "$report" --html full ok.log
  expect "--html a link" "$report" --html link ok.log
  [ -c full ] && [ -L link ] || { echo "FAIL: the device or link is gone" && failures=99; }
fi
status=0 && "$report" --json ok.log >/dev/full 2>err || status=$?
[ "$status" = 2 ] && [ "$(wc -l <err)" = 1 ] || { echo "FAIL: full stdout: $status" && failures=99; }
mkdir ro && cp ok.log ro/ && chmod 555 ro # a default HTML that cannot be written
status=0 && "${nobody[@]}" "$report" ro/ok.log >out 2>err || status=$?
[ "$status" = 1 ] && grep -qx 'Tested (1): Q' out && grep -q warning err && cmp -s ok.log kept.log ||
  { echo "FAIL: read-only folder or the log changed: $status" && cat err && failures=99; }
rm long.log && head -c 1G /dev/urandom >random.log
expect "1 GB of random bytes" "$report" random.log
[ "$failures" -eq 0 ] && echo "all bad inputs refused"
exit "$failures"
