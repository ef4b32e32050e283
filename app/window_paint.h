// What the window shows: a fresh keyboard reading, planned as a key grid
// and drawn, with the window fitted to the first drawing.
#pragma once

#include <windows.h>

// With the grid font selected into dc. False, with nothing drawn and no
// fit, when there is no keyboard or its state cannot be read.
bool paintKeyGrid(HDC dc, HWND window);
