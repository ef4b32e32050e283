# What the board mode's runs under Wine share: starting the checker on a
# board and giving it the focus, every key of a board by X keycode, the
# timed log's checks, a keycap's place and colours on the screen, the key
# report. Sourced after tools/checker.sh and keys.sh.
boards=$(dirname "${BASH_SOURCE[0]}")/../../keymodel/boards
desktops='HKCU\Software\Wine\Explorer\Desktops'

# A full-size board needs a desktop wider than the usual, for the run.
wide_desktop() {
  wine reg add "$desktops" /v kc /d 1024x740 /f >/dev/null 2>&1
  wineserver -w
  trap restore_desktop EXIT
}
restore_desktop() {
  kc_cleanup
  wine reg add "$desktops" /v kc /d 800x600 /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
}

# The X keycode of a scan code on the US keymap: evdev's code plus 8,
# which is the scan code itself below 0x59; with KC_JAPANESE=1 on the
# jp106 keymap, where the Japanese keys' codes are DirectInput's names.
xcode() {
  [ "${KC_JAPANESE:-0}" = 0 ] || case $1 in
    94) echo 49 && return ;; 90) echo 21 && return ;; 7D) echo 132 && return ;;
    91) echo 34 && return ;; 1A) echo 35 && return ;; 92) echo 48 && return ;;
    1B) echo 51 && return ;; 2B) echo 97 && return ;; 7B) echo 102 && return ;;
    79) echo 100 && return ;; 70) echo 101 && return ;;
  esac
  case $1 in
    9C) echo 104 ;; 9D) echo 105 ;; B5) echo 106 ;; B7) echo 107 ;;
    B8) echo 108 ;; C5) echo 127 ;; C7) echo 110 ;; C8) echo 111 ;;
    C9) echo 112 ;; CB) echo 113 ;; CD) echo 114 ;; CF) echo 115 ;;
    D0) echo 116 ;; D1) echo 117 ;; D2) echo 118 ;; D3) echo 119 ;;
    DB) echo 133 ;; DC) echo 134 ;; DD) echo 135 ;; 01) echo Escape ;;
    *) echo $((0x$1 + 8)) ;;
  esac
}

# board_keys NAME: KEYS as "keycode=label" for every key of the board in
# its file's order, then the locks again, to leave their state as found
# (pressed again at once, a lock's second press could pass for chatter);
# but Scroll Lock twice at once, as the classic keys, since Wine replays a
# Scroll Lock state of its own as an extra press with the next key.
# No Escape after F10 or a lone Alt, as
# the classic test needs: the board window has no keyboard menu, so the
# keys after them (Space, which would open it) are keys like any other.
board_keys() {
  local code label locks=()
  KEYS=()
  while read -r code label; do
    label=${label//\\\\/\\}
    KEYS+=("$(xcode "$code")=$label")
    [ "$code" != 46 ] || KEYS+=("$(xcode "$code")=$label")
    case $code in
      3A | 45) locks+=("$(xcode "$code")=$label") ;;
    esac
  done < <(sed -n 's/.*"code": "0x\([0-9A-F]*\)", "label": "\(\([^"\\]\|\\.\)*\)".*/\1 \2/p' \
    "$boards/$1.json")
  KEYS+=("${locks[@]}")
}

# expect_board_log DIR CLOSING LINE...: the opening line naming the board,
# its fingerprint and the chatter time, the lines, each with a time that
# never goes back, then the closing line without one.
expect_board_log() {
  local log=$1/Corvanekeyboardchecker.log
  head -n 1 "$log" | grep -qE $'^Board test : [a-z0-9_-]+ [0-9a-f]{16} chatter 30\r$' ||
    kc_fail "no opening line in $log: $(head -n 1 "$log")"
  sed 1d "$log" | awk 'BEGIN { t = -1 } { sub(/\r$/, "") }
    /^Keyboard type : / { next }
    { n = split($0, f, " "); if (f[n] !~ /^[0-9]+$/ || f[n] < t) exit 1; t = f[n] }' ||
    kc_fail "times missing or going back in $log"
  cmp -s <(printf '%s\r\n' "${@:3}" "$2") <(sed -E '1d; s/ [0-9]+(\r)$/\1/' "$log") &&
    return
  diff <(printf '%s\n' "${@:3}" "$2") <(sed -E '1d; s/ [0-9]+\r$//; s/\r$//' "$log") |
    head -n 20 >&2 || true
  kc_fail "log lines differ in $log"
}

