// Draws a finished grid plan into the window, from an off-screen copy that
// starts from the background tile on every drawing: antialiased text drawn
// over itself would thicken with every repaint.
#pragma once

#include <X11/Xft/Xft.h>

#include "keymodel/grid_plan.h"
#include "x11/grid_font.h"

struct GridCanvas {
  Pixmap buffer;
  int width, height;
  GC background; // fills with the tile, or white without one
  XftDraw *draw;
  XftColor keyDown, keyUp, countLine, white;
};

bool createGridCanvas(Display *display, Window window, Pixmap tile, int width,
                      int height, GridCanvas &canvas);
void destroyGridCanvas(Display *display, GridCanvas &canvas);

void drawGridPlan(Display *display, Window window, GridCanvas &canvas,
                  const GridFont &font, const GridPlan &plan);

// A COLORREF (0x00BBGGRR) as Xft draws it on the default visual; both
// windows speak the key model's colours.
bool allocXftColor(Display *display, uint32_t colorref, XftColor &color);
