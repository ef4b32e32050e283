#!/usr/bin/env bash
# The HTML of two boards' logs: well-formed XML, every keycap of the board
# drawn, and its SVG rendered with keys tested, held, never pressed and
# chattering in their own colours. Leaves the jis109 picture beside the
# program (html-jis109.png) for a person to look at.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*"; exit 1; }
colour_of() { # SVG LABEL: the rendered colour a little inside its cap
  local box="//*[local-name()='text'][.='$2']/preceding-sibling::*[1]" x y
  x=$(xmllint --xpath "string($box/@x)" "$1.svg")
  y=$(xmllint --xpath "string($box/@y)" "$1.svg")
  convert "$1.png" -format "%[hex:p{$(printf %.0f "$x")+4,$(printf %.0f "$y")+4}]" info:
}
picture() { # LOG NAME: the report's SVG of LOG as NAME.svg and NAME.png
  xmllint --noout keyboard-report.html
  sed -n '/<svg/,/<\/svg>/p' keyboard-report.html >"$2.svg"
  rsvg-convert "$2.svg" -o "$2.png"
  local caps
  caps=$(xmllint --xpath "count(//*[local-name()='rect'])" "$2.svg")
  [ "$caps" = $(($3 + 4)) ] || fail "$2: $caps boxes, not $3 keys and the legend"
}

printf 'Q down\r\nQ up\r\n' >k.log
status=0 && "$report" k.log >summary || status=$?
[ "$status" -eq 1 ] || fail "status $status"
grep -qx 'HTML report: keyboard-report.html' summary
picture k.log us101 101
[ "$(colour_of us101 Q)" = 0072B2FF ] && [ "$(colour_of us101 Esc)" = E0E0E0FF ] ||
  fail "us101: Q $(colour_of us101 Q), Esc $(colour_of us101 Esc)"

# A board run's log: LWin tested, Yen held, A chattering (down 5 ms after up).
printf '%s\r\n' "LWin down 10" "LWin up 90" "A down 100" "A up 150" "A down 155" \
  "A up 250" "Yen down 300" "Keyboard type : JIS 109-key (Japan) / board jis109" >j.log
status=0 && "$report" j.log >summary || status=$?
[ "$status" -eq 1 ] || fail "jis109 status $status"
picture j.log jis109 109
cp jis109.png "$(dirname "$report")/html-jis109.png"
for key in LWin=0072B2FF Yen=D55E00FF Ro=E0E0E0FF; do
  [ "$(colour_of jis109 "${key%=*}")" = "${key#*=}" ] ||
    fail "jis109: ${key%=*} is $(colour_of jis109 "${key%=*}")"
done
stroke=$(xmllint --xpath "string(//*[local-name()='text'][.='A']/preceding-sibling::*[1]/@stroke)" jis109.svg)
[ "$stroke" = "#cc0000" ] || fail "A's outline is $stroke, not chatter red"
echo "HTML well-formed for us101 and jis109; every cap drawn, each state in its colour"
