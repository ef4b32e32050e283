// The single main window on X: the caption, the icon, the tiled background,
// a size fixed at the grid's client area, and the close box delivered as a
// message rather than the window simply vanishing.
#pragma once

#include <X11/Xlib.h>

struct MainWindow {
  Window window;
  Pixmap tile;       // the background tile, None when it could not be made
  Atom deleteWindow; // WM_DELETE_WINDOW, the close box
};

// Created unmapped at the fitted size, which a window manager may not
// change; false when the server refuses it.
bool createMainWindow(Display *display, int width, int height,
                      MainWindow &main);
