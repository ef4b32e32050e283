// Draws the key grid with GDI: reads a fresh keyboard snapshot, plans the
// labels for it and draws the plan, then fits the window once.
#pragma once

#include <windows.h>

#include "keymodel/grid_plan.h"

// Set until the first drawing that gets past the keyboard read has fitted
// the window. UI thread only.
extern bool g_fitPending;

// Bold 16-pixel fixed-pitch Shift-JIS font; the caller selects it into the
// paint DC and deletes it afterwards.
HFONT createGridFont();

// H, A and W of the font selected into dc.
GridMetrics gridMetricsOf(HDC dc);

// Every label transparently in its colour, then the count line opaque in
// red over the DC's background colour.
void drawGridPlan(HDC dc, const GridPlan &plan);

// Plans the grid for state with dc's metrics and draws it; plan receives
// what was drawn.
void drawGrid(HDC dc, const KeyState &state, KeyboardLayout layout,
              GridPlan &plan);

// While g_fitPending is set: sizes window so its client area would hold
// the plan under the overlapped-window frame, and clears the flag.
void fitWindowOnce(HWND window, const GridPlan &plan);

// The paint handler's call, with the grid font selected into dc. False,
// with nothing drawn and no fit, when there is no keyboard device or its
// state cannot be read.
bool paintGrid(HDC dc, HWND window);
