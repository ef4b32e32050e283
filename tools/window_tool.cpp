// A small Win32 console tool run beside the checker, in the same Wine
// desktop, by the tests, the demo and the benchmarks: it does to the
// checker's window what a user or the window manager would, and reports
// what only the platform knows. It links nothing of the checker.
//
//   window_tool close TITLE        WM_CLOSE, as the close box sends it
//   window_tool where TITLE        "client X Y" (client origin on screen),
//                                  "window W H" (outer size),
//                                  "font H A W" (the grid font's metrics)
//   window_tool resize TITLE W H   a new outer size, position kept
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int where(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT outer;
  GetWindowRect(window, &outer);
  std::printf("client %ld %ld\n", origin.x, origin.y);
  std::printf("window %ld %ld\n", outer.right - outer.left,
              outer.bottom - outer.top);
  HDC dc = GetDC(window);
  HFONT font = CreateFontA(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                           SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(window, dc);
  std::printf("font %ld %ld %ld\n", tm.tmHeight, tm.tmAveCharWidth,
              tm.tmMaxCharWidth);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3)
    return 2;
  HWND window = FindWindowA(nullptr, argv[2]);
  if (window == nullptr)
    return 1;
  if (std::strcmp(argv[1], "close") == 0)
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (std::strcmp(argv[1], "where") == 0)
    return where(window);
  if (std::strcmp(argv[1], "resize") == 0 && argc == 5)
    return SetWindowPos(window, nullptr, 0, 0, std::atoi(argv[3]),
                        std::atoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER)
               ? 0
               : 1;
  return 2;
}
