// Window class and window creation.
#include "app/main_window.h"

HWND createMainWindow(HINSTANCE instance) {
  // Kept for the life of the process: the class paints its background
  // with the brush.
  HBITMAP tile = LoadBitmapA(instance, "BACKGROUNDBMP");
  HBRUSH background = CreatePatternBrush(tile);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = mainWindowProc;
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hIcon =
      static_cast<HICON>(LoadImageA(instance, "KEYCHECKERICON", IMAGE_ICON, 0,
                                    0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hIconSm =
      static_cast<HICON>(LoadImageA(instance, "KEYCHECKERICON", IMAGE_ICON, 0,
                                    0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = kWindowTitle;
  if (RegisterClassExA(&wc) == 0)
    return nullptr;

  HWND window = CreateWindowExA(0, kWindowTitle, kWindowTitle, kWindowStyle, 0,
                                0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window != nullptr) {
    UpdateWindow(window);
    ShowWindow(window, SW_SHOW);
  }
  return window;
}
