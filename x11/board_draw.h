// Draws a finished board plan into the window with Xft. Every drawing
// starts from a plain off-screen copy, so nothing flickers and
// antialiased labels are never drawn over themselves.
#pragma once

#include <X11/Xft/Xft.h>

#include "keymodel/board_plan.h"
#include "x11/grid_font.h"

// The plan's colours, allocated once.
constexpr int kBoardColorCount = 12;

struct BoardCanvas {
  Pixmap buffer;
  int width, height;
  GC gc; // only for the copy to the window
  XftDraw *draw;
  uint32_t colorrefs[kBoardColorCount];
  XftColor colors[kBoardColorCount];
};

bool createBoardCanvas(Display *display, Window window, int width, int height,
                       BoardCanvas &canvas);
void destroyBoardCanvas(Display *display, BoardCanvas &canvas);

// The plan's measure: a UTF-8 text's advance in pixels, with a
// BoardMeasure as its context.
struct BoardMeasure {
  Display *display;
  XftFont *font;
};
int measureBoardText(void *measure, const char *text, int length);

void drawBoardPlan(Display *display, Window window, BoardCanvas &canvas,
                   const GridFont &font, const BoardPlan &plan);