# cap BOARD LABEL: the inside of that keycap (BOARD a preset, or a file
# in $dir) as "X Y W H" on the screen,
# from the board's key units and the unit the window's width gives (the
# only font here is IPAGothic, 16 pixels high: margin 8, gap 1).
cap() {
  local x y w
  local file=$boards/$1.json
  [ -f "$file" ] || file=$dir/$1.json
  read -r x y w < <(grep -F "\"label\": \"$2\"" "$file" |
    sed -E 's/.*"x": ([0-9.]+), "y": ([0-9.]+)(, "w": ([0-9.]+))?.*/\1 \2 \4/')
  awk -v x="$x" -v y="$y" -v w="${w:-1}" -v u="$UNIT" -v cx="$CX" -v cy="$CY" \
    'function r(v) { return int(v + 0.5) } BEGIN {
      print cx + 8 + r(x * u) + 4, cy + 8 + r(y * u) + 4, r((x + w) * u) - r(x * u) - 8, u - 8 }'
}

# run_board DIR BOARD: starts the checker on it in DIR; sets CX CY (client
# origin), UNIT from the client's width (22.5 units and two margins),
# VERDICT, the verdict line's start, and NOTICE, the notice line's.
run_board() {
  kc_app_start "$1" --board "$2"
  # Sized while hidden, shown once its devices are up: click only then.
  kc_wait_for 20 sh -c "xwininfo -id $APP_WIN | grep -q IsViewable" ||
    kc_fail "the board window never showed"
  local where
  where=$(wine "$KC_TOOL" where "$TITLE" | tr -d '\r') || true
  read -r _ CX CY < <(grep ^client <<<"$where")
  read -r _ w _ < <(grep ^size <<<"$where")
  UNIT=$(((w - 16) * 2 / 45)) WIDTH=$w
  VERDICT="$((CX + 8)) $((CY + 16 + 13 * UNIT / 2 + 16)) 40 16"
  NOTICE="$((CX + 8)) $((CY + 16 + 13 * UNIT / 2 + 32)) 600 16"
  kc_app_focus
}

# Pixels of a colour inside a keycap, against a share of its area.
fill() {
  local box=($(cap "$1" "$3")) n
  n=$(convert "$dir/$2.png" +repage -crop "${box[2]}x${box[3]}+${box[0]}+${box[1]}" \
    +repage -depth 8 txt:- | grep -ci "$4" || true)
  [ "$n" -gt $((box[2] * box[3] / 3)) ] || kc_fail "$3 in $2: $n pixels of $4, ${5}"
}

# frame SHOT BOARD LABEL [-eq]: that keycap has (or has not) the red
# chatter frame, on its left edge.
frame() {
  local box=($(cap "$2" "$3")) test=-gt n=10 what="no chatter frame on $3"
  [ -z "${4:-}" ] || test=$4 n=0 what="a chatter frame on $3"
  px "$1" "$((box[0] - 3)) $((box[1] - 3)) 2 ${box[3]}" '#E00000' $test $n "$what"
}

# report DIR ARGS...: the key report under Wine on the log in DIR; sets
# status, its text in DIR/report.out.
report() {
  status=0
  (cd "$1" && wine "$(dirname "$KC_EXE")/KeyboardReport.exe" "${@:2}") \
    >"$1/report.raw" 2>&1 || status=$?
  tr -d '\r' <"$1/report.raw" >"$1/report.out"
  grep -q '^Verdict: ' "$1/report.out"
}

# start_recorder DIR: a second program (window_tool record) writing
# DIR/recorded; its low-level hook is older than the checker's, so it is
# given only what the checker's lets through.
RECORDER="Key recorder"
start_recorder() {
  (cd "$1" && exec wine "$KC_TOOL" record "$RECORDER" recorded) >"$1.record.out" 2>&1 &
  RECORDER_PID=$!
  kc_wait_for 20 kc_window_id "$RECORDER" || kc_fatal "no recorder window"
}
stop_recorder() {
  wine "$KC_TOOL" close "$RECORDER" >/dev/null
  wait "$RECORDER_PID" || kc_fail "the recorder ended with $?"
}

# kept_from_recorder DIR VK...: none of these reached the other program.
kept_from_recorder() {
  ! tr -d '\r' <"$1/recorded" | grep -Eq "^(hook|key) ($(IFS='|' && echo "${*:2}")) " ||
    kc_fail "the other program was given a key the shell acts on: $(xargs <"$1/recorded")"
}
