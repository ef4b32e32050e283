// Times one full paint of the key grid with real GDI, off screen: a DIB
// section in a memory DC with the grid font selected, drawn again and again
// as the window's paint handler draws it (no erase in between). Also times
// the handler's whole sequence, font creation and deletion included.
//
//   paint_bench [ITERATIONS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/sample_stats.h"
#include "keymodel/grid_paint_win.h"
#include "keymodel/grid_plan.h"

namespace {

double g_msPerTick = 0;

double elapsedMs(const LARGE_INTEGER &from, const LARGE_INTEGER &to) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * g_msPerTick;
}

// A 32-bit top-down DIB section large enough for the whole client area.
HBITMAP createCanvas(HDC dc, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr)
    PatBlt(dc, 0, 0, width, height, WHITENESS);
  return bitmap;
}

KeyState stateWithA() {
  KeyState state{};
  state.bytes[0x1E] = 0x80;
  return state;
}

// Times body over the iterations, after a tenth as many warm-up runs;
// GdiFlush makes sure the drawing was done, not just queued.
template <typename Body>
std::vector<double> timePaints(int iterations, Body body) {
  std::vector<double> samples;
  LARGE_INTEGER from, to;
  for (int i = -iterations / 10; i < iterations; ++i) {
    QueryPerformanceCounter(&from);
    body();
    GdiFlush();
    QueryPerformanceCounter(&to);
    if (i >= 0)
      samples.push_back(elapsedMs(from, to));
  }
  return samples;
}

// drawGrid alone, with the grid font already selected.
std::vector<double> timeDrawGrid(HDC dc, KeyboardLayout layout,
                                 const KeyState &state, int iterations) {
  GridPlan plan;
  return timePaints(iterations, [&] { drawGrid(dc, state, layout, plan); });
}

// What the paint handler does around drawGrid: a fresh font every time.
std::vector<double> timeHandlerSequence(HDC dc, KeyboardLayout layout,
                                        const KeyState &state, int iterations) {
  GridPlan plan;
  return timePaints(iterations, [&] {
    HFONT font = createGridFont();
    HGDIOBJ old = SelectObject(dc, font);
    drawGrid(dc, state, layout, plan);
    SelectObject(dc, old);
    DeleteObject(font);
  });
}

} // namespace

int main(int argc, char **argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_msPerTick = 1000.0 / static_cast<double>(frequency.QuadPart);

  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = createGridFont();
  HGDIOBJ oldFont = SelectObject(dc, font);
  // The larger of the two layouts' client areas.
  GridPlan plan, other;
  planGrid(plan, LayoutJP, KeyState{}, gridMetricsOf(dc));
  planGrid(other, LayoutUS, KeyState{}, gridMetricsOf(dc));
  plan.clientWidth = std::max(plan.clientWidth, other.clientWidth);
  plan.clientHeight = std::max(plan.clientHeight, other.clientHeight);
  HBITMAP canvas = createCanvas(dc, plan.clientWidth, plan.clientHeight);
  if (canvas == nullptr) {
    std::fprintf(stderr, "paint_bench: no DIB section\n");
    return 1;
  }
  HGDIOBJ oldBitmap = SelectObject(dc, canvas);
  PatBlt(dc, 0, 0, plan.clientWidth, plan.clientHeight, WHITENESS);

  char note[160];
  std::snprintf(note, sizeof note,
                "QueryPerformanceCounter at %lld Hz around each paint, "
                "%dx%d 32-bit DIB",
                static_cast<long long>(frequency.QuadPart), plan.clientWidth,
                plan.clientHeight);
  const KeyState none{};
  const KeyState withA = stateWithA();
  printRow("paint: drawGrid, US, no key",
           timeDrawGrid(dc, LayoutUS, none, iterations), "ms", note);
  printRow("paint: drawGrid, US, A held",
           timeDrawGrid(dc, LayoutUS, withA, iterations), "ms", note);
  printRow("paint: drawGrid, JP, A held",
           timeDrawGrid(dc, LayoutJP, withA, iterations), "ms", note);
  SelectObject(dc, oldFont);
  printRow("paint: font + drawGrid, US",
           timeHandlerSequence(dc, LayoutUS, withA, iterations), "ms", note);

  SelectObject(dc, oldBitmap);
  DeleteObject(canvas);
  DeleteObject(font);
  DeleteDC(dc);
  return 0;
}
