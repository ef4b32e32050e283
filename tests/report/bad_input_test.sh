#!/usr/bin/env bash
# The real program on files that are no log: each must give status 2, one
# line on stderr, nothing on stdout and no HTML, without hanging or
# growing with the file (peak memory is checked on the big ones).
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0

# expect NAME MAX_KB COMMAND...: runs the report under a time limit.
expect() {
  local name=$1 max_kb=$2 status=0
  shift 2
  timeout 60 /usr/bin/time -f %M -o rss "$@" >out 2>err || status=$?
  local lines kb
  lines=$(wc -l <err)
  kb=$(tail -n 1 rss)
  if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || [ -s out ] ||
    [ -e keyboard-report.html ] || [ "$kb" -gt "$max_kb" ]; then
    echo "FAIL $name: status $status, $lines stderr lines, ${kb} KB:"
    cat err out
    failures=$((failures + 1))
  fi
}

mkdir adir
: >empty.log
printf 'MZ\0\1\2\3\377\376\n\0\0\0\n' >binary.log
head -c 10M /dev/zero | tr '\0' 'Q' >long.log
printf 'Q down\n' >locked.log
chmod 000 locked.log
chmod 777 .

expect missing 30000 "$report" missing.log
expect directory 30000 "$report" adir
expect empty 30000 "$report" empty.log
expect binary 30000 "$report" binary.log
expect "10 MB line" 30000 "$report" long.log
expect unreadable 30000 setpriv --reuid=65534 --regid=65534 --clear-groups \
  "$report" locked.log
expect usage 30000 "$report" --layout de empty.log
rm long.log
head -c 1G /dev/urandom >random.log
expect "1 GB of random bytes" 30000 "$report" random.log
rm random.log

[ "$failures" -eq 0 ] && echo "all bad inputs refused"
exit "$failures"
