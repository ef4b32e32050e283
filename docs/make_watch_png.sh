#!/usr/bin/env bash
# Draws docs/watch.png, the README's picture of the live view: the real
# keyboard-report --watch in an 80x24 tmux terminal following a scripted
# log (part of a session, two keys held, one chattering), its screen
# captured with its colours and drawn as SVG, then PNG.
#   docs/make_watch_png.sh build/host/report/keyboard-report
set -euo pipefail
report=$(realpath "${1:?usage: $0 KEYBOARD-REPORT}")
out=$(cd "$(dirname "$0")" && pwd)/watch.png
dir=$(mktemp -d)
tmux=(tmux -L "kc-shot-$$")
trap '"${tmux[@]}" kill-server 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir"
"${tmux[@]}" new-session -d -x 80 -y 24 "'$report' --watch Corvanekeyboardchecker.log; sleep 60"
sleep 0.3
for key in Esc F1 F2 F3 F4 F5 1 2 3 4 5 6 7 8 9 0 Tab Q W R T Y U I O P Cap A S D \
  F G H J K L LShft Z X C V B N M LCtrl LAlt Space "Ins" Home "Del" "End" PgUp; do
  printf '%s down\r\n' "$key" >>Corvanekeyboardchecker.log && sleep 0.01
  printf '%s up\r\n' "$key" >>Corvanekeyboardchecker.log && sleep 0.01
done
printf 'E down\r\n' >>Corvanekeyboardchecker.log && sleep 0.05
printf 'E up\r\n' >>Corvanekeyboardchecker.log && sleep 0.004
printf 'E down\r\n' >>Corvanekeyboardchecker.log && sleep 0.05
printf 'E up\r\nRShft down\r\n' >>Corvanekeyboardchecker.log && sleep 0.05
printf 'NumPad 5  down\r\n' >>Corvanekeyboardchecker.log && sleep 0.3
"${tmux[@]}" capture-pane -p -e >screen.ansi
python3 - screen.ansi >screen.svg <<'PY'
import re, sys
# xterm's 256-colour cube and the 16 base colours the view uses.
def colour(n):
    base = {0: "#000000", 7: "#e5e5e5", 15: "#ffffff"}
    if n < 16: return base.get(n, "#ffffff")
    if n >= 232: v = 8 + (n - 232) * 10; return "#%02x%02x%02x" % (v, v, v)
    n -= 16; steps = [0, 95, 135, 175, 215, 255]
    return "#%02x%02x%02x" % (steps[n // 36], steps[n // 6 % 6], steps[n % 6])
W, H = 9, 18
lines = open(sys.argv[1], encoding="utf-8").read().split("\n")[:24]
cells = []
for y, line in enumerate(lines):
    fg, bg, x = "#d0d0d0", None, 0
    for m in re.finditer(r"\x1b\[([0-9;]*)m|(.)", line):
        if m.group(1) is not None:
            p = [int(v) for v in m.group(1).split(";") if v] or [0]
            i = 0
            while i < len(p):
                if p[i] == 0: fg, bg = "#d0d0d0", None
                elif p[i] == 30: fg = "#000000"
                elif p[i] == 97: fg = "#ffffff"
                elif p[i] == 39: fg = "#d0d0d0"
                elif p[i] == 49: bg = None
                elif p[i] in (38, 48) and p[i + 1] == 5:
                    if p[i] == 38: fg = colour(p[i + 2])
                    else: bg = colour(p[i + 2])
                    i += 2
                i += 1
        else:
            cells.append((x, y, m.group(2), fg, bg)); x += 1
print('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">' % (80 * W + 16, 24 * H + 16))
print('<rect width="100%" height="100%" fill="#1c1c1c"/>')
esc = lambda c: {"&": "&amp;", "<": "&lt;", ">": "&gt;"}.get(c, c)
for x, y, c, fg, bg in cells:
    if bg: print('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>' % (8 + x * W, 8 + y * H, W, H, bg))
    if c != " ":
        print('<text x="%d" y="%d" fill="%s" font-family="DejaVu Sans Mono" font-size="14">%s</text>' % (8 + x * W, 8 + y * H + 14, fg, esc(c)))
print("</svg>")
PY
rsvg-convert screen.svg -o "$out"
echo "$out"
