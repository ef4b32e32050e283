#!/usr/bin/env bash
# The HTML of a short log: well-formed XML, and its SVG rendered with the
# tested, the held and a never-pressed key's boxes in their own colours.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf 'Q down\r\nQ up\r\nW down\r\n' >k.log
status=0
"$report" k.log >summary || status=$?
[ "$status" -eq 1 ] && grep -qx 'HTML report: keyboard-report.html' summary ||
  echo "FAIL: status $status: $(cat summary)"
xmllint --noout keyboard-report.html
sed -n '/<svg/,/<\/svg>/p' keyboard-report.html >k.svg
rsvg-convert k.svg -o k.png
colour_of() { # LABEL: the rendered colour inside its box, below the glyph
  local box="//*[local-name()='text'][.='$1']/preceding-sibling::*[1]" x y h
  x=$(xmllint --xpath "string($box/@x)" k.svg)
  y=$(xmllint --xpath "string($box/@y)" k.svg)
  h=$(xmllint --xpath "string($box/@height)" k.svg)
  convert k.png -format "%[hex:p{$((x * 2 + 4)),$(((y + h) * 2 - 4))}]" info:
}
[ "$(colour_of Q)" = 0072B2FF ] && [ "$(colour_of W)" = D55E00FF ] &&
  [ "$(colour_of Esc)" = E0E0E0FF ] ||
  { echo "FAIL: Q $(colour_of Q), W $(colour_of W), Esc $(colour_of Esc)"; exit 1; }
[ "$status" -eq 1 ] && echo "HTML well-formed; Q tested, W held, Esc never, in their colours"
