// X has no zero-sized windows, and a window that changes size after a
// window manager has placed it is placed again; so the grid's size is worked
// out from the font first, and the window is born fitted and fixed.
#include "x11/main_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>

#include "keymodel/window_title.h"
#include "x11/pictures.h"

namespace {

constexpr long kEventMask = KeyPressMask | KeyReleaseMask | FocusChangeMask |
                            ExposureMask | StructureNotifyMask;

void setTitle(Display *display, Window window) {
  XStoreName(display, window, kWindowTitle);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8,
                  PropModeReplace,
                  reinterpret_cast<const unsigned char *>(kWindowTitle),
                  static_cast<int>(std::strlen(kWindowTitle)));
}

// A fixed size (min = max), input focus wanted, and the class the desktop
// files the window under.
void setManagerHints(Display *display, Window window, int width, int height) {
  XSizeHints *size = XAllocSizeHints();
  size->flags = PMinSize | PMaxSize;
  size->min_width = size->max_width = width;
  size->min_height = size->max_height = height;
  XWMHints *wm = XAllocWMHints();
  wm->flags = InputHint | StateHint;
  wm->input = True;
  wm->initial_state = NormalState;
  char name[] = "keyboard-checker", className[] = "Keyboard-checker";
  XClassHint *hint = XAllocClassHint();
  hint->res_name = name;
  hint->res_class = className;
  XSetWMProperties(display, window, nullptr, nullptr, nullptr, 0, size, wm,
                   hint);
  XFree(hint);
  XFree(wm);
  XFree(size);
}

void setPid(Display *display, Window window) {
  const unsigned long pid = static_cast<unsigned long>(getpid());
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(&pid), 1);
}

} // namespace

bool createMainWindow(Display *display, int width, int height,
                      MainWindow &main) {
  const int screen = DefaultScreen(display);
  main = {};
  main.window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width,
                          height, 0, 0, WhitePixel(display, screen));
  if (main.window == None)
    return false;
  main.tile = createBackgroundTile(display, main.window);
  if (main.tile != None)
    XSetWindowBackgroundPixmap(display, main.window, main.tile);
  XSelectInput(display, main.window, kEventMask);
  setTitle(display, main.window);
  setManagerHints(display, main.window, width, height);
  setPid(display, main.window);
  setWindowIcon(display, main.window);
  main.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, main.window, &main.deleteWindow, 1);
  return true;
}

void focusWithoutManager(Display *display, Window window) {
  Window focus;
  int revert;
  XGetInputFocus(display, &focus, &revert);
  if (focus != PointerRoot && focus != None)
    return;
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char *manager = nullptr;
  XGetWindowProperty(display, DefaultRootWindow(display),
                     XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0,
                     1, False, XA_WINDOW, &type, &format, &items, &after,
                     &manager);
  if (manager != nullptr)
    XFree(manager);
  if (items == 0)
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
}
