#!/usr/bin/env bash
# Key storm: 500 transitions as fast as one xdotool call sends them. Every
# transition the program saw is logged once: each key's lines alternate
# down and up, start with down, end with up, and the closing line is last.
# A press whose down and up fall between two readings leaves no line; the
# figures say how many did.
. "$(dirname "$0")/e2e-lib.sh"

# A S D F G H J K L Q on the US keymap.
codes=(38 39 40 41 42 43 44 45 46 24)
labels=(A S D F G H J K L Q)
presses=250

args=()
for i in $(seq 0 $((presses - 1))); do
  code=${codes[$((i % ${#codes[@]}))]}
  args+=(keydown --delay 0 "$code" keyup --delay 0 "$code")
done

dir=$(fresh_dir storm)
log=$dir/Corvanekeyboardchecker.log
app_start "$dir" /en
app_focus
start=$(date +%s%N)
xdotool "${args[@]}"
sent_ms=$((($(date +%s%N) - start) / 1000000))
sleep 0.5
app_close

tr -d '\r' <"$log" >"$dir/log.txt"
[ "$(tail -n 1 "$dir/log.txt")" = "$CLOSE_US" ] || fail "closing line is not last"
[ "$(grep -c '^Keyboard type' "$dir/log.txt")" = 1 ] || fail "closing line not exactly once"
logged=$(grep -c -E ' (down|up)$' "$dir/log.txt" || true)
others=$(grep -v -c -E '^[ASDFGHJKLQ] (down|up)$|^Keyboard type' "$dir/log.txt" || true)
[ "$others" = 0 ] || fail "$others lines for keys that were not pressed"
for label in "${labels[@]}"; do
  # Alternation: down, up, down, up, ... and the last one up.
  grep "^$label " "$dir/log.txt" | awk -v key="$label" '
    { want = (NR % 2 == 1) ? "down" : "up"
      if ($2 != want) { print "FAIL: " key " line " NR " is " $2 ", wanted " want; bad = 1; exit 1 } }
    END { if (!bad && NR % 2 != 0) { print "FAIL: " key " ends down"; exit 1 } }' >&2 ||
    fail "transitions of $label do not alternate"
done
echo "figures: sent $((presses * 2)) transitions in ${sent_ms} ms; logged $logged;" \
  "$(((presses * 2 - logged) / 2)) presses fell between two readings; lost 0, duplicated 0"
