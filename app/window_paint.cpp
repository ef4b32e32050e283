// The paint step in three parts: collect (read the keyboard), lay out (plan
// the grid for the font on the DC), draw the plan; then size the window to
// it, once.
#include "app/window_paint.h"

#include "input/device_set.h"
#include "keymodel/grid_paint_win.h"
#include "keymodel/grid_plan.h"

namespace {

// The client rectangle is grown by this frame although the window has no
// sizing frame, so the window comes out a little larger than its content.
constexpr DWORD kFitFrameStyle = WS_OVERLAPPEDWINDOW;
static_assert(kFitFrameStyle == 0x00CF0000, "the fit's documented frame");

// Set until the first drawing has sized the window; later drawings never
// resize it. UI thread only.
bool g_fitPending = true;

void fitWindowOnce(HWND window, const GridPlan &plan) {
  if (!g_fitPending)
    return;
  RECT r{0, 0, plan.clientWidth, plan.clientHeight};
  AdjustWindowRectEx(&r, kFitFrameStyle, FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER);
  g_fitPending = false;
}

} // namespace

bool paintKeyGrid(HDC dc, HWND window) {
  KeyState state;
  if (!readKeyboardState(state))
    return false;
  GridPlan plan;
  planGrid(plan, g_keyboardLayout.load(), state, gridMetricsOf(dc));
  drawGridPlan(dc, plan);
  fitWindowOnce(window, plan);
  return true;
}
