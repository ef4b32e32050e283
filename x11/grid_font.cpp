// GDI asked for a cell height of 16 scales the face so that its Windows
// ascent and descent fill those 16 pixels, and reports its widths from the
// OS/2 table and the bounding box, one pixel wider when the bold is
// synthesized. Xft's own numbers differ, so they come from the face's
// tables through FreeType instead.
#include "x11/grid_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdio>

namespace {

constexpr FcChar32 kKanji = 0x6F22; // 漢, the Zenkaku/Hankaku key's label

// The units the scaling works in, read from the face file.
struct FaceUnits {
  double perEm, ascent, descent, averageWidth, boxWidth;
};

bool readFaceUnits(FcPattern *match, FaceUnits &units) {
  FcChar8 *file = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch)
    return false;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0)
    return false;
  FT_Face face;
  bool ok = FT_New_Face(library, reinterpret_cast<const char *>(file), index,
                        &face) == 0;
  if (ok) {
    const auto *os2 =
        static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    units.perEm = face->units_per_EM;
    units.boxWidth = face->bbox.xMax - face->bbox.xMin;
    units.ascent = os2 ? os2->usWinAscent : face->ascender;
    units.descent = os2 ? os2->usWinDescent : -face->descender;
    units.averageWidth = os2 ? os2->xAvgCharWidth : face->max_advance_width / 2;
    ok = units.perEm > 0 && units.ascent + units.descent > 0;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return ok;
}

// The best match for family (with lang=ja for the Japanese face), bold and
// monospace, as fontconfig would fill it in for drawing.
FcPattern *matchFace(Display *display, int screen, const char *family,
                     bool japanese) {
  FcPattern *pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8 *>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
  FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  if (japanese)
    FcPatternAddString(pattern, FC_LANG,
                       reinterpret_cast<const FcChar8 *>("ja"));
  FcResult result;
  FcPattern *match = XftFontMatch(display, screen, pattern, &result);
  FcPatternDestroy(pattern);
  return match;
}

bool hasKanji(FcPattern *match) {
  FcCharSet *charset = nullptr;
  return FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
         FcCharSetHasChar(charset, kKanji);
}

} // namespace

bool openGridFont(Display *display, int screen, GridFont &font,
                  int cellHeight) {
  font = {};
  FcPattern *match = matchFace(display, screen, "IPAGothic", true);
  if (match == nullptr || !hasKanji(match)) {
    if (match != nullptr)
      FcPatternDestroy(match);
    match = matchFace(display, screen, "monospace", false);
  }
  FaceUnits units;
  if (match == nullptr || !readFaceUnits(match, units)) {
    if (match != nullptr)
      FcPatternDestroy(match);
    return false;
  }
  font.japanese = hasKanji(match);
  FcChar8 *family = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
    std::snprintf(font.name, sizeof font.name, "%s", family);

  const double pixels =
      std::lround(cellHeight * units.perEm / (units.ascent + units.descent));
  const double scale = pixels / units.perEm;
  FcBool embolden = FcFalse;
  FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
  const int boldExtra = embolden ? 1 : 0;
  font.ascent = static_cast<int>(std::lround(units.ascent * scale));
  font.metrics.height =
      font.ascent + static_cast<int>(std::lround(units.descent * scale));
  font.metrics.aveCharWidth =
      static_cast<int>(std::lround(units.averageWidth * scale)) + boldExtra;
  font.metrics.maxCharWidth =
      static_cast<int>(std::lround(units.boxWidth * scale)) + boldExtra;

  FcPatternDel(match, FC_PIXEL_SIZE);
  FcPatternAddDouble(match, FC_PIXEL_SIZE, pixels);
  font.font = XftFontOpenPattern(display, match); // takes the pattern
  if (font.font == nullptr)
    FcPatternDestroy(match);
  return font.font != nullptr;
}

void closeGridFont(Display *display, GridFont &font) {
  if (font.font != nullptr)
    XftFontClose(display, font.font);
  font.font = nullptr;
}
