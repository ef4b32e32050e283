// The grid's arrangement for a font's metrics: where the blocks end, the
// window's client size, the colours and the count line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "keymodel/grid_plan.h"
#include "keymodel/key_tables.h"

namespace {

const GridLabel *labelOf(const GridPlan &plan, uint8_t code) {
  for (const GridLabel &label : plan.labels)
    if (label.code == code)
      return &label;
  return nullptr;
}

} // namespace

TEST(GridPlan, ClientSizeAndBlockEdgesFollowTheMetrics) {
  // H/A/W of a plain 16-pixel font, of IPAGothic and of VL Gothic.
  const struct {
    GridMetrics m;
    int width;
  } fonts[] = {{{16, 8, 16}, 556}, {{16, 9, 23}, 628}, {{15, 7, 17}, 508}};
  static GridPlan plan;
  for (const auto &f : fonts)
    for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
      const int h = f.m.height, a = f.m.aveCharWidth, w = f.m.maxCharWidth;
      planGrid(plan, layout, KeyState{}, f.m);
      EXPECT_EQ(plan.clientWidth, f.width);
      EXPECT_EQ(plan.clientHeight, 8 * h);
      // SysR starts the navigation block at topEnd + W, NumLock the keypad.
      EXPECT_EQ(labelOf(plan, 0xB7)->x, 2 * w + 30 * a + 65);
      EXPECT_EQ(labelOf(plan, 0xB7)->y, h);
      EXPECT_EQ(labelOf(plan, 0x45)->x, 3 * w + 42 * a + 80);
      EXPECT_EQ(labelOf(plan, 0x01)->x, w);     // Esc
      EXPECT_EQ(labelOf(plan, 0x39)->y, 6 * h); // Space, the last main row
      EXPECT_EQ(plan.countX, a);
      EXPECT_EQ(plan.countY, 7 * h);
    }
  // US row 2: Cap, a one-blank filler, then A.
  planGrid(plan, LayoutUS, KeyState{}, {16, 9, 23});
  EXPECT_EQ(labelOf(plan, 0x1E)->x, 23 + (27 + 10) + (9 + 10));
}

TEST(GridPlan, HeldKeysAreBlackAndCountedOthersPale) {
  static GridPlan plan;
  KeyState state{};
  planGrid(plan, LayoutUS, state, {16, 9, 23});
  EXPECT_EQ(std::string(plan.countText, plan.countLength), "  0 key(s) on");
  for (const GridLabel &label : plan.labels)
    EXPECT_EQ(label.color, 0x00BEB496u);

  state.bytes[0x2A] = state.bytes[0x1E] = 0x80; // LShft, A
  planGrid(plan, LayoutUS, state, {16, 9, 23});
  EXPECT_EQ(std::string(plan.countText, plan.countLength), "  2 key(s) on");
  EXPECT_EQ(labelOf(plan, 0x2A)->color, 0x00000000u);
  EXPECT_EQ(labelOf(plan, 0x1E)->color, 0x00000000u);
  EXPECT_EQ(labelOf(plan, 0x10)->color, 0x00BEB496u);
  EXPECT_STREQ(labelOf(plan, 0x2A)->text, "LShft");
  EXPECT_EQ(labelOf(plan, 0x2A)->length, 5);
}

TEST(GridPlan, EveryKeyHeldLeavesOnlyFillersUp) {
  static GridPlan plan;
  KeyState all{};
  std::memset(all.bytes, 0x80, 255); // all but the fillers' 0xFF
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    planGrid(plan, layout, all, {16, 9, 23});
    int down = 0;
    for (const GridLabel &label : plan.labels) {
      EXPECT_EQ(label.color == 0x00000000u, label.code != kFillerCode);
      down += label.code != kFillerCode;
    }
    EXPECT_EQ(plan.keyCount, down);
    EXPECT_EQ(std::string(plan.countText, plan.countLength),
              std::to_string(down) + " key(s) on");
  }
}
