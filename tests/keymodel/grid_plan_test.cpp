// The grid's arrangement for both layouts and several font metrics, the
// colours of held and released keys, and the count line. Positions are
// checked against sums worked out by hand from the label bytes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "keymodel/grid_plan.h"
#include "keymodel/key_tables.h"

namespace {

// Where each block begins in the drawing order.
constexpr int kTop = 0, kMain = 13, kNav = 88, kPad = 106;

KeyState stateWith(std::initializer_list<int> down) {
  KeyState s{};
  for (int code : down)
    s.bytes[code] = 0x80;
  return s;
}

GridPlan planFor(KeyboardLayout layout, const KeyState &state, GridMetrics m) {
  GridPlan plan;
  planGrid(plan, layout, state, m);
  return plan;
}

const GridLabel *labelFor(const GridPlan &plan, uint8_t code) {
  for (const GridLabel &l : plan.labels)
    if (l.code == code)
      return &l;
  return nullptr;
}

const GridMetrics kMetrics[] = {{16, 8, 16}, {16, 9, 23}, {15, 7, 17}};

} // namespace

TEST(GridPlan, BlockEdgesFollowTheLabelBytes) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP, LayoutUnset})
    for (const GridMetrics &m : kMetrics) {
      SCOPED_TRACE(testing::Message()
                   << "layout " << int(layout) << " H " << m.height << " A "
                   << m.aveCharWidth << " W " << m.maxCharWidth);
      const GridPlan p = planFor(layout, KeyState{}, m);
      const int a = m.aveCharWidth, w = m.maxCharWidth;
      const int topEnd = w + 30 * a + 65;
      const int navEnd = 3 * w + 42 * a + 80;
      const int padEnd = 3 * w + 50 * a + 100;
      // Esc 3 bytes, F1-F9 2 each, F10 and F11 3 each, before F12.
      EXPECT_EQ(p.labels[kTop + 12].x, w + 27 * a + 60);
      for (int r = 0; r < kNavRows; ++r) {
        EXPECT_EQ(p.labels[kNav + 3 * r].x, topEnd + w);
        // Every keypad row starts where navigation row 5 ends, not row 4.
        EXPECT_EQ(p.labels[kPad + 4 * r].x, navEnd);
      }
      // Navigation row 5: "  ←", " ↓ ", "→  ", 4 bytes each.
      EXPECT_EQ(p.labels[kNav + 16].x, topEnd + w + 4 * a + 5);
      EXPECT_EQ(p.labels[kNav + 17].x, topEnd + w + 8 * a + 10);
      // Keypad row 5: four 2-byte labels.
      EXPECT_EQ(p.labels[kPad + 23].x, navEnd + 6 * a + 15);
      EXPECT_EQ(p.clientWidth, padEnd + a);
      EXPECT_EQ(p.clientWidth, 3 * w + 51 * a + 100);
      EXPECT_EQ(p.clientHeight, 8 * m.height);
      for (int r = 0; r < kMainRows; ++r)
        EXPECT_EQ(p.labels[kMain + 15 * r].x, w);
    }
  const GridPlan reference = planFor(LayoutJP, KeyState{}, {16, 8, 16});
  EXPECT_EQ(reference.clientWidth, 556);
  EXPECT_EQ(reference.clientHeight, 128);
}

TEST(GridPlan, MainBlockColumnsAdvanceByTenPixels) {
  const GridMetrics m{16, 9, 23};
  const GridPlan jp = planFor(LayoutJP, KeyState{}, m);
  const GridPlan us = planFor(LayoutUS, KeyState{}, m);
  // JP row 0: 漢 (2 bytes), ten digits, "-", "^", "\" before "BS".
  EXPECT_EQ(jp.labels[kMain + 14].x, 23 + 15 * 9 + 14 * 10);
  EXPECT_EQ(std::string(jp.labels[kMain + 14].text), "BS");
  // JP row 4: "LCtl", "LAlt", 無 (2 bytes), "Space" before 変.
  EXPECT_EQ(jp.labels[kMain + 64].x, 23 + 15 * 9 + 4 * 10);
  EXPECT_EQ(jp.labels[kMain + 64].length, 2);
  // US row 4 opens with an empty filler: "LCtrl" starts ten pixels in.
  EXPECT_EQ(us.labels[kMain + 61].x, 23 + 10);
  EXPECT_EQ(std::string(us.labels[kMain + 63].text), " Space ");
  // "", "LCtrl", "LAlt", " Space " before "RAlt".
  EXPECT_EQ(us.labels[kMain + 64].x, 23 + 16 * 9 + 4 * 10);
}

