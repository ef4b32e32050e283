#!/usr/bin/env bash
# The .deb as a Debian or Ubuntu user meets it: installed with apt from the
# file (as root, as CI runs; otherwise unpacked with dpkg -x and run from
# there), the checker started by its menu entry's Exec line on a private
# display with a window manager, every action's board known to it and the
# first one's window and log, the report, both man pages, and a removal
# that leaves nothing behind.
#   deb_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
work=$build/tests/package/deb
rm -rf "$work" && mkdir -p "$work/run"
KC_STATE=$work/x && . "$src/tools/native.sh"

"$src/scripts/package" --deb "$build/linux" "$work/dist" >"$work/package.out" ||
  kc_fail "packaging: $(cat "$work/package.out")"
deb=$(echo "$work"/dist/keyboard-checker_*.deb)
# Every path the package holds, as installed (/usr/bin/keyboard-report ...).
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./\(.\)|/\1|p' | sed 's|/$||' >"$work/paths"
# And anything of ours a maintainer script could leave is named so.
ours() { { find /usr /etc /var -xdev \( -name '*keyboard-checker*' -o -name '*keyboard-report*' \) 2>/dev/null || true; } | sort; }

root='' installed=0
cleanup() {
  kc_native_down
  [ "$installed" = 0 ] || apt-get -o DPkg::Lock::Timeout=600 -qq purge -y keyboard-checker >/dev/null 2>&1 || true
}
trap cleanup EXIT
if [ "$(id -u)" = 0 ] && ! dpkg-query -W keyboard-checker >/dev/null 2>&1; then
  ours >"$work/before"
  installed=1
  apt-get -o DPkg::Lock::Timeout=600 -qq install -y "$deb" >"$work/apt.out" 2>&1 ||
    kc_fail "apt install: $(cat "$work/apt.out")"
else
  echo "not root, or keyboard-checker already installed: unpacking with dpkg -x"
  root=$work/root
  dpkg -x "$deb" "$root"
  export PATH=$root/usr/bin:$PATH
fi

entry=$root/usr/share/applications/keyboard-checker.desktop
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 48 256; do
  [ "$(identify -format %wx%h "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png")" = "${size}x$size" ] ||
    kc_fail "no $size px icon $icon"
done
# The menu's way to start it, from a folder nobody can write: the log goes
# home; SIGTERM closes it the usual way, closing line last.
kc_native_up
# Unescaped as the desktop does: the value's "\\" is a backslash, then
# the quoting is the shell's double quotes.
eval "exec_line=($(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g'))"
(cd /proc && export HOME=$work/run && exec "${exec_line[@]}") >"$work/checker.out" 2>&1 &
APP_PID=$!
kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "no window \"$TITLE\": $(cat "$work/checker.out")"
kc_native_end TERM
tail -c 58 "$work/run/Corvanekeyboardchecker.log" | grep -q $'^Keyboard type : PC/AT like US English keyboard / DirectX\r$' ||
  kc_fail "the log does not end in the closing line"
# Each of the entry's actions names a board the installed checker knows:
# without a display that is status 1 (no display), not 2 (a bad board).
# The first one runs on the display to its board's closing line.
actions=$(sed -n 's/^Actions=//p' "$entry" | tr ';' ' ')
[ -n "$actions" ] || kc_fail "the menu entry has no actions"
action_exec() { eval "exec_line=($(sed -n "/^\[Desktop Action $1\]/,/^Exec=/s/^Exec=//p" "$entry" | sed 's/\\\\/\\/g'))"; }
for action in $actions; do
  action_exec "$action"
  [ "${exec_line[*]}" = "sh -c cd; exec keyboard-checker --board $action" ] || kc_fail "action $action runs: ${exec_line[*]}"
  status=0 && (DISPLAY= "${exec_line[@]}") 2>/dev/null || status=$?
  [ "$status" = 1 ] || kc_fail "action $action: status $status without a display"
done
action_exec "${actions%% *}"
(cd /proc && export HOME=$work/run && exec "${exec_line[@]}") >"$work/checker.out" 2>&1 &
APP_PID=$!
kc_wait_for 20 kc_window_id "$TITLE" || kc_fail "no board window: $(cat "$work/checker.out")"
kc_native_end TERM
tail -n 1 "$work/run/Corvanekeyboardchecker.log" | grep -q " / board ${actions%% *}"$'\r$' ||
  kc_fail "the board log does not end in its closing line"

[ "$(keyboard-report --version)" = "keyboard-report $KC_VERSION" ] ||
  kc_fail "keyboard-report --version: $(keyboard-report --version 2>&1)"
for page in keyboard-checker keyboard-report; do
  man --warnings -l "$root/usr/share/man/man1/$page.1.gz" >"$work/man.out" 2>"$work/man.err" &&
    grep -q "^${page^^}(1)" "$work/man.out" && [ ! -s "$work/man.err" ] ||
    kc_fail "man -l $page: $(cat "$work/man.err")"
done

[ -z "$root" ] || { echo "deb test: unpacked and ran $(basename "$deb")" && exit 0; }
installed=0
apt-get -o DPkg::Lock::Timeout=600 -qq purge -y keyboard-checker >"$work/apt.out" 2>&1 || kc_fail "apt purge: $(cat "$work/apt.out")"
# What remains of its paths must be a folder another package owns.
while read -r path; do
  [ ! -e "$path" ] || { [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; } ||
    kc_fail "$path is left after the package was purged"
done <"$work/paths"
ours | diff "$work/before" - || kc_fail "left after the package was purged (+)"
echo "deb test: installed, ran and purged $(basename "$deb"), $(wc -l <"$work/paths") paths"
