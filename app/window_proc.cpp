// The main window's message handler. Every case calls one handler: device
// notification follows activation, timer ticks and worker requests become
// repaints, and closing stops the worker before the devices go.
#include "app/main_window.h"
#include "app/window_messages.h"
#include "app/window_paint.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "keymodel/grid_paint_win.h"

namespace {

constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT kRepaintDelayMs = 10;
// Long enough for a last pass and the closing line; re-signalled inside.
// The bound of the whole close, WM_CLOSE through WM_QUIT.
constexpr DWORD kWorkerStopBoundMs = 3000;

// The keyboard only changes its event while unacquired.
void attachAndAcquire(HANDLE event) {
  unacquireAll();
  attachKeyboardEvent(event);
  acquireAll();
}

void repaintNowAndSoon(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  SetTimer(window, kRepaintTimer, kRepaintDelayMs, nullptr);
}

LRESULT onCreate() {
  startInputWorker(g_mainWindow, kRepaintRequest);
  return 0;
}

LRESULT onDestroy() {
  // The close step spent the one bound the whole close may take. A worker
  // that has not ended by now may still be reading the keyboard, so the
  // devices are left to process exit: waiting again would keep the process
  // alive with its window already gone.
  if (inputWorkerEnded())
    releaseAll();
  PostQuitMessage(0);
  return 0;
}

LRESULT onActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  {
    OpenedWakeEvent event;
    // wParam taken whole: a minimized activation (high word set) counts as
    // active whatever its low word says.
    if (wParam != 0) {
      attachAndAcquire(event.handle);
    } else {
      unacquireAll();
      attachKeyboardEvent(nullptr);
    }
    InvalidateRect(window, nullptr, FALSE);
  }
  return DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
}

LRESULT onPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  // An inactive window only validates: keys typed elsewhere are not shown.
  if (GetActiveWindow() != nullptr) {
    SelectedGridFont font(dc);
    paintKeyGrid(dc, window);
  }
  EndPaint(window, &ps);
  return 0;
}

LRESULT onClose(HWND window) {
  stopInputWorker(kWorkerStopBoundMs);
  DestroyWindow(window);
  return 0;
}

LRESULT onTimer(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  KillTimer(window, kRepaintTimer);
  return 0;
}

LRESULT onStartNotification(HWND window) {
  {
    OpenedWakeEvent event;
    attachAndAcquire(event.handle);
  }
  repaintNowAndSoon(window);
  return 0;
}

LRESULT onRepaintRequest(HWND window) {
  repaintNowAndSoon(window);
  return 0;
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  switch (message) {
  case WM_CREATE:
    return onCreate();
  case WM_DESTROY:
    return onDestroy();
  case WM_ACTIVATE:
    return onActivate(window, wParam, lParam);
  case WM_PAINT:
    return onPaint(window);
  case WM_CLOSE:
    return onClose(window);
  case WM_TIMER:
    return onTimer(window);
  case kStartMessage:
    return onStartNotification(window);
  case kRepaintRequest:
    return onRepaintRequest(window);
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}
