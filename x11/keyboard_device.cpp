// The focus gate and the read behind it.
#include "x11/keyboard_device.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

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
  int opcode, error, major = XkbMajorVersion, minor = XkbMinorVersion;
  device.xkbEventType = -1;
  if (XkbQueryExtension(display, &opcode, &device.xkbEventType, &error, &major,
                        &minor)) {
    const unsigned mask = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, mask, mask);
  } else {
    device.xkbEventType = -1;
  }
}

void rebuildScanMap(KeyboardDevice &device) {
  buildScanMap(device.display, device.japanese, device.scanMap);
}

void acquireKeyboard(KeyboardDevice &device) {
  // A window manager may focus our frame rather than our window; whatever
  // the focus is now is what later readings must still find.
  device.focusOwner = currentFocus(device.display);
  device.acquired = device.focusOwner != None;
}

void unacquireKeyboard(KeyboardDevice &device) { device.acquired = false; }

bool refreshKeyboard(KeyboardDevice &device) {
  if (!device.acquired)
    return false;
  // Both requests go out together and come back in order: one round trip,
  // with the focus read after the keymap.
  xcb_connection_t *xcb = XGetXCBConnection(device.display);
  const xcb_query_keymap_cookie_t keymapAsked = xcb_query_keymap(xcb);
  const xcb_get_input_focus_cookie_t focusAsked = xcb_get_input_focus(xcb);
  xcb_query_keymap_reply_t *keymap =
      xcb_query_keymap_reply(xcb, keymapAsked, nullptr);
  xcb_get_input_focus_reply_t *focus =
      xcb_get_input_focus_reply(xcb, focusAsked, nullptr);
  const bool ok = keymap != nullptr && focus != nullptr &&
                  focus->focus == device.focusOwner;
  if (ok)
    std::memcpy(device.keys, keymap->keys, sizeof device.keys);
  std::free(keymap);
  std::free(focus);
  return ok;
}

bool applyKeyEvent(KeyboardDevice &device, unsigned keycode, bool down) {
  if (!device.acquired || keycode > 255)
    return false;
  const uint8_t bit = static_cast<uint8_t>(1u << (keycode & 7));
  uint8_t &byte = device.keys[keycode >> 3];
  byte = down ? (byte | bit) : (byte & ~bit);
  return true;
}

bool readKeyboardState(const KeyboardDevice &device, KeyState &state) {
  if (!device.acquired)
    return false;
  keymapToKeyState(reinterpret_cast<const char *>(device.keys), device.scanMap,
                   state);
  return true;
}
