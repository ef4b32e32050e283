#!/usr/bin/env bash
# The HTML of a short log: well-formed XML, and its SVG rendered with the
# tested key's box and a never-pressed key's box in their own colours.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf 'Q down\r\nQ up\r\n' >k.log
status=0
"$report" k.log >summary || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: status $status"; exit 1; }
grep -qx 'HTML report: keyboard-report.html' summary
xmllint --noout keyboard-report.html
sed -n '/<svg/,/<\/svg>/p' keyboard-report.html >k.svg
rsvg-convert k.svg -o k.png
colour_of() { # LABEL: the rendered colour a little inside its box
  local box="//*[local-name()='text'][.='$1']/preceding-sibling::*[1]" x y
  x=$(xmllint --xpath "string($box/@x)" k.svg)
  y=$(xmllint --xpath "string($box/@y)" k.svg)
  convert k.png -format "%[hex:p{$((x * 2 + 4)),$((y * 2 + 4))}]" info:
}
[ "$(colour_of Q)" = 0072B2FF ] && [ "$(colour_of Esc)" = E0E0E0FF ] ||
  { echo "FAIL: Q $(colour_of Q), Esc $(colour_of Esc)"; exit 1; }
echo "HTML well-formed; Q tested, Esc never, in their colours"
