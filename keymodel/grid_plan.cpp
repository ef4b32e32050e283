// The grid's arrangement: function row on top, main block under it, the
// navigation block and keypad to the right, a count line at the bottom.
// Pen advances are byte counts times the average width, so the blanks
// inside the labels are what lines the columns up.
#include "keymodel/grid_plan.h"

#include <cstdio>
#include <cstring>

#include "keymodel/key_tables.h"

static_assert(kTopRowCols + kMainRows * kMainCols + kNavRows * kNavCols +
                      kPadRows * kPadCols ==
                  kGridLabelCount,
              "one label per table entry");

namespace {

// Appends one label at x, y and returns its width in pixels.
int place(GridPlan &plan, int &next, const KeyEntry &entry, int x, int y,
          const KeyState &state, int aveCharWidth) {
  const int length = static_cast<int>(std::strlen(entry.label));
  const bool down = isKeyDown(state, entry.code);
  // A filler's byte (0xFF) is never set by the keyboard read, so fillers
  // come out in the up colour and uncounted without a test of their own.
  plan.labels[next++] = {
      x,         y, entry.label, length, down ? kKeyDownColor : kKeyUpColor,
      entry.code};
  plan.keyCount += down;
  return length * aveCharWidth;
}

} // namespace

void planGrid(GridPlan &plan, KeyboardLayout layout, const KeyState &state,
              const GridMetrics &metrics) {
  const int h = metrics.height;
  const int a = metrics.aveCharWidth;
  const int w = metrics.maxCharWidth;
  int next = 0;
  plan.keyCount = 0;

  int x = w;
  for (const KeyEntry &entry : TopRowKeys)
    x += place(plan, next, entry, x, h, state, a) + 5;
  const int topEnd = x;

  const MainBlock &main = mainBlockFor(layout);
  for (int r = 0; r < kMainRows; ++r) {
    x = w;
    for (int c = 0; c < kMainCols; ++c) {
      const int width = place(plan, next, main[r][c], x, (2 + r) * h, state, a);
      if (c < kMainCols - 1)
        x += width + 10;
    }
  }

  // The navigation rows differ in width; the last one alone decides where
  // the keypad starts.
  for (int r = 0; r < kNavRows; ++r) {
    x = topEnd + w;
    for (const KeyEntry &entry : NavKeys[r])
      x += place(plan, next, entry, x, (1 + r) * h, state, a) + 5;
  }
  const int navEnd = x + w;

  for (int r = 0; r < kPadRows; ++r) {
    x = navEnd;
    for (const KeyEntry &entry : NumPadKeys[r])
      x += place(plan, next, entry, x, (1 + r) * h, state, a) + 5;
  }
  const int padEnd = x;

  plan.countLength = std::snprintf(plan.countText, sizeof plan.countText,
                                   "%3d key(s) on", plan.keyCount);
  plan.countX = a;
  plan.countY = 7 * h;
  plan.clientWidth = padEnd + a;
  plan.clientHeight = 8 * h;
}
