// The Windows program's own pictures on X: the background tile and the
// icon group, read from the very files its resource script names.
#pragma once

#include <X11/Xlib.h>

// The 179 x 59 tile as a pixmap of the window's depth; None if the default
// visual is not a true-colour one.
Pixmap createBackgroundTile(Display *display, Window window);

// Every 32-bit image of the icon group as the window's _NET_WM_ICON.
void setWindowIcon(Display *display, Window window);
