// Turns a grid plan into GDI text outputs. All arrangement comes from the
// plan; this file only knows the font and the two background modes.
#include "keymodel/grid_paint_win.h"

SelectedGridFont::SelectedGridFont(HDC target)
    : dc(target),
      font(CreateFontA(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, nullptr)) {
  SelectObject(dc, font);
}

SelectedGridFont::~SelectedGridFont() {
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  if (font != nullptr)
    DeleteObject(font);
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
