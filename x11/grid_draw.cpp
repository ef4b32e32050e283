// Labels go to their planned positions in their planned colours; the count
// line is opaque, on the white that GDI's default background colour gives.
#include "x11/grid_draw.h"

#include <cstring>

#include "keymodel/label_utf8.h"

namespace {

const XftColor &colorFor(const GridCanvas &canvas, uint32_t colorref) {
  if (colorref == kKeyDownColor)
    return canvas.keyDown;
  return colorref == kCountLineColor ? canvas.countLine : canvas.keyUp;
}

void drawText(const GridCanvas &canvas, const GridFont &font,
              const XftColor &color, int x, int y, const char *sjis) {
  char utf8[kLabelUtf8Bytes];
  labelToUtf8(sjis, utf8);
  XftDrawStringUtf8(canvas.draw, &color, font.font, x, y + font.ascent,
                    reinterpret_cast<const FcChar8 *>(utf8),
                    static_cast<int>(std::strlen(utf8)));
}

} // namespace

bool createGridCanvas(Display *display, Window window, Pixmap tile, int width,
                      int height, GridCanvas &canvas) {
  const int screen = DefaultScreen(display);
  canvas = {};
  canvas.width = width;
  canvas.height = height;
  canvas.buffer = XCreatePixmap(display, window, width, height,
                                DefaultDepth(display, screen));
  XGCValues values = {};
  unsigned long mask = GCForeground | GCGraphicsExposures;
  values.foreground = WhitePixel(display, screen);
  if (tile != None) {
    values.fill_style = FillTiled;
    values.tile = tile;
    mask |= GCFillStyle | GCTile;
  }
  canvas.background = XCreateGC(display, canvas.buffer, mask, &values);
  canvas.draw =
      XftDrawCreate(display, canvas.buffer, DefaultVisual(display, screen),
                    DefaultColormap(display, screen));
  return canvas.draw != nullptr &&
         allocXftColor(display, kKeyDownColor, canvas.keyDown) &&
         allocXftColor(display, kKeyUpColor, canvas.keyUp) &&
         allocXftColor(display, kCountLineColor, canvas.countLine) &&
         allocXftColor(display, 0x00FFFFFF, canvas.white);
}

void destroyGridCanvas(Display *display, GridCanvas &canvas) {
  if (canvas.draw != nullptr)
    XftDrawDestroy(canvas.draw);
  if (canvas.background != nullptr)
    XFreeGC(display, canvas.background);
  if (canvas.buffer != None)
    XFreePixmap(display, canvas.buffer);
  canvas = {};
}

void drawGridPlan(Display *display, Window window, GridCanvas &canvas,
                  const GridFont &font, const GridPlan &plan) {
  XFillRectangle(display, canvas.buffer, canvas.background, 0, 0, canvas.width,
                 canvas.height);
  for (const GridLabel &label : plan.labels)
    if (label.length > 0)
      drawText(canvas, font, colorFor(canvas, label.color), label.x, label.y,
               label.text);
  XGlyphInfo extents;
  XftTextExtentsUtf8(display, font.font,
                     reinterpret_cast<const FcChar8 *>(plan.countText),
                     plan.countLength, &extents);
  XftDrawRect(canvas.draw, &canvas.white, plan.countX, plan.countY,
              extents.xOff, font.metrics.height);
  drawText(canvas, font, canvas.countLine, plan.countX, plan.countY,
           plan.countText);
  XCopyArea(display, canvas.buffer, window, canvas.background, 0, 0,
            canvas.width, canvas.height, 0, 0);
}

bool allocXftColor(Display *display, uint32_t colorref, XftColor &color) {
  const int screen = DefaultScreen(display);
  const XRenderColor render = {
      static_cast<unsigned short>((colorref & 0xFF) * 257),
      static_cast<unsigned short>((colorref >> 8 & 0xFF) * 257),
      static_cast<unsigned short>((colorref >> 16 & 0xFF) * 257), 0xFFFF};
  return XftColorAllocValue(display, DefaultVisual(display, screen),
                            DefaultColormap(display, screen), &render, &color);
}
