# Shell functions that give this project's Win32 binaries a private Wine:
# an Xvfb display of their own, a prefix of their own set to a virtual
# desktop (so focus works without a window manager), and a Japanese locale
# for the JP-106 keyboard runs. Sourced by tools/wine and checker.sh, and
# so by the tests, the demo and the benchmarks. Only processes started here
# are ended.
. "$(dirname "${BASH_SOURCE[0]}")/x-lib.sh"

# kc_wine_use STATE: point the environment at the Wine kept in STATE.
kc_wine_use() {
  KC_STATE=$1
  export WINEPREFIX=$KC_STATE/prefix WINEDEBUG=${KC_WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko prompts
  if [ -s "$KC_STATE/display" ]; then
    export DISPLAY=:$(cat "$KC_STATE/display")
  fi
}

kc_make_prefix() {
  [ -f "$WINEPREFIX/.kc-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  wineboot -i >"$KC_STATE/wineboot.log" 2>&1
  local key v
  key='HKCU\Software\Wine\Explorer'
  wine reg add "$key" /v Desktop /d kc /f >/dev/null 2>&1
  wine reg add "$key\\Desktops" /v kc /d 800x600 /f >/dev/null 2>&1
  # The program that takes the focus in the tests opens away from ours.
  for v in iWindowPosX:420 iWindowPosY:300 iWindowPosDX:370 iWindowPosDY:280; do
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v "${v%%:*}" /t REG_DWORD \
      /d "${v##*:}" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.kc-ready"
}

# kc_wine_up STATE: display, prefix and locale, each made only when missing.
kc_wine_up() {
  mkdir -p "$1/locale"
  kc_wine_use "$1"
  kc_start_xvfb && kc_make_prefix || return 1
  [ -d "$KC_STATE/locale/ja_JP.UTF-8" ] ||
    localedef -i ja_JP -f UTF-8 "$KC_STATE/locale/ja_JP.UTF-8" 2>/dev/null ||
    [ -d "$KC_STATE/locale/ja_JP.UTF-8" ]
}

# kc_wine_down STATE: ends this prefix's Wine processes and our Xvfb.
kc_wine_down() {
  kc_wine_use "$1"
  [ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
  ! kc_xvfb_alive || kill "$(cat "$KC_STATE/xvfb.pid")" 2>/dev/null
  rm -f "$KC_STATE/xvfb.pid" "$KC_STATE/display"
  return 0
}
