// The grid's arrangement for a font's metrics: where the blocks start, the
// window's client size, the colours and the count line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "keymodel/grid_plan.h"
#include "keymodel/key_tables.h"

namespace {

GridPlan plan;

const GridLabel &labelOf(uint8_t code) {
  for (const GridLabel &label : plan.labels)
    if (label.code == code)
      return label;
  throw code;
}

std::string countText() { return {plan.countText, size_t(plan.countLength)}; }

} // namespace

TEST(GridPlan, ClientSizeFollowsTheMetricsForEitherLayout) {
  // H/A/W of a plain 16-pixel font, of IPAGothic and of VL Gothic: the
  // client area is 3W + 51A + 100 by 8H.
  const GridMetrics fonts[] = {{16, 8, 16}, {16, 9, 23}, {15, 7, 17}};
  const int widths[] = {556, 628, 508};
  for (int i = 0; i < 3; ++i)
    for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
      planGrid(plan, layout, KeyState{}, fonts[i]);
      EXPECT_EQ(plan.clientWidth, widths[i]);
      EXPECT_EQ(plan.clientHeight, 8 * fonts[i].height);
      // The keypad starts at navEnd = 3W + 42A + 80.
      EXPECT_EQ(labelOf(0x45).x,
                3 * fonts[i].maxCharWidth + 42 * fonts[i].aveCharWidth + 80);
    }
}

TEST(GridPlan, HeldKeysAreBlackAndCountedOthersPale) {
  KeyState state{};
  state.bytes[0x2A] = state.bytes[0x1E] = 0x80; // LShft, A
  planGrid(plan, LayoutUS, state, {16, 9, 23});
  EXPECT_EQ(countText(), "  2 key(s) on");
  for (const GridLabel &label : plan.labels)
    EXPECT_EQ(label.color, label.code == 0x2A || label.code == 0x1E
                               ? 0x00000000u
                               : 0x00BEB496u);
  planGrid(plan, LayoutUS, KeyState{}, {16, 9, 23});
  EXPECT_EQ(countText(), "  0 key(s) on");
}

TEST(GridPlan, EveryKeyHeldLeavesOnlyFillersUp) {
  KeyState all{};
  std::memset(all.bytes, 0x80, 255); // all but the fillers' 0xFF
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    planGrid(plan, layout, all, {16, 9, 23});
    for (const GridLabel &label : plan.labels)
      EXPECT_EQ(label.color == 0x00000000u, label.code != kFillerCode);
    const int keys = layout == LayoutJP ? 108 : 103;
    EXPECT_EQ(countText(), std::to_string(keys) + " key(s) on");
  }
}
