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
  // H/A/W of a plain 16-pixel font, of IPAGothic and of VL Gothic.
  const GridMetrics fonts[] = {{16, 8, 16}, {16, 9, 23}, {15, 7, 17}};
  const int sizes[][2] = {{556, 128}, {628, 128}, {508, 120}};
  for (int i = 0; i < 3; ++i)
    for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
      planGrid(plan, layout, KeyState{}, fonts[i]);
      EXPECT_EQ(plan.clientWidth, sizes[i][0]);
      EXPECT_EQ(plan.clientHeight, sizes[i][1]);
    }
}

// Positions worked out by hand for IPAGothic (H 16, A 9, W 23): pens
// advance by the label's bytes times 9, plus 5 (10 in the main block).
TEST(GridPlan, EachBlockAndTheCountLineWhereTheyBelong) {
  // clang-format off
  struct At { KeyboardLayout layout; uint8_t code; int x, y; };
  const At cells[] = {
    {LayoutUS, 0x01, 23, 16}, {LayoutUS, 0x3E, 124, 16}, {LayoutUS, 0x58, 326, 16},
    {LayoutUS, 0x29, 23, 32}, {LayoutUS, 0x0D, 251, 32}, {LayoutUS, 0x0E, 289, 32},
    {LayoutUS, 0x10, 60, 48}, {LayoutUS, 0x1C, 288, 48},
    {LayoutUS, 0x1E, 79, 64}, {LayoutUS, 0x28, 269, 64},
    {LayoutUS, 0x2A, 33, 80}, {LayoutUS, 0x2C, 88, 80}, {LayoutUS, 0x36, 278, 80},
    {LayoutUS, 0x1D, 33, 96}, {LayoutUS, 0x39, 134, 96}, {LayoutUS, 0x9D, 253, 96},
    {LayoutJP, 0x94, 23, 32}, {LayoutJP, 0x02, 51, 32}, {LayoutJP, 0x7D, 279, 32},
    {LayoutJP, 0x91, 250, 48}, {LayoutJP, 0x1E, 60, 64}, {LayoutJP, 0x92, 250, 64},
    {LayoutJP, 0x2A, 23, 80}, {LayoutJP, 0x2B, 268, 80}, {LayoutJP, 0x36, 287, 80},
    {LayoutJP, 0x39, 143, 96}, {LayoutJP, 0x70, 226, 96}, {LayoutJP, 0x9D, 300, 96},
    {LayoutUS, 0xB7, 381, 16}, {LayoutJP, 0xC5, 463, 16}, {LayoutUS, 0xC8, 422, 80},
    {LayoutUS, 0xCB, 381, 96}, {LayoutJP, 0xCD, 463, 96},
    {LayoutUS, 0x45, 527, 16}, {LayoutJP, 0x4A, 596, 16}, {LayoutUS, 0x9C, 596, 64},
    {LayoutUS, 0x52, 527, 80}, {LayoutJP, 0xB3, 573, 96}, {LayoutUS, 0x8D, 596, 96},
  };
  // clang-format on
  for (const At &at : cells) {
    planGrid(plan, at.layout, KeyState{}, {16, 9, 23});
    EXPECT_EQ(labelOf(at.code).x, at.x) << "code " << int(at.code);
    EXPECT_EQ(labelOf(at.code).y, at.y) << "code " << int(at.code);
    EXPECT_EQ(plan.countX, 9);
    EXPECT_EQ(plan.countY, 112);
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
