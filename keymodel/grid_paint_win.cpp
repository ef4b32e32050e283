// The GDI side of the key grid: all arrangement comes from the plan, this
// file only turns it into text outputs and one window resize.
#include "keymodel/grid_paint_win.h"

#include "input/device_set.h"

bool g_fitPending = true;

namespace {

// The frame the client rectangle is adjusted by: WS_OVERLAPPEDWINDOW,
// although the window itself has no sizing frame.
constexpr DWORD kFitStyle = 0x00CF0000;

} // namespace

HFONT createGridFont() {
  return CreateFontA(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, nullptr);
}

GridMetrics gridMetricsOf(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return {tm.tmHeight, tm.tmAveCharWidth, tm.tmMaxCharWidth};
}

void drawGridPlan(HDC dc, const GridPlan &plan) {
  SetBkMode(dc, TRANSPARENT);
  for (const GridLabel &label : plan.labels) {
    SetTextColor(dc, label.color);
    TextOutA(dc, label.x, label.y, label.text, label.length);
  }
  // Opaque, so the count covers the previous count with the DC's default
  // (white) background instead of piling digits on top of each other.
  SetBkMode(dc, OPAQUE);
  SetTextColor(dc, kCountLineColor);
  TextOutA(dc, plan.countX, plan.countY, plan.countText, plan.countLength);
}

void drawGrid(HDC dc, const KeyState &state, KeyboardLayout layout,
              GridPlan &plan) {
  planGrid(plan, layout, state, gridMetricsOf(dc));
  drawGridPlan(dc, plan);
}

void fitWindowOnce(HWND window, const GridPlan &plan) {
  if (!g_fitPending)
    return;
  RECT r{0, 0, plan.clientWidth, plan.clientHeight};
  AdjustWindowRectEx(&r, kFitStyle, FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER);
  g_fitPending = false;
}

bool paintGrid(HDC dc, HWND window) {
  if (g_devices.keyboard == nullptr)
    return false;
  KeyState state;
  if (!readKeyboardState(state))
    return false;
  GridPlan plan;
  drawGrid(dc, state, g_keyboardLayout.load(), plan);
  fitWindowOnce(window, plan);
  return true;
}
