// Layout choice from the command-line tail and from DirectInput's
// device-type word.
#include "keymodel/layout.h"

#include <cstring>

std::atomic<KeyboardLayout> g_keyboardLayout{LayoutUnset};

KeyboardLayout layoutFromCommandLine(const char *tail) {
  if (tail == nullptr)
    return LayoutUnset;
  // Comparing four bytes includes the literal's NUL, so "/jp " or "/jpx"
  // do not match; strncmp stops at the tail's own NUL.
  if (std::strncmp(tail, "/jp", 4) == 0)
    return LayoutJP;
  if (std::strncmp(tail, "/en", 4) == 0)
    return LayoutUS;
  return LayoutUnset;
}

KeyboardLayout layoutFromDeviceType(uint32_t devType) {
  const uint8_t subtype = static_cast<uint8_t>(devType >> 8);
  return static_cast<uint8_t>(subtype - 10) < 2 ? LayoutJP : LayoutUS;
}
