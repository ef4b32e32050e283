#!/usr/bin/env bash
# The real program on files that are no log: each must give status 2, one
# line on stderr, nothing on stdout, no HTML, no hang, and flat memory.
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
rm long.log && head -c 1G /dev/urandom >random.log
expect "1 GB of random bytes" "$report" random.log
[ "$failures" -eq 0 ] && echo "all bad inputs refused"
exit "$failures"
