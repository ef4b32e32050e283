// A small Win32 console tool the end-to-end tests run beside the checker:
// it closes a window the way the close box does (WM_CLOSE) and reports
// where the checker's window is and where its labels should be, worked out
// from the real grid font on this machine.
//
//   window_tool close TITLE
//   window_tool layout TITLE jp|us CODE...
//     window W H          outer size of the window as it is
//     fitted W H          outer size the first drawing must give it
//     client X Y          client origin in screen coordinates
//     label CODE X Y W H  a key's label cell in screen coordinates
//     count X Y W H       the count line's "  0 key(s) on" cell
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keymodel/grid_paint_win.h"
#include "keymodel/grid_plan.h"

namespace {

int closeWindow(HWND window) {
  return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

const GridLabel *labelFor(const GridPlan &plan, int code) {
  for (const GridLabel &label : plan.labels)
    if (label.code == code)
      return &label;
  return nullptr;
}

int describeLayout(HWND window, KeyboardLayout layout, int codeCount,
                   char **codes) {
  HDC dc = GetDC(window);
  HFONT font = createGridFont();
  HGDIOBJ old = SelectObject(dc, font);
  const GridMetrics metrics = gridMetricsOf(dc);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(window, dc);

  static GridPlan plan;
  const KeyState none{};
  planGrid(plan, layout, none, metrics);

  RECT outer;
  GetWindowRect(window, &outer);
  RECT fitted{0, 0, plan.clientWidth, plan.clientHeight};
  AdjustWindowRectEx(&fitted, 0x00CF0000, FALSE, 0);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);

  std::printf("window %ld %ld\n", outer.right - outer.left,
              outer.bottom - outer.top);
  std::printf("fitted %ld %ld\n", fitted.right - fitted.left,
              fitted.bottom - fitted.top);
  std::printf("client %ld %ld\n", origin.x, origin.y);
  for (int i = 0; i < codeCount; ++i) {
    const int code = static_cast<int>(std::strtol(codes[i], nullptr, 16));
    const GridLabel *label = labelFor(plan, code);
    if (label == nullptr)
      return 1;
    std::printf("label %s %ld %ld %d %d\n", codes[i], origin.x + label->x,
                origin.y + label->y, label->length * metrics.aveCharWidth,
                metrics.height);
  }
  std::printf("count %ld %ld %d %d\n", origin.x + plan.countX,
              origin.y + plan.countY, plan.countLength * metrics.aveCharWidth,
              metrics.height);
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
    return closeWindow(window);
  if (std::strcmp(argv[1], "layout") == 0 && argc >= 4) {
    const KeyboardLayout layout =
        std::strcmp(argv[3], "jp") == 0 ? LayoutJP : LayoutUS;
    return describeLayout(window, layout, argc - 4, argv + 4);
  }
  return 2;
}
