// The focus gate and the read behind it.
#include "x11/keyboard_device.h"

#include "x11/keyboard_kind.h"

namespace {

Window currentFocus(Display *display) {
  Window focus;
  int revert;
  XGetInputFocus(display, &focus, &revert);
  return focus;
}

} // namespace

void setUpKeyboard(KeyboardDevice &device, Display *display, Window window) {
  device = {};
  device.display = display;
  device.window = window;
  device.japanese = isJapaneseKeyboard(display);
  buildScanMap(display, device.japanese, device.scanMap);
}

void acquireKeyboard(KeyboardDevice &device) {
  // A window manager may focus our frame rather than our window; whatever
  // the focus is now is what later readings must still find.
  device.focusOwner = currentFocus(device.display);
  device.acquired = device.focusOwner != None;
}

void unacquireKeyboard(KeyboardDevice &device) { device.acquired = false; }

bool readKeyboardState(KeyboardDevice &device, KeyState &state) {
  if (!device.acquired)
    return false;
  char keys[32];
  XQueryKeymap(device.display, keys);
  if (currentFocus(device.display) != device.focusOwner)
    return false;
  keymapToKeyState(keys, device.scanMap, state);
  return true;
}
