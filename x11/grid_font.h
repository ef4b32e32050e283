// The grid font on X: the face Windows picks for a bold 16-pixel fixed-pitch
// Shift-JIS font, with the line height and the average and maximum widths
// worked out the way GDI reports them, so the grid comes out the same size.
#pragma once

#include <X11/Xft/Xft.h>

#include "keymodel/grid_plan.h"

struct GridFont {
  XftFont *font;
  GridMetrics metrics;
  int ascent;     // from the top of a line to its baseline
  bool japanese;  // the face has the Japanese labels' glyphs
  char name[128]; // the face's family, for messages
};

// A Japanese-capable monospace face if one is installed, else any
// monospace face, at the size GDI gives a font of that cell height (the
// classic grid's is 16). False only when fontconfig finds no font at all.
constexpr int kGridCellHeight = 16;
bool openGridFont(Display *display, int screen, GridFont &font,
                  int cellHeight = kGridCellHeight);

void closeGridFont(Display *display, GridFont &font);
