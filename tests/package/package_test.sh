#!/usr/bin/env bash
# The release zip as a Windows user receives it: packs this win32 build,
# unpacks the zip and checks its folder, its checksums, the read-me's bytes
# and the version resources Windows shows in each file's properties.
#   package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
. "$src/tools/checker.sh"
work=$build/tests/package/work
dist=$work/dist
rm -rf "$work" && mkdir -p "$work"

version=$(sed -n 's/^#define KC_VERSION "\(.*\)"$/\1/p' "$build/generated/version.h")
IFS=. read -r major minor patch tweak <<<"$version"
v4=$major.${minor:-0}.${patch:-0}.${tweak:-0}
name=CorvaneKeyboardChecker-$version
# Each shipped program and the FileDescription it must carry.
programs=("KeyboardChecker.exe|Corvane Keyboard Checker"
  "KeyboardReport.exe|Corvane Keyboard Checker key report")

"$src/scripts/package" --pack "$build" "$dist" >"$work/pack.out" || kc_fail "packing: $(cat "$work/pack.out")"
listing=$(unzip -Z1 "$dist/$name-win32.zip")
starters=$(cd "$src/keymodel/boards" && ls *.json | sed 's/^/Board-/; s/json$/cmd/')
expected=$(printf '%s\n' "$name/" "${programs[@]%%|*}" README.txt $starters |
  sed "2,\$s|^|$name/|" | LC_ALL=C sort)
[ "$listing" = "$expected" ] || kc_fail "zip holds, in this order: $listing"
(cd "$dist" && unzip -q "$name-win32.zip" && sha256sum --quiet -c SHA256SUMS) || kc_fail "SHA256SUMS"

readme=$dist/$name/README.txt
[ "$(LC_ALL=C grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || kc_fail "README.txt: a line without CR LF"
[ "$(tail -c1 "$readme" | od -An -tx1)" = " 0a" ] || kc_fail "README.txt: no line end at the end"
! LC_ALL=C grep -nq $'\r.\|[^\r -~]' "$readme" || kc_fail "README.txt: a byte that is not plain ASCII text"

for program in "${programs[@]}"; do
  exe=$dist/$name/${program%%|*}
  grep -q "${program%%|*}" "$readme" || kc_fail "README.txt does not mention ${program%%|*}"
  i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$work/rsrc"
  strings -el "$work/rsrc" >"$work/strings"
  for pair in CompanyName=Corvane "FileDescription=${program#*|}" "FileVersion=$v4" \
    "OriginalFilename=${program%%|*}" "ProductName=Corvane Keyboard Checker" "ProductVersion=$v4"; do
    got=$(grep -x -A1 "${pair%%=*}" "$work/strings" | sed -n 2p)
    [ "$got" = "${pair#*=}" ] || kc_fail "$exe: ${pair%%=*} is '$got', not '${pair#*=}'"
  done
  # The numeric versions after the fixed-info signature, which Explorer shows.
  fixed=$(od -An -v -tx4 -w4 "$work/rsrc" | grep -A5 -m1 feef04bd | sed -n '3,6p' | xargs)
  want=$(printf '%04x%04x ' "$major" "${minor:-0}" "${patch:-0}" "${tweak:-0}" | xargs)
  [ "$fixed" = "$want $want" ] || kc_fail "$exe: fixed file and product version $fixed"
done
# Both programs as unpacked: the checker opens, logs Q, and Alt+F4 closes
# it; the report reads that log under Wine.
KC_EXE=$dist/$name/KeyboardChecker.exe
trap kc_cleanup EXIT
run=$work/run && mkdir "$run"
kc_app_start "$run" /en
kc_app_focus
kc_press 24
xdotool keydown 64 sleep 0.1 keydown 70 sleep 0.5 keyup 70 keyup 64
kc_wait_for 15 sh -c "! kill -0 $APP_PID" || kc_fail "Alt+F4 did not close the checker"
wait "$APP_PID" && APP_PID= || kc_fail "the checker's exit code is $?"
status=0
(cd "$run" && wine "$dist/$name/KeyboardReport.exe" --json >report.json) || status=$?
[ "$status" = 1 ] || kc_fail "report status $status, not 1 (FAIL: keys never pressed)"
grep -q '^{"verdict":"FAIL","reasons":{"untested":\["Esc",.*\],"held":\[\],"chatter":\[\]},"board":"us101",.*"boardFrom":"closing line","closed":true,"keys":101,"tested":\["F4","Q","LAlt"\],"held":\[\],"never":\["Esc",.*"NumPad \."\],"notOnBoard":{},"try":{},"maxHeld":2,"presses":{},"anomalies":\[\],"anomalyCount":0}$' \
  "$run/report.json" || kc_fail "report: $(cat "$run/report.json")"
# A board's starter, run as Explorer runs it, opens the board window with
# the log beside it.
(cd "$work" && exec wine cmd /c "$dist\\$name\\Board-ansi104.cmd") >"$work/cmd.out" 2>&1
kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "Board-ansi104.cmd: no window"
APP_WIN=$(kc_window_id "$TITLE") && sleep 1 && kc_app_focus && kc_press 24
wine "$KC_TOOL" close "$TITLE" >/dev/null
kc_wait_for 15 grep -q '^Keyboard type' "$dist/$name/Corvanekeyboardchecker.log" ||
  kc_fail "the board window wrote no closing line"
printf 'Q down\nQ up\nKeyboard type : ANSI 104-key (US) / board ansi104\n' |
  cmp -s - <(sed -E '1d; s/ [0-9]+\r$//; s/\r$//' "$dist/$name/Corvanekeyboardchecker.log") ||
  kc_fail "the starter's log: $(cat "$dist/$name/Corvanekeyboardchecker.log")"
echo "package test: $name-win32.zip holds ${#programs[@]} program(s) and README.txt, all as expected"
