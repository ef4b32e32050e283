// Draws a finished board plan into the window with Xft. The drawing lives
// in an off-screen copy, so nothing flickers; a keycap is redrawn whole,
// edge to edge, so antialiased labels are never drawn over themselves; and
// only what changed is redrawn and copied, so a key costs the server one
// keycap, not the whole board.
#pragma once

#include <X11/Xft/Xft.h>

#include <string>
#include <vector>

#include "keymodel/board_plan.h"
#include "x11/grid_font.h"

// The plan's colours, allocated once.
constexpr int kBoardColorCount = 13;

struct BoardCanvas {
  Pixmap buffer;
  int width, height;
  GC gc; // only for the copy to the window
  XftDraw *draw;
  uint32_t colorrefs[kBoardColorCount];
  XftColor colors[kBoardColorCount];
  // What the off-screen copy shows; empty until the first drawing.
  std::vector<BoardCap> shown;
  std::string shownLines; // the lines under the board, as linesOf says
};

bool createBoardCanvas(Display *display, Window window, int width, int height,
                       BoardCanvas &canvas);
void destroyBoardCanvas(Display *display, BoardCanvas &canvas);

// The board's fonts, a normal and a small face (BoardFace), each in two
// kinds: a Japanese face draws the backslash as a yen sign, so a text of
// ASCII alone gets a Western monospace face, and any other text the
// classic grid's Japanese one.
struct BoardFonts {
  Display *display;
  int screen;
  GridFont japanese[2];
  XftFont *western[2]; // the Japanese face draws everything without them
};

// The plan's OpenBoardFonts, with the BoardFonts as its context: the
// faces for a window at that cell height, the Western ones at the
// Japanese ones' sizes, bold as they are; what was open before is closed.
bool openBoardFonts(void *fonts, int cellHeight, BoardMetrics &metrics);
void closeBoardFonts(BoardFonts &fonts);

// The plan's measure: a UTF-8 text's advance in pixels in the font that
// draws it, with the BoardFonts as its context.
int measureBoardText(void *fonts, int face, const char *text, int length);

// Brings the off-screen copy up to the plan and copies what changed.
void drawBoardPlan(Display *display, Window window, BoardCanvas &canvas,
                   const BoardFonts &fonts, const BoardPlan &plan);

// The whole off-screen copy into the window, as it was last drawn.
void showBoardCanvas(Display *display, Window window,
                     const BoardCanvas &canvas);
