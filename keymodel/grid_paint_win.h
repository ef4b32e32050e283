// The GDI side of the key grid: the grid font and the drawing of a plan.
// It reads no keyboard and sizes no window; the window layer does both and
// hands a finished plan here.
#pragma once

#include <windows.h>

#include "keymodel/grid_plan.h"

// The bold 16-pixel fixed-pitch Shift-JIS grid font, selected into a DC for
// as long as this lives; then the stock system font goes back in and the
// grid font is deleted, so no path can leak it.
struct SelectedGridFont {
  explicit SelectedGridFont(HDC dc);
  ~SelectedGridFont();
  SelectedGridFont(const SelectedGridFont &) = delete;
  SelectedGridFont &operator=(const SelectedGridFont &) = delete;

  HDC dc;
  HFONT font;
};

// H, A and W of the font selected into dc.
GridMetrics gridMetricsOf(HDC dc);

// Every label transparently in its colour, then the count line opaque in
// red over the DC's background colour.
void drawGridPlan(HDC dc, const GridPlan &plan);
