// Layout choice from the command-line tail and from DirectInput's
// device-type word.
#include "keymodel/layout.h"

#include <algorithm>
#include <cstring>

std::atomic<KeyboardLayout> g_keyboardLayout{LayoutUnset};

namespace {

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const char *text) {
  while (isBlank(static_cast<unsigned char>(*text)))
    ++text;
  const char *end = text + std::strlen(text);
  while (end > text && isBlank(static_cast<unsigned char>(end[-1])))
    --end;
  return std::string(text, end);
}

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

bool boardFromCommandLine(const char *tail, BoardTail &asked) {
  static const char option[] = "--board";
  constexpr size_t length = sizeof option - 1;
  if (tail == nullptr || std::strncmp(tail, option, length) != 0 ||
      !isBlank(static_cast<unsigned char>(tail[length])))
    return false;
  // A line typed by hand or kept in a .cmd file easily has a blank too many
  // on either side of a value; none belongs to it.
  std::string rest = trimmed(tail + length);
  asked.station = false;
  asked.stationName.clear();
  // A quoted path ends at its closing quote, whatever it holds; elsewhere
  // the station's option starts after a blank.
  const size_t from = rest.size() > 1 && rest[0] == '"'
                          ? std::min(rest.find('"', 1), rest.size())
                          : 0;
  for (size_t at = rest.find("--station", from); at != std::string::npos;
       at = rest.find("--station", at + 1)) {
    const size_t after = at + sizeof "--station" - 1;
    if (at == 0 || !isBlank(static_cast<unsigned char>(rest[at - 1])) ||
        (after < rest.size() &&
         !isBlank(static_cast<unsigned char>(rest[after]))))
      continue;
    asked.station = true;
    asked.stationName = trimmed(rest.c_str() + after);
    rest = trimmed(rest.substr(0, at).c_str());
    break;
  }
  const size_t n = rest.size();
  if (n >= 2 && rest[0] == '"' && rest[n - 1] == '"')
    rest = rest.substr(1, n - 2);
  asked.board = rest;
  return true;
}

KeyboardLayout layoutFromDeviceType(uint32_t devType) {
  const uint8_t subtype = static_cast<uint8_t>(devType >> 8);
  return static_cast<uint8_t>(subtype - 10) < 2 ? LayoutJP : LayoutUS;
}
