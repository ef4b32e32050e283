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

// Without a window manager nobody gives the window the focus, and X's
// default (PointerRoot) sends keys to whatever is under the pointer with no
// focus event at all: the window, once shown, then takes the focus itself,
// as a window manager would give it. Under a window manager, or when some
// window holds the focus, it leaves the focus alone.
void focusWithoutManager(Display *display, Window window);

// The close box was clicked: the window manager's WM_DELETE_WINDOW.
bool isCloseRequest(const MainWindow &main, const XClientMessageEvent &message);

// Another client may destroy the window (xdotool windowclose, xkill's
// kin): that is a close, with nothing left to draw on, so the window is
// forgotten. True when it was ours.
bool forgetDestroyedWindow(MainWindow &main,
                           const XDestroyWindowEvent &destroyed);
