// The tables are the vocabulary of both the log and the grid: a wrong
// byte in a label shows up on screen and in every log line for that key.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "keymodel/key_tables.h"

namespace {

std::vector<const KeyEntry *> entriesOf(KeyboardLayout layout) {
  std::vector<const KeyEntry *> all;
  for (const KeyEntry &e : TopRowKeys)
    all.push_back(&e);
  for (const auto &row : mainBlockFor(layout))
    for (const KeyEntry &e : row)
      all.push_back(&e);
  for (const auto &row : NavKeys)
    for (const KeyEntry &e : row)
      all.push_back(&e);
  for (const auto &row : NumPadKeys)
    for (const KeyEntry &e : row)
      all.push_back(&e);
  return all;
}

std::string label(const KeyEntry &e) { return std::string(e.label); }

} // namespace

TEST(KeyTables, NonAsciiLabelsAreShiftJisBytes) {
  EXPECT_EQ(label(MainKeysJP[0][0]), "\x8A\xBF"); // 漢
  EXPECT_EQ(label(MainKeysJP[4][2]), "\x96\xB3"); // 無
  EXPECT_EQ(label(MainKeysJP[4][4]), "\x95\xCF"); // 変
  EXPECT_EQ(label(MainKeysJP[4][5]), "\xB6\xC5"); // ｶﾅ
  EXPECT_EQ(label(NavKeys[4][1]), " \x81\xAA ");  // ↑
  EXPECT_EQ(label(NavKeys[5][0]), "  \x81\xA9");  // ←
  EXPECT_EQ(label(NavKeys[5][1]), " \x81\xAB ");  // ↓
  EXPECT_EQ(label(NavKeys[5][2]), "\x81\xA8  ");  // →
  EXPECT_EQ(MainKeysJP[0][0].code, 0x94);
  EXPECT_EQ(MainKeysJP[4][5].code, 0x70);
  EXPECT_EQ(NavKeys[5][2].code, 0xCD);
}

TEST(KeyTables, BlankLabelsKeepTheirWidths) {
  EXPECT_EQ(label(NavKeys[4][0]), "    ");
  EXPECT_EQ(label(NavKeys[4][2]), "     ");
  EXPECT_EQ(label(NavKeys[1][0]), "Ins ");
  EXPECT_EQ(label(NavKeys[2][2]), "PgDn");
  EXPECT_EQ(label(NumPadKeys[2][3]), "  ");
  EXPECT_EQ(label(NumPadKeys[5][0]), "  ");
  EXPECT_EQ(label(NumPadKeys[3][3]), "En");
  EXPECT_EQ(label(MainKeysJP[2][13]), "  ");
  EXPECT_EQ(label(MainKeysJP[4][8]), " ");
  EXPECT_EQ(label(MainKeysUS[2][1]), " ");
  EXPECT_EQ(label(MainKeysUS[4][3]), " Space ");
  EXPECT_EQ(label(MainKeysUS[4][1]), "LCtrl");
  EXPECT_EQ(label(MainKeysJP[4][0]), "LCtl");
  EXPECT_EQ(label(MainKeysUS[0][0]), "`");
  EXPECT_EQ(label(MainKeysUS[0][13]), "\\");
  EXPECT_EQ(MainKeysJP[3][11].code, 0x2B);
  EXPECT_EQ(MainKeysUS[0][13].code, 0x2B);
}

TEST(KeyTables, FillersAreExactlyTheBlankOrEmptyCells) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    int fillers = 0;
    for (const KeyEntry *e : entriesOf(layout)) {
      const std::string text = label(*e);
      const bool blank = text.find_first_not_of(' ') == std::string::npos;
      EXPECT_EQ(blank, e->code == kFillerCode) << "label '" << text << "'";
      fillers += e->code == kFillerCode;
    }
    EXPECT_EQ(fillers, layout == LayoutJP ? 22 : 27);
  }
}

TEST(KeyTables, NoScanCodeTwiceWithinALayout) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    std::set<int> seen;
    int keys = 0;
    for (const KeyEntry *e : entriesOf(layout)) {
      if (e->code == kFillerCode)
        continue;
      ++keys;
      EXPECT_TRUE(seen.insert(e->code).second)
          << "code 0x" << std::hex << int(e->code) << " twice";
    }
    EXPECT_EQ(keys, layout == LayoutJP ? 108 : 103);
  }
}

TEST(KeyTables, LabelsFitTheirFieldNulFilled) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    for (const KeyEntry *e : entriesOf(layout)) {
      const size_t length = strnlen(e->label, sizeof e->label);
      ASSERT_LE(length, 16u);
      for (size_t i = length; i < sizeof e->label; ++i)
        EXPECT_EQ(e->label[i], '\0') << label(*e);
    }
  }
}

TEST(KeyTables, OnlyJapaneseSelectsTheJapaneseBlock) {
  EXPECT_EQ(&mainBlockFor(LayoutJP), &MainKeysJP);
  EXPECT_EQ(&mainBlockFor(LayoutUS), &MainKeysUS);
  EXPECT_EQ(&mainBlockFor(LayoutUnset), &MainKeysUS);
  EXPECT_EQ(&mainBlockFor(static_cast<KeyboardLayout>(11)), &MainKeysUS);
}
