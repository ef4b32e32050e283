// Keycaps as an edge with the fill inside, a chattered key framed in red
// over its edge, then the labels, the status line and the verdict.
#include "x11/board_draw.h"
#include "x11/grid_draw.h"

namespace {

constexpr uint32_t kPlanColors[kBoardColorCount] = {
    kBoardBackColor,  kCapEdgeColor,    kNeverFillColor, kNeverTextColor,
    kTestedFillColor, kTestedTextColor, kHeldFillColor,  kHeldTextColor,
    kChatterColor,    kStatusTextColor, kPassColor,      kFailColor,
    kButtonColor};

const XftColor &colorOf(const BoardCanvas &canvas, uint32_t colorref) {
  for (int i = 0; i < kBoardColorCount; ++i)
    if (canvas.colorrefs[i] == colorref)
      return canvas.colors[i];
  return canvas.colors[0];
}

void fill(BoardCanvas &canvas, uint32_t colorref, int left, int top, int right,
          int bottom) {
  if (right > left && bottom > top)
    XftDrawRect(canvas.draw, &colorOf(canvas, colorref), left, top,
                right - left, bottom - top);
}

bool isAscii(const char *text, int length) {
  for (int i = 0; i < length; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80)
      return false;
  return true;
}

XftFont *fontFor(const BoardFonts &fonts, int face, const char *text,
                 int length) {
  return fonts.western[face] != nullptr && isAscii(text, length)
             ? fonts.western[face]
             : fonts.japanese[face].font;
}

void drawText(BoardCanvas &canvas, const BoardFonts &fonts, int face,
              uint32_t colorref, int x, int y, const char *utf8, int length) {
  XftFont *font = fontFor(fonts, face, utf8, length);
  // The Japanese face's ascent is GDI's, which places the line.
  const int ascent =
      font == fonts.western[face] ? font->ascent : fonts.japanese[face].ascent;
  XftDrawStringUtf8(canvas.draw, &colorOf(canvas, colorref), font, x,
                    y + ascent, reinterpret_cast<const FcChar8 *>(utf8),
                    length);
}

void drawCap(BoardCanvas &canvas, const BoardFonts &fonts,
             const BoardPlan &plan, const BoardCap &cap) {
  fill(canvas, cap.chatter ? kChatterColor : kCapEdgeColor, cap.left, cap.top,
       cap.right, cap.bottom);
  const int edge = cap.chatter ? plan.frame : 1;
  fill(canvas, cap.fill, cap.left + edge, cap.top + edge, cap.right - edge,
       cap.bottom - edge);
  // A caption too long even for the small face ends at the keycap's edge.
  XRectangle inside = {
      short(cap.left + edge), short(cap.top + edge),
      static_cast<unsigned short>(cap.right - cap.left - 2 * edge),
      static_cast<unsigned short>(cap.bottom - cap.top - 2 * edge)};
  XftDrawSetClipRectangles(canvas.draw, 0, 0, &inside, 1);
  for (int l = 0; l < cap.lineCount; ++l)
    drawText(canvas, fonts, cap.face, cap.text, cap.lines[l].x, cap.lines[l].y,
             cap.caption.data() + cap.lines[l].offset, cap.lines[l].length);
  XftDrawSetClip(canvas.draw, None);
}

// Everything the band under the keys shows, as one text: drawn again only
// when it changes.
std::string linesOf(const BoardPlan &plan) {
  const StationLines &s = plan.station;
  return plan.status + '\n' + plan.verdict + '\n' + plan.notice + '\n' +
         s.prompt + '\n' + s.count + (s.buttonActive ? "\n+" : "\n-");
}

void drawLine(BoardCanvas &canvas, const BoardFonts &fonts,
              const std::string &text, uint32_t colorref, int x, int y) {
  if (!text.empty())
    drawText(canvas, fonts, FaceNormal, colorref, x, y, text.data(),
             int(text.size()));
}

void drawStationLines(BoardCanvas &canvas, const BoardFonts &fonts,
                      const StationLines &s) {
  drawLine(canvas, fonts, s.prompt, kStatusTextColor, s.promptX, s.promptY);
  drawLine(canvas, fonts, s.count, kStatusTextColor, s.countX, s.countY);
  fill(canvas, kCapEdgeColor, s.buttonLeft, s.buttonTop, s.buttonRight,
       s.buttonBottom);
  fill(canvas, s.buttonActive ? kButtonColor : kNeverFillColor,
       s.buttonLeft + 1, s.buttonTop + 1, s.buttonRight - 1,
       s.buttonBottom - 1);
  drawLine(canvas, fonts, s.button,
           s.buttonActive ? kStatusTextColor : kNeverTextColor, s.buttonX,
           s.buttonY);
}

} // namespace