TEST(GridPlan, LabelsAreTheTableEntriesInDrawingOrderAndRows) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    const int h = 15;
    const GridPlan p = planFor(layout, KeyState{}, {h, 7, 17});
    int i = 0;
    auto expectLabel = [&](const KeyEntry &e, int y) {
      EXPECT_EQ(p.labels[i].text, e.label) << "label " << i;
      EXPECT_EQ(p.labels[i].code, e.code) << "label " << i;
      EXPECT_EQ(p.labels[i].length, int(std::string(e.label).size()));
      EXPECT_EQ(p.labels[i].y, y) << "label " << i;
      ++i;
    };
    for (const KeyEntry &e : TopRowKeys)
      expectLabel(e, h);
    for (int r = 0; r < kMainRows; ++r)
      for (const KeyEntry &e : mainBlockFor(layout)[r])
        expectLabel(e, (2 + r) * h);
    for (int r = 0; r < kNavRows; ++r)
      for (const KeyEntry &e : NavKeys[r])
        expectLabel(e, (1 + r) * h);
    for (int r = 0; r < kPadRows; ++r)
      for (const KeyEntry &e : NumPadKeys[r])
        expectLabel(e, (1 + r) * h);
    EXPECT_EQ(i, kGridLabelCount);
    // The count line sits under the main block's last row.
    EXPECT_EQ(p.countX, 7);
    EXPECT_EQ(p.countY, 7 * h);
  }
}

TEST(GridPlan, NothingPressedIsAllUpAndZero) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    const GridPlan p = planFor(layout, KeyState{}, {16, 9, 23});
    for (const GridLabel &l : p.labels)
      EXPECT_EQ(l.color, 0x00BEB496u);
    EXPECT_EQ(p.keyCount, 0);
    EXPECT_EQ(std::string(p.countText, p.countLength), "  0 key(s) on");
  }
}

TEST(GridPlan, HeldKeysAreBlackAndCounted) {
  const KeyState shiftA = stateWith({0x2A, 0x1E});
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    const GridPlan p = planFor(layout, shiftA, {16, 9, 23});
    const GridLabel *shift = labelFor(p, 0x2A);
    const GridLabel *a = labelFor(p, 0x1E);
    ASSERT_TRUE(shift && a);
    EXPECT_EQ(std::string(shift->text), "LShft");
    EXPECT_EQ(shift->color, 0u);
    EXPECT_EQ(a->color, 0u);
    int black = 0;
    for (const GridLabel &l : p.labels)
      black += l.color == 0u;
    EXPECT_EQ(black, 2);
    EXPECT_EQ(p.keyCount, 2);
    EXPECT_EQ(std::string(p.countText, p.countLength), "  2 key(s) on");
  }
  // Only bit 7 counts.
  KeyState low{};
  low.bytes[0x2A] = 0x7F;
  EXPECT_EQ(planFor(LayoutUS, low, {16, 9, 23}).keyCount, 0);
}

TEST(GridPlan, EveryKeyHeldLeavesOnlyFillersUp) {
  // As the keyboard read delivers it: every byte set except the filler's.
  KeyState all;
  for (uint8_t &b : all.bytes)
    b = 0x80;
  all.bytes[kFillerCode] = 0;
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    const GridPlan p = planFor(layout, all, {16, 9, 23});
    int fillers = 0;
    for (int i = 0; i < kGridLabelCount; ++i) {
      const GridLabel &l = p.labels[i];
      const bool filler =
          std::string(l.text).find_first_not_of(' ') == std::string::npos;
      fillers += filler;
      EXPECT_EQ(l.color, filler ? 0x00BEB496u : 0u) << "label " << i;
    }
    // No key is counted twice: one per real cell.
    EXPECT_EQ(p.keyCount, kGridLabelCount - fillers);
    EXPECT_EQ(p.keyCount, layout == LayoutJP ? 108 : 103);
    EXPECT_EQ(std::string(p.countText, p.countLength),
              layout == LayoutJP ? "108 key(s) on" : "103 key(s) on");
  }
}
