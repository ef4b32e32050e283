// Only a handful of double-byte glyphs occur in the key tables, so a table
// of them replaces a general code page 932 converter; half-width katakana
// (single bytes A1 to DF) map onto U+FF61 to U+FF9F by arithmetic.
#include "keymodel/label_utf8.h"

#include <cstring>

namespace {

struct DoubleByte {
  unsigned char lead, trail;
  const char *utf8;
};

constexpr DoubleByte kGlyphs[] = {
    {0x8A, 0xBF, "\xE6\xBC\xA2"}, // 漢
    {0x96, 0xB3, "\xE7\x84\xA1"}, // 無
    {0x95, 0xCF, "\xE5\xA4\x89"}, // 変
    {0x81, 0xAA, "\xE2\x86\x91"}, // ↑
    {0x81, 0xA9, "\xE2\x86\x90"}, // ←
    {0x81, 0xAB, "\xE2\x86\x93"}, // ↓
    {0x81, 0xA8, "\xE2\x86\x92"}, // →
};

const char *glyphFor(unsigned char lead, unsigned char trail) {
  for (const DoubleByte &g : kGlyphs)
    if (g.lead == lead && g.trail == trail)
      return g.utf8;
  return "?";
}

bool isHalfWidthKatakana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

} // namespace

void labelToUtf8(const char *label, char (&out)[kLabelUtf8Bytes]) {
  auto p = reinterpret_cast<const unsigned char *>(label);
  size_t n = 0;
  // Each step adds at most 3 bytes; the tables' labels are at most 16 bytes.
  while (*p != '\0' && n + 4 <= kLabelUtf8Bytes) {
    const unsigned char c = *p++;
    if (c < 0x80) {
      out[n++] = static_cast<char>(c);
    } else if (isHalfWidthKatakana(c)) {
      const unsigned code = 0xFF61 + (c - 0xA1);
      out[n++] = static_cast<char>(0xE0 | (code >> 12));
      out[n++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out[n++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      const char *glyph = "?";
      if (*p != '\0')
        glyph = glyphFor(c, *p++);
      std::memcpy(out + n, glyph, std::strlen(glyph));
      n += std::strlen(glyph);
    }
  }
  out[n] = '\0';
}
