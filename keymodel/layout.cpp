// Layout choice from the command-line tail and from DirectInput's
// device-type word.
#include "keymodel/layout.h"

#include <cstring>

std::atomic<KeyboardLayout> g_keyboardLayout{LayoutUnset};

namespace {

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

} // namespace

// mingw-w64's start-up code finds the tail by comparing signed chars, so a
// Shift-JIS byte in an unquoted path ends the program name early and a
// forced option is lost. Every test here is an equality on unsigned bytes,
// and no Shift-JIS trail byte equals a blank, a tab or a quote.
const char *commandLineTail(const char *commandLine) {
  if (commandLine == nullptr)
    return nullptr;
  auto p = reinterpret_cast<const unsigned char *>(commandLine);
  while (isBlank(*p))
    ++p;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"')
      ++p;
    if (*p == '"')
      ++p;
  } else {
    while (*p != '\0' && !isBlank(*p))
      ++p;
  }
  while (isBlank(*p))
    ++p;
  return reinterpret_cast<const char *>(p);
}

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
