// Where every key label of the grid goes and in which colour, worked out
// from the layout, a keyboard snapshot and the font's metrics alone, so the
// arrangement can be checked without a screen and the GDI code only draws.
#pragma once

#include <cstdint>

#include "keymodel/key_state.h"
#include "keymodel/layout.h"

// COLORREF values (0x00BBGGRR).
constexpr uint32_t kKeyDownColor = 0x00000000;
constexpr uint32_t kKeyUpColor = 0x00BEB496;
constexpr uint32_t kCountLineColor = 0x000000F0;

// The grid font's metrics in pixels: tmHeight, tmAveCharWidth,
// tmMaxCharWidth.
struct GridMetrics {
  int height;
  int aveCharWidth;
  int maxCharWidth;
};

// One text output: length bytes of the label as stored (code page 932),
// drawn with the top left of the line at x, y.
struct GridLabel {
  int x;
  int y;
  const char *text;
  int length;
  uint32_t color;
  uint8_t code; // the key's scan code, so a label can be found by its key
};

// Function row 13, main block 75, navigation 18, keypad 24.
constexpr int kGridLabelCount = 130;

struct GridPlan {
  GridLabel labels[kGridLabelCount]; // in drawing order
  int keyCount;                      // labels whose key is down
  char countText[24];                // "%3d key(s) on"
  int countLength;
  int countX;
  int countY;
  int clientWidth; // the client area that shows all of it
  int clientHeight;
};

// Fills plan; reads only bit 7 of the state's bytes.
void planGrid(GridPlan &plan, KeyboardLayout layout, const KeyState &state,
              const GridMetrics &metrics);
