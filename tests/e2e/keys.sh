# The keys of both keyboards by X keycode with the log lines they must
# give, and the checks on a log's bytes and a screenshot's pixels: one list
# for the Windows program under Wine and the native one, which must log the
# same bytes.

CLOSE_US="Keyboard type : PC/AT like US English keyboard / DirectX"
CLOSE_JP="Keyboard type : Japanese 106 keyboard / DirectX"

# A run's files beside the folder (DIR.out, DIR.second) go with it: a
# message left from an earlier run must not pass for this one's.
fresh() { rm -rf "${KC_WORK:?}/$1" "$KC_WORK/$1".* && mkdir -p "$KC_WORK/$1" && echo "$KC_WORK/$1"; }

# expect_log DIR LINE...: the log holds exactly these lines, CR LF ended.
expect_log() {
  local log=$1/Corvanekeyboardchecker.log
  cmp -s <(printf '%s\r\n' "${@:2}") "$log" && return
  diff <(printf '%s\n' "${@:2}") <(tr -d '\r' <"$log") | head -n 20 >&2 || true
  kc_fail "log bytes differ in $log"
}

# expect_board_log DIR LINE...: the opening line names the board, its
# fingerprint and the chatter time; every line after it but the closing
# one ends in a time, the times increase, and without them the log is
# these lines.
expect_board_log() {
  local log=$1/Corvanekeyboardchecker.log
  head -n 1 "$log" | grep -qE $'^Board test : [a-z0-9_-]+ [0-9a-f]{16} chatter 30\r$' ||
    kc_fail "no opening line in $log: $(head -n 1 "$log")"
  sed '1d;$d' "$log" | awk 'BEGIN { last = -1 }
    { if ($NF !~ /^[0-9]+\r$/ || $NF + 0 <= last) exit 1; last = $NF + 0 }' ||
    kc_fail "a line without a time, or times not increasing, in $log"
  cmp -s <(printf '%s\r\n' "${@:2}") <(sed -E '1d;$!s/ [0-9]+\r$/\r/' "$log") && return
  diff <(printf '%s\n' "${@:2}") <(sed -E '1d;s/( [0-9]+)?\r$//' "$log") | head -n 20 >&2 || true
  kc_fail "log lines differ in $log"
}

# expect_grave_backslash OPTION: grave and backslash were pressed; only "/jp"
# may pick the Japanese block, which has no grave and one backslash there.
expect_grave_backslash() {
  [ "$1" = /jp ] && expect_log "$dir" '\ down' '\ up' "$CLOSE_JP" ||
    expect_log "$dir" '` down' '` up' '\ down' '\ up' "$CLOSE_US"
}

# px SHOT "X Y W H" COLOUR TEST N WHAT: the pixels of COLOUR in that cell of
# $dir/SHOT.png must pass the test against N.
px() {
  local n
  n=$(convert "$dir/$1.png" +repage -crop "$(awk '{print $3"x"$4"+"$1"+"$2}' <<<"$2")" \
    +repage -depth 8 txt:- | grep -ci "$3" || true)
  [ "$n" "$4" "$5" ] || kc_fail "$6 ($n pixels of $3)"
}

# Keys as "X-keycode=label" (xdotool reads a one-digit number as a keysym,
# so Escape goes by name). F10 and a lone Alt put the window in menu mode,
# where the keys that follow open the system menu: an Escape follows each.
# Caps Lock, Num Lock and Scroll Lock go twice, which leaves the lock
# state as found: Wine replays a lock state that differs from X's as an
# extra press, Caps and Num Lock at the next focus, Scroll Lock (no lock
# in X) at the next key; that down and up come so close together that a
# reading may fall between them or not.
common_keys=(67=F1 68=F2 69=F3 70=F4 71=F5 72=F6 73=F7 74=F8 75=F9 76=F10
  Escape=Esc 95=F11 96=F12
  107=SysR 78=Scrl 78=Scrl 127=Paus 118="Ins " 110=Home 112=PgUp 119="Del "
  115="End " 117=PgDn 111=$' \x81\xaa ' 113=$'  \x81\xa9' 116=$' \x81\xab '
  114=$'\x81\xa8  '
  77="NumPad NL" 77="NumPad NL" 106="NumPad / " 63="NumPad * " 82="NumPad - "
  79="NumPad 7 " 80="NumPad 8 " 81="NumPad 9 " 86="NumPad + " 83="NumPad 4 "
  84="NumPad 5 " 85="NumPad 6 " 87="NumPad 1 " 88="NumPad 2 " 89="NumPad 3 "
  104="NumPad En" 90="NumPad 0 " 91="NumPad . ")
letters=(24=Q 25=W 26=E 27=R 28=T 29=Y 30=U 31=I 32=O 33=P 38=A 39=S 40=D
  41=F 42=G 43=H 44=J 45=K 46=L 52=Z 53=X 54=C 55=V 56=B 57=N 58=M)
digits=(10=1 11=2 12=3 13=4 14=5 15=6 16=7 17=8 18=9 19=0)
us_keys=(49='`' "${digits[@]}" 20=- 21== 51='\' 22=BS 23=Tab "${letters[@]}"
  34=[ 35=] 36=Ent 66=Cap 66=Cap 47=';' 48="'" 50=LShft 59=, 60=. 61=/
  62=RShft 37=LCtrl 65=" Space " 108=RAlt 105=RCtrl 64=LAlt Escape=Esc
  "${common_keys[@]}")
# On the jp106 keymap: Zenkaku/Hankaku, yen and ro, the three conversion
# keys; ^ @ : and the brackets move.
jp_keys=(49=$'\x8a\xbf' "${digits[@]}" 20=- 21=^ 132='\' 22=BS 23=Tab
  "${letters[@]}" 34=@ 35=[ 36=Ent 66=Cap 66=Cap 47=';' 48=: 51=] 50=LShft
  59=, 60=. 61=/ 97='\' 62=RShft 37=LCtl 102=$'\x96\xb3' 65=Space
  100=$'\x95\xcf' 101=$'\xb6\xc5' 108=RAlt 105=RCtl 64=LAlt Escape=Esc
  "${common_keys[@]}")

# all_keys KEY...: presses them all; sets LINES to the log they must give.
all_keys() {
  local key codes=() && LINES=()
  for key in "$@"; do
    codes+=("${key%%=*}")
    LINES+=("${key#*=} down" "${key#*=} up")
  done
  kc_press "${codes[@]}" && sleep 0.3
}

