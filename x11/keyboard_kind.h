// Which keyboard the X server has: the stand-in for asking DirectInput for
// the keyboard's subtype.
#pragma once

#include <X11/Xlib.h>

// Japanese when the key left of 1 is Zenkaku/Hankaku, else when the XKB
// rules names say jp106 or jp. The keysym comes first: the rules names go
// stale after a keymap is loaded with xkbcomp, and XWayland always reports
// pc105/us in them.
bool isJapaneseKeyboard(Display *display);
