// Window class and window creation.
#include "app/main_window.h"

std::atomic<HWND> g_mainWindow{nullptr};

HWND createMainWindow(HINSTANCE instance) {
  // Kept for the life of the process: the class paints its background
  // with the brush.
  HBITMAP tile = LoadBitmapA(instance, "BACKGROUNDBMP");
  HBRUSH background = CreatePatternBrush(tile);
  HICON icon =
      static_cast<HICON>(LoadImageA(instance, "KEYCHECKERICON", IMAGE_ICON, 0,
                                    0, LR_SHARED | LR_DEFAULTSIZE));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = mainWindowProc;
  // Reserved per window and never used: the program keeps no per-window
  // data, as it has one window and its state is process-wide.
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = kWindowTitle;
  if (RegisterClassExA(&wc) == 0)
    return nullptr;

  HWND window = CreateWindowExA(0, kWindowTitle, kWindowTitle, kWindowStyle, 0,
                                0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window != nullptr) {
    // The window is already visible (WS_VISIBLE): UpdateWindow delivers its
    // first WM_PAINT now, before the devices exist, so that one draws
    // nothing and the start message's repaint is the one that fits it.
    UpdateWindow(window);
    ShowWindow(window, SW_SHOW);
  }
  return window;
}