bool createBoardCanvas(Display *display, Window window, int width, int height,
                       BoardCanvas &canvas) {
  const int screen = DefaultScreen(display);
  canvas = {};
  canvas.width = width;
  canvas.height = height;
  canvas.buffer = XCreatePixmap(display, window, width, height,
                                DefaultDepth(display, screen));
  XGCValues values = {};
  values.graphics_exposures = False;
  canvas.gc = XCreateGC(display, canvas.buffer, GCGraphicsExposures, &values);
  canvas.draw =
      XftDrawCreate(display, canvas.buffer, DefaultVisual(display, screen),
                    DefaultColormap(display, screen));
  if (canvas.draw == nullptr)
    return false;
  for (int i = 0; i < kBoardColorCount; ++i) {
    canvas.colorrefs[i] = kPlanColors[i];
    if (!allocXftColor(display, kPlanColors[i], canvas.colors[i]))
      return false;
  }
  return true;
}

void destroyBoardCanvas(Display *display, BoardCanvas &canvas) {
  if (canvas.draw != nullptr)
    XftDrawDestroy(canvas.draw);
  if (canvas.gc != nullptr)
    XFreeGC(display, canvas.gc);
  if (canvas.buffer != None)
    XFreePixmap(display, canvas.buffer);
  canvas = {};
}

bool openBoardFonts(void *context, int cellHeight, BoardMetrics &metrics) {
  BoardFonts &fonts = *static_cast<BoardFonts *>(context);
  closeBoardFonts(fonts);
  for (int face : {FaceNormal, FaceSmall}) {
    const int cell =
        face == FaceNormal ? cellHeight : smallCellHeight(cellHeight);
    GridFont &japanese = fonts.japanese[face];
    if (!openGridFont(fonts.display, fonts.screen, japanese, cell))
      return false;
    metrics.face[face] = japanese.metrics;
    double pixels = 0;
    FcPatternGetDouble(japanese.font->pattern, FC_PIXEL_SIZE, 0, &pixels);
    fonts.western[face] =
        XftFontOpen(fonts.display, fonts.screen, FC_FAMILY, FcTypeString,
                    "monospace", FC_LANG, FcTypeString, "en", FC_WEIGHT,
                    FcTypeInteger, FC_WEIGHT_BOLD, FC_PIXEL_SIZE, FcTypeDouble,
                    pixels > 0 ? pixels : double(cell), nullptr);
  }
  return true;
}

void closeBoardFonts(BoardFonts &fonts) {
  for (int face : {FaceNormal, FaceSmall}) {
    if (fonts.western[face] != nullptr)
      XftFontClose(fonts.display, fonts.western[face]);
    fonts.western[face] = nullptr;
    closeGridFont(fonts.display, fonts.japanese[face]);
  }
}

int measureBoardText(void *fonts, int face, const char *text, int length) {
  const auto &with = *static_cast<const BoardFonts *>(fonts);
  XGlyphInfo extents;
  XftTextExtentsUtf8(with.display, fontFor(with, face, text, length),
                     reinterpret_cast<const FcChar8 *>(text), length, &extents);
  return extents.xOff;
}

void drawBoardPlan(Display *display, Window window, BoardCanvas &canvas,
                   const BoardFonts &font, const BoardPlan &plan) {
  const bool first = canvas.shown.size() != plan.caps.size();
  if (first) {
    fill(canvas, kBoardBackColor, 0, 0, canvas.width, canvas.height);
    canvas.shown.assign(plan.caps.size(), BoardCap{});
  }
  for (size_t i = 0; i < plan.caps.size(); ++i) {
    const BoardCap &cap = plan.caps[i];
    BoardCap &was = canvas.shown[i];
    if (!first && cap.fill == was.fill && cap.text == was.text &&
        cap.chatter == was.chatter)
      continue;
    drawCap(canvas, font, plan, cap);
    was = cap;
    if (!first)
      XCopyArea(display, canvas.buffer, window, canvas.gc, cap.left, cap.top,
                cap.right - cap.left, cap.bottom - cap.top, cap.left, cap.top);
  }
  const std::string lines = linesOf(plan);
  if (first || lines != canvas.shownLines) {
    // The status, the verdict, the notice and a station's lines share the
    // band below the keys.
    const int top = plan.statusY;
    fill(canvas, kBoardBackColor, 0, top, canvas.width, canvas.height);
    drawLine(canvas, font, plan.status, kStatusTextColor, plan.statusX,
             plan.statusY);
    drawLine(canvas, font, plan.verdict, plan.verdictColor, plan.verdictX,
             plan.verdictY);
    drawLine(canvas, font, plan.notice, kStatusTextColor, plan.noticeX,
             plan.noticeY);
    if (plan.station.shown)
      drawStationLines(canvas, font, plan.station);
    canvas.shownLines = lines;
    if (!first)
      XCopyArea(display, canvas.buffer, window, canvas.gc, 0, top, canvas.width,
                canvas.height - top, 0, top);
  }
  if (first)
    showBoardCanvas(display, window, canvas);
}

void showBoardCanvas(Display *display, Window window,
                     const BoardCanvas &canvas) {
  XCopyArea(display, canvas.buffer, window, canvas.gc, 0, 0, canvas.width,
            canvas.height, 0, 0);
}
