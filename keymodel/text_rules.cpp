// The byte-level rules behind displayText and the label checks. UTF-8 is
// decoded only as far as telling C1 controls and invisible characters
// from the rest; anything else passes through untouched.
#include "keymodel/text_rules.h"

#include <cstdint>
#include <cstdio>

namespace {

bool isC1Lead(const std::string &text, size_t i) {
  return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[i + 1]) < 0xA0;
}

bool isC0(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The code point at i, moving i past it; a stray byte reads as itself.
uint32_t nextCodePoint(const std::string &text, size_t &i) {
  const unsigned char lead = static_cast<unsigned char>(text[i++]);
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  uint32_t point = more == 0 ? lead : lead & (0x3F >> more);
  for (int k = 0; k < more && i < text.size(); ++k)
    point = (point << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  return point;
}

// Characters that leave a keycap looking empty.
bool drawsNothing(uint32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0xAD || c == 0x34F || c == 0x115F ||
         c == 0x1160 || c == 0x1680 || c == 0x180E ||
         (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
         (c >= 0x205F && c <= 0x206F) || c == 0x2800 || c == 0x3000 ||
         c == 0x3164 || c == 0xFEFF || c == 0xFFA0;
}

} // namespace

std::string displayText(const std::string &text) {
  std::string out;
  char escaped[12];
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (isC0(c)) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
    } else if (isC1Lead(text, i)) {
      std::snprintf(escaped, sizeof escaped, "\\xC2\\x%02X",
                    static_cast<unsigned char>(text[++i]));
    } else {
      out += static_cast<char>(c);
      continue;
    }
    out += escaped;
  }
  return out;
}

bool hasControlCharacters(const std::string &utf8) {
  for (size_t i = 0; i < utf8.size(); ++i)
    if (isC0(static_cast<unsigned char>(utf8[i])) || isC1Lead(utf8, i))
      return true;
  return false;
}

bool looksBlank(const std::string &utf8) {
  for (size_t i = 0; i < utf8.size();)
    if (!drawsNothing(nextCodePoint(utf8, i)))
      return false;
  return true;
}

bool isUtf8(const std::string &text) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text.data());
  const unsigned char *end = p + text.size();
  while (p < end) {
    const unsigned char c = *p++;
    if (c < 0x80)
      continue;
    const int more = c >= 0xC2 && c < 0xE0   ? 1
                     : c >= 0xE0 && c < 0xF0 ? 2
                     : c >= 0xF0 && c < 0xF5 ? 3
                                             : -1;
    if (more < 0 || end - p < more)
      return false;
    // The second byte's range rules out overlong forms, surrogates and
    // code points past U+10FFFF.
    const unsigned char low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    if (p[0] < low || p[0] > high)
      return false;
    for (int i = 1; i < more; ++i)
      if ((p[i] & 0xC0) != 0x80)
        return false;
    p += more;
  }
  return true;
}
