#!/usr/bin/env bash
# The HTML of two boards' logs: well-formed XML, every keycap of the board
# drawn, and its SVG rendered with keys tested, held, never pressed and
# chattering in their own colours; labels readable on two more boards with
# long labels; every failed check is told. Leaves the
# jis109 picture beside the program (html-jis109.png) for a person to see.
set -euo pipefail
report=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
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

printf 'Q down\r\nQ up\r\nW down\r\n' >k.log
status=0 && "$report" k.log >summary || status=$?
[ "$status" -eq 1 ] && grep -qx 'HTML report: keyboard-report.html' summary ||
  fail "status $status: $(cat summary)"
picture k.log us101 101
for key in Q=0072B2FF W=D55E00FF Esc=E0E0E0FF; do
  [ "$(colour_of us101 "${key%=*}")" = "${key#*=}" ] ||
    fail "us101: ${key%=*} is $(colour_of us101 "${key%=*}")"
done

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
# Labels readable: none below size 10 (13 is the normal size), a long one
# on two lines at a blank, no list splitting a label, every heading counted.
readable() { # LABEL LINES...: LABEL drawn as those lines
  python3 - "$@" <<'PY' || fail "$1: $(cat readable.out)"
import re, sys, xml.etree.ElementTree as ET
page = ET.parse("keyboard-report.html").getroot()
svg = "{http://www.w3.org/2000/svg}"
sizes = [float(t.get("font-size")) for t in page.iter(svg + "text")]
caps = {"".join(t.itertext()): [s.text for s in t.iter(svg + "tspan")] or [t.text]
        for t in page.iter(svg + "text")}
heads = ["".join(h.itertext()) for h in page.iter("{http://www.w3.org/1999/xhtml}h2")][1:]
spans = ["".join(s.itertext()) for s in page.iter("{http://www.w3.org/1999/xhtml}span")]
style = page.find(".//{http://www.w3.org/1999/xhtml}style").text
problems = [p for p, bad in [
    ("a size below 10: %s" % min(sizes), min(sizes) < 10),
    ("%s drawn as %s" % (sys.argv[1], caps.get("".join(sys.argv[2:]))), caps.get("".join(sys.argv[2:])) != sys.argv[2:]),
    ("headings %s" % heads, not all(re.fullmatch(r"[A-Z][a-z ]+ \(\d+\)", h) for h in heads) or "Held (0)" not in heads),
    ("NumPad / split", "NumPad /" not in spans or not re.search(r"\.key \{[^}]*white-space: nowrap", style))] if bad]
open("readable.out", "w").write("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}
printf '%s\r\n' "Hangul down 10" "Hangul up 20" "NumPad / down 30" "NumPad / up 40" \
  "Keyboard type : Korean 106-key / board ko106" >ko.log
"$report" ko.log >/dev/null || true
readable Hangul Hangul
python3 -c "import json; b=json.load(open('$(dirname "$0")/../../keymodel/boards/ansi104.json')); \
  b['name']='right'; next(k for k in b['keys'] if k['label']=='RCtrl')['label']='Right Ctrl'; \
  json.dump(b, open('right.json','w'))"
printf '%s\r\n' "Right Ctrl down 10" "Right Ctrl up 20" "NumPad / down 30" "NumPad / up 40" \
  "Keyboard type : ANSI 104-key (US) / board right" >right.log
"$report" --board right.json right.log >/dev/null || true
readable "Right Ctrl" Right Ctrl
[ "$failures" = 0 ] || exit 1
echo "HTML well-formed for us101 and jis109; every cap drawn, each state in its colour; labels readable"
