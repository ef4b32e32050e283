#!/usr/bin/env bash
# The .deb as a Debian or Ubuntu user meets it: installed with apt from the
# file (as root, as CI runs; otherwise unpacked with dpkg -x and run from
# there), the checker started by its menu entry's Exec line on a private
# Xvfb, the report, both man pages, and a removal that leaves nothing.
#   deb_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
work=$build/tests/package/deb
rm -rf "$work" && mkdir -p "$work/run"
fail() { echo "FAIL: $*" >&2 && exit 1; }
version=$(sed -n 's/^#define KC_VERSION "\(.*\)"$/\1/p' "$build/generated/version.h")

"$src/scripts/package" --deb "$build/release" "$work/dist" >"$work/package.out" ||
  fail "packaging: $(cat "$work/package.out")"
deb=$(echo "$work"/dist/keyboard-checker_*.deb)
# Every path the package holds, as installed (/usr/bin/keyboard-report ...).
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./\(.\)|/\1|p' | sed 's|/$||' >"$work/paths"

root= installed=0 pid=
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ ! -s "$work/xvfb.pid" ] || kill "$(cat "$work/xvfb.pid")" 2>/dev/null || true
  [ "$installed" = 0 ] || apt-get -qq purge -y keyboard-checker >/dev/null 2>&1 || true
}
trap cleanup EXIT
# Anything of ours a maintainer script could leave behind is named so.
ours() { find /usr /etc /var -xdev \( -name '*keyboard-checker*' -o -name '*keyboard-report*' \) 2>/dev/null | sort; }
if [ "$(id -u)" = 0 ] && ! dpkg-query -W keyboard-checker >/dev/null 2>&1; then
  installed=1
  ours >"$work/before"
  apt-get -o DPkg::Lock::Timeout=600 -qq install -y "$deb" >"$work/apt.out" 2>&1 ||
    fail "apt install: $(cat "$work/apt.out")"
else
  echo "not root, or keyboard-checker already installed: unpacking with dpkg -x"
  root=$work/root
  dpkg -x "$deb" "$root"
  export PATH=$root/usr/bin:$PATH
fi
while read -r path; do
  [ -e "$root$path" ] || fail "$path is in the package but not installed"
done <"$work/paths"

entry=$root/usr/share/applications/keyboard-checker.desktop
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 48 256; do
  [ "$(identify -format %wx%h "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png")" = "${size}x$size" ] ||
    fail "no $size px icon $icon"
done
# The menu's way to start it, in a folder of its own; SIGTERM closes it
# the usual way, closing line last.
KC_STATE=$work && . "$src/tools/wine-lib.sh" && kc_start_xvfb
read -r -a exec_line < <(sed -n 's/^Exec=//p' "$entry")
(cd "$work/run" && exec "${exec_line[@]}") >"$work/checker.out" 2>&1 &
pid=$!
for _ in $(seq 50); do
  xdotool search --name "^Corvane Keyboard Checker v$version\$" >/dev/null 2>&1 && break
  sleep 0.1
done
xwininfo -name "Corvane Keyboard Checker v$version" >/dev/null 2>&1 || fail "no checker window: $(cat "$work/checker.out")"
kill -TERM "$pid" && wait "$pid" || fail "the checker's exit status on SIGTERM is $?"
pid=
tail -c 58 "$work/run/Corvanekeyboardchecker.log" | grep -q $'^Keyboard type : PC/AT like US English keyboard / DirectX\r$' ||
  fail "the log does not end in the closing line"

[ "$(keyboard-report --version)" = "keyboard-report $version" ] ||
  fail "keyboard-report --version: $(keyboard-report --version 2>&1)"
for page in keyboard-checker keyboard-report; do
  man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>"$work/man.err" | grep -q "^${page^^}(1)" &&
    [ ! -s "$work/man.err" ] || fail "man -l $page: $(cat "$work/man.err")"
done

[ -z "$root" ] || { echo "deb test: unpacked and ran $(basename "$deb")" && exit 0; }
installed=0
apt-get -qq purge -y keyboard-checker >"$work/apt.out" 2>&1 || fail "apt purge: $(cat "$work/apt.out")"
# What remains must be a folder some other package owns.
while read -r path; do
  [ ! -e "$path" ] || { [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; } ||
    fail "$path is left after the package was purged"
done <"$work/paths"
ours | diff "$work/before" - || fail "left after the package was purged (+)"
echo "deb test: installed, ran and purged $(basename "$deb"), $(wc -l <"$work/paths") paths"
