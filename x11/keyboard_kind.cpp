// The two signs of a Japanese keyboard that X gives.
#include "x11/keyboard_kind.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <cstring>

namespace {

constexpr KeyCode kKeyLeftOfOne = 49; // TLDE

bool keysymSaysJapanese(Display *display) {
  const KeySym sym = XkbKeycodeToKeysym(display, kKeyLeftOfOne, 0, 0);
  return sym == XK_Zenkaku_Hankaku || sym == XK_Kanji;
}

// The root window's _XKB_RULES_NAMES: rules, model, layout, variant and
// options as NUL-separated strings.
bool rulesNamesSayJapanese(Display *display) {
  const Atom property = XInternAtom(display, "_XKB_RULES_NAMES", True);
  if (property == None)
    return false;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1024,
                         False, XA_STRING, &type, &format, &count, &after,
                         &data) != Success ||
      data == nullptr)
    return false;
  const char *text = reinterpret_cast<const char *>(data);
  const char *field[3] = {"", "", ""}; // rules, model, layout
  size_t at = 0;
  for (int i = 0; i < 3 && at < count; ++i) {
    field[i] = text + at;
    at += std::strlen(text + at) + 1;
  }
  // The first of a list of layouts is the one in use ("jp" or "jp,us").
  const bool jpFirst = std::strncmp(field[2], "jp", 2) == 0 &&
                       (field[2][2] == '\0' || field[2][2] == ',');
  const bool japanese = std::strcmp(field[1], "jp106") == 0 || jpFirst;
  XFree(data);
  return japanese;
}

} // namespace

bool isJapaneseKeyboard(Display *display) {
  return keysymSaysJapanese(display) || rulesNamesSayJapanese(display);
}
