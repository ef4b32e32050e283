// The legends come from XKB: the keysym of each key's first level in the
// current group, its capital form, turned into UTF-8 by xkbcommon, which
// knows every keysym and its case. Dead keys print nothing by themselves; their
// spacing accents stand in, as keyboards print them.
#include "x11/board_legends.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include "keymodel/text_rules.h"

namespace {

constexpr struct {
  KeySym dead;
  const char *printed;
} kDeadKeys[] = {{XK_dead_grave, "`"},
                 {XK_dead_acute, "\xC2\xB4"},
                 {XK_dead_circumflex, "^"},
                 {XK_dead_tilde, "~"},
                 {XK_dead_diaeresis, "\xC2\xA8"},
                 {XK_dead_cedilla, "\xC2\xB8"},
                 {XK_dead_abovering, "\xC2\xB0"},
                 {XK_dead_caron, "\xCB\x87"},
                 {XK_dead_ogonek, "\xCB\x9B"},
                 {XK_dead_doubleacute, "\xCB\x9D"},
                 {XK_dead_macron, "\xC2\xAF"},
                 {XK_dead_breve, "\xCB\x98"}};

std::string printed(KeySym keysym) {
  for (const auto &dead : kDeadKeys)
    if (dead.dead == keysym)
      return dead.printed;
  char utf8[16];
  const auto sym = static_cast<xkb_keysym_t>(keysym);
  int written = xkb_keysym_to_utf8(xkb_keysym_to_upper(sym), utf8, sizeof utf8);
  if (written <= 1) // a capital no keysym has: the key as it is
    written = xkb_keysym_to_utf8(sym, utf8, sizeof utf8);
  if (written <= 1)
    return "";
  const std::string text(utf8, static_cast<size_t>(written - 1));
  // A keypad's digit, a space or a control character says less than the
  // board's own label.
  const bool keypad = keysym >= XK_KP_Space && keysym <= XK_KP_9;
  return keypad || hasControlCharacters(text) || looksBlank(text) ? "" : text;
}

} // namespace

void readLegends(Display *display, const Board &board, const ScanMap &map,
                 std::vector<std::string> &legends) {
  legends.assign(board.keys.size(), "");
  XkbStateRec state;
  const int group =
      XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
  for (int keycode = 8; keycode < 256; ++keycode) {
    const int key =
        map.dik[keycode] == 0 ? -1 : board.keyOfCode[map.dik[keycode]];
    if (key < 0 || !legends[key].empty())
      continue;
    const KeySym keysym =
        XkbKeycodeToKeysym(display, KeyCode(keycode), group, 0);
    if (keysym != NoSymbol)
      legends[key] = printed(keysym);
  }
}
