#!/usr/bin/env bash
# A JP-106 keyboard (jp106 X keymap and a Japanese locale, which together
# make Wine report subtype 10): with no option detection picks the
# Japanese table, and its keys log their Shift-JIS labels; "/en" on the
# same keyboard walks the US table.
. "$(dirname "$0")/e2e-lib.sh"

setxkbmap -model jp106 -layout jp || fail "cannot set the jp106 keymap"
export KC_JAPANESE=1

# X keycodes on the jp106 keymap.
ZENKAKU=49 MUHENKAN=102 HENKAN=100 KANA=101 YEN=132 CIRCUMFLEX=21 AT=34
COLON=48 RO=97 Q=24

dir=$(fresh_dir jp-detected)
app_start "$dir"
app_focus
press $ZENKAKU $MUHENKAN $HENKAN $KANA $YEN $CIRCUMFLEX $AT $COLON $RO
app_close
# Wine also sets state byte 0xFF with the ^ key: no filler may be logged.
expect_log "$dir/Corvanekeyboardchecker.log" \
  $'\x8a\xbf down' $'\x8a\xbf up' $'\x96\xb3 down' $'\x96\xb3 up' \
  $'\x95\xcf down' $'\x95\xcf up' $'\xb6\xc5 down' $'\xb6\xc5 up' \
  '\ down' '\ up' '^ down' '^ up' '@ down' '@ up' ': down' ': up' \
  '\ down' '\ up' "$CLOSE_JP"
echo "ok: detection picks the Japanese table on a JP-106 keyboard"

dir=$(fresh_dir jp-forced-us)
app_start "$dir" /en
app_focus
press $ZENKAKU $Q $CIRCUMFLEX $RO
app_close
expect_log "$dir/Corvanekeyboardchecker.log" "Q down" "Q up" '\ down' '\ up' \
  "$CLOSE_US"
echo "ok: /en on a JP-106 keyboard walks the US table"
