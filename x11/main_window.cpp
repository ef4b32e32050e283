// X has no zero-sized windows, and a window that changes size after a
// window manager has placed it is placed again; so the grid's size is worked
// out from the font first, and the window is born fitted and fixed.
#include "x11/main_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xutil.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>

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

// A window-valued property, None when it or its window is missing.
xcb_window_t windowProperty(xcb_connection_t *xcb, xcb_window_t window,
                            xcb_atom_t name) {
  xcb_generic_error_t *error = nullptr;
  xcb_get_property_reply_t *reply = xcb_get_property_reply(
      xcb, xcb_get_property(xcb, 0, window, name, XCB_ATOM_WINDOW, 0, 1),
      &error);
  xcb_window_t value = XCB_NONE;
  if (reply != nullptr && xcb_get_property_value_length(reply) == 4)
    std::memcpy(&value, xcb_get_property_value(reply), sizeof value);
  std::free(reply);
  std::free(error);
  return value;
}

// A window manager names a window of its own on the root, and that window
// names itself; one that died leaves the root's property naming a window
// that is gone.
bool managerRunning(Display *display) {
  xcb_connection_t *xcb = XGetXCBConnection(display);
  const xcb_atom_t check =
      XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  const xcb_window_t named =
      windowProperty(xcb, DefaultRootWindow(display), check);
  return named != XCB_NONE && windowProperty(xcb, named, check) == named;
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
  if ((focus == PointerRoot || focus == None) && !managerRunning(display))
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
}

bool isCloseRequest(const MainWindow &main,
                    const XClientMessageEvent &message) {
  return message.format == 32 &&
         static_cast<Atom>(message.data.l[0]) == main.deleteWindow;
}

bool forgetDestroyedWindow(MainWindow &main,
                           const XDestroyWindowEvent &destroyed) {
  if (destroyed.window != main.window)
    return false;
  main.window = None;
  return true;
}
