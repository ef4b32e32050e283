// A small Win32 console tool run beside the checker, in the same Wine
// desktop, by the tests, the demo and the benchmarks: it does to the
// checker's window what a user or the window manager would, and reports
// what only the platform knows. It links nothing of the checker.
//
//   window_tool close TITLE        WM_CLOSE, as the close box sends it
//   window_tool where TITLE        "client X Y" (client origin on screen)
//                                  "window W H" (outer size) and
//                                  "size W H" (client size)
//   window_tool resize TITLE W H   a new outer size, position kept
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
  HWND window = argc < 3 ? nullptr : FindWindowA(nullptr, argv[2]);
  if (window == nullptr)
    return 1;
  if (std::strcmp(argv[1], "close") == 0)
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (std::strcmp(argv[1], "resize") == 0 && argc == 5)
    return SetWindowPos(window, nullptr, 0, 0, std::atoi(argv[3]),
                        std::atoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER)
               ? 0
               : 1;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT outer;
  GetWindowRect(window, &outer);
  RECT client;
  GetClientRect(window, &client);
  std::printf("client %ld %ld\nwindow %ld %ld\nsize %ld %ld\n", origin.x,
              origin.y, outer.right - outer.left, outer.bottom - outer.top,
              client.right, client.bottom);
  return std::strcmp(argv[1], "where") == 0 ? 0 : 2;
}
