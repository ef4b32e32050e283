// The key tables cell by cell, their labels as UTF-8, and the layout
// choice: the command-line tail as the whole command line yields it, the
// option, the device type.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "keymodel/board_tail.h"
#include "keymodel/key_tables.h"
#include "keymodel/label_utf8.h"
#include "keymodel/layout.h"

namespace {

// The tables as the keyboard's documentation gives them, a row to a string:
// cells split by '|', each the code in hex, one blank, then the label with
// every blank it stores.
// clang-format off
const char *const kTopRow = "01 Esc|3B F1|3C F2|3D F3|3E F4|3F F5|40 F6|41 F7|42 F8|43 F9|44 F10|57 F11|58 F12";
const char *const kNav[] = {
  "B7 SysR|46 Scrl|C5 Paus", "D2 Ins |C7 Home|C9 PgUp", "D3 Del |CF End |D1 PgDn",
  "FF |FF |FF ", "FF     |C8  \x81\xAA |FF      ", "CB   \x81\xA9|D0  \x81\xAB |CD \x81\xA8  "};
const char *const kPad[] = {
  "45 NL|B5 / |37 * |4A - ", "47 7 |48 8 |49 9 |4E + ", "4B 4 |4C 5 |4D 6 |FF   ",
  "4F 1 |50 2 |51 3 |9C En", "52 0 |FF   |53 . |FF   ", "FF   |FF   |B3 , |8D = "};
const char *const kMainJP[] = {
  "94 \x8A\xBF|02 1|03 2|04 3|05 4|06 5|07 6|08 7|09 8|0A 9|0B 0|0C -|90 ^|7D \\|0E BS",
  "0F Tab|10 Q|11 W|12 E|13 R|14 T|15 Y|16 U|17 I|18 O|19 P|91 @|1A [|FF |1C Ent",
  "3A Cap|1E A|1F S|20 D|21 F|22 G|23 H|24 J|25 K|26 L|27 ;|92 :|1B ]|FF   |FF   ",
  "2A LShft|2C Z|2D X|2E C|2F V|30 B|31 N|32 M|33 ,|34 .|35 /|2B \\|36 RShft|FF |FF ",
  "1D LCtl|38 LAlt|7B \x96\xB3|39 Space|79 \x95\xCF|70 \xB6\xC5|B8 RAlt|9D RCtl|FF  |FF |FF |FF |FF |FF |FF "};
const char *const kMainUS[] = {
  "29 `|02 1|03 2|04 3|05 4|06 5|07 6|08 7|09 8|0A 9|0B 0|0C -|0D =|2B \\|0E BS",
  "0F Tab|10 Q|11 W|12 E|13 R|14 T|15 Y|16 U|17 I|18 O|19 P|1A [|1B ]|1C Ent|FF ",
  "3A Cap|FF  |1E A|1F S|20 D|21 F|22 G|23 H|24 J|25 K|26 L|27 ;|28 '|FF  |FF  ",
  "FF |2A LShft|2C Z|2D X|2E C|2F V|30 B|31 N|32 M|33 ,|34 .|35 /|36 RShft|FF |FF ",
  "FF |1D LCtrl|38 LAlt|39  Space |B8 RAlt|9D RCtrl|FF  |FF |FF |FF |FF |FF |FF |FF |FF "};
// clang-format on

// Each stored entry against its cell: the code, and the label's 17 bytes
// NUL-filled after the text.
void expectRow(const KeyEntry *entries, size_t count, const std::string &row) {
  size_t cell = 0;
  for (size_t from = 0; from <= row.size(); ++cell) {
    const size_t to = std::min(row.find('|', from), row.size());
    ASSERT_LT(cell, count) << row;
    const std::string text = row.substr(from + 3, to - from - 3);
    char label[sizeof entries->label] = {};
    text.copy(label, sizeof label - 1);
    EXPECT_EQ(entries[cell].code, std::stoi(row.substr(from, 2), nullptr, 16))
        << "cell " << cell << " of " << row;
    EXPECT_EQ(std::memcmp(entries[cell].label, label, sizeof label), 0)
        << "cell " << cell << " of " << row;
    from = to + 1;
  }
  EXPECT_EQ(cell, count) << row;
}

} // namespace

TEST(KeyTables, EveryEntryHasItsCodeAndLabel) {
  expectRow(TopRowKeys, kTopRowCols, kTopRow);
  for (int r = 0; r < kNavRows; ++r)
    expectRow(NavKeys[r], kNavCols, kNav[r]);
  for (int r = 0; r < kPadRows; ++r)
    expectRow(NumPadKeys[r], kPadCols, kPad[r]);
  for (int r = 0; r < kMainRows; ++r) {
    expectRow(MainKeysJP[r], kMainCols, kMainJP[r]);
    expectRow(MainKeysUS[r], kMainCols, kMainUS[r]);
  }
  EXPECT_EQ(&mainBlockFor(LayoutUnset), &MainKeysUS);
  EXPECT_EQ(&mainBlockFor(LayoutUS), &MainKeysUS);
  EXPECT_EQ(&mainBlockFor(LayoutJP), &MainKeysJP);
}

// Every label the front ends draw as UTF-8 converts, blanks kept; a byte
// the tables never hold shows as "?".
TEST(KeyTables, LabelsAsUtf8) {
  char utf8[kLabelUtf8Bytes];
  for (KeyboardLayout layout : {LayoutUS, LayoutJP})
    forEachKey(layout, [&](const KeyEntry &e, const char *) {
      labelToUtf8(e.label, utf8);
      EXPECT_EQ(std::strchr(utf8, '?'), nullptr) << "code " << int(e.code);
    });
  const struct {
    const char *sjis, *utf8;
  } cases[] = {
      {"  \x81\xA9", "  ←"}, {"\x81\xA8  ", "→  "}, {" \x81\xAA ", " ↑ "},
      {"\x8A\xBF", "漢"},    {"\xB6\xC5", "ｶﾅ"},    {"\xA1\xDF", "｡ﾟ"},
      {"\x81", "?"},         {"\x82\xA0", "?"},     {" Space ", " Space "}};
  for (const auto &c : cases) {
    labelToUtf8(c.sjis, utf8);
    EXPECT_STREQ(utf8, c.utf8);
  }
}

TEST(Layout, TailOfTheWholeCommandLine) {
  const struct {
    const char *line, *tail;
  } cases[] = {
      {"KeyboardChecker.exe /en", "/en"},
      {"  \tKeyboardChecker.exe\t /jp", "/jp"},
      // C:\ツール\ in Shift-JIS: bytes above 0x7F inside an unquoted name.
      {"C:\\\x83\x63\x81\x5B\x83\x8B\\KeyboardChecker.exe /en", "/en"},
      {"\"C:\\Program Files\\KeyboardChecker.exe\" /jp", "/jp"},
      {"\"C:\\odd\"name /en", "name /en"},
      {"KeyboardChecker.exe /jp  ", "/jp  "},
      {"KeyboardChecker.exe", ""},
      {"\"C:\\unterminated /en", ""},
  };
  for (const auto &c : cases)
    EXPECT_STREQ(commandLineTail(c.line), c.tail) << c.line;
  EXPECT_EQ(commandLineTail(nullptr), nullptr);
}

TEST(Layout, OptionMustBeTheWholeTailAndDeviceTypeSubtypeDecides) {
  const struct {
    const char *tail;
    KeyboardLayout layout;
  } options[] = {
      {"/jp", LayoutJP},     {"/en", LayoutUS},     {"", LayoutUnset},
      {"/en1", LayoutUnset}, {"/jp ", LayoutUnset}, {"/JP", LayoutUnset},
      {"/En", LayoutUnset},  {"/j", LayoutUnset},   {nullptr, LayoutUnset}};
  for (const auto &o : options)
    EXPECT_EQ(layoutFromCommandLine(o.tail), o.layout)
        << (o.tail ? o.tail : "(null)");
  // A board is chosen by its option alone; a board tail is no layout.
  const struct {
    const char *tail, *board;
  } boards[] = {
      // clang-format off
      {"--board iso105", "iso105"}, {"--board  iso105", "iso105"},
      {"--board iso105 ", "iso105"}, // a .cmd line's trailing blank
      {"--board\tiso105\t ", "iso105"}, {"--board  ", ""},
      {"--board \"C:\\my board.json\"", "C:\\my board.json"},
      {"--board \"C:\\my board.json\"  ", "C:\\my board.json"},
      {"--board \"C:\\ a \"", "C:\\ a "},
      // C:\ボード\mine.json in UTF-8, as the wide command line gives it.
      {"--board C:\\\xE3\x83\x9C\xE3\x83\xBC\xE3\x83\x89\\mine.json",
       "C:\\\xE3\x83\x9C\xE3\x83\xBC\xE3\x83\x89\\mine.json"},
      // clang-format on
  };
  BoardTail board;
  for (const auto &b : boards) {
    EXPECT_TRUE(boardTailFromCommandLine(b.tail, board)) << b.tail;
    EXPECT_EQ(board.board, b.board) << b.tail;
    EXPECT_FALSE(board.boardLegends || board.station) << b.tail;
  }
  // The options after the board, in any order; words that are not those
  // options make the whole rest the board, as a path with blanks.
  const struct {
    const char *tail, *board;
    bool legends, station;
    const char *name;
  } tails[] = {
      {"--board iso105 --legends board", "iso105", true, false, ""},
      {"--board iso105 --legends keymap ", "iso105", false, false, ""},
      {"--board \"C:\\a b.json\" --station", "C:\\a b.json", false, true, ""},
      {"--board iso105 --station line-3 --legends board", "iso105", true, true,
       "line-3"},
      {"--board iso105  --station  --legends board", "iso105", true, true, ""},
      {"--board my board.json", "my board.json", false, false, ""},
      {"--board iso105 --legends", "iso105 --legends", false, false, ""},
      {"--board iso105 --legends us", "iso105 --legends us", false, false, ""},
      {"--board iso105 --station a b", "iso105 --station a b", false, false,
       ""},
  };
  for (const auto &o : tails) {
    ASSERT_TRUE(boardTailFromCommandLine(o.tail, board)) << o.tail;
    EXPECT_EQ(board.board, o.board) << o.tail;
    EXPECT_EQ(board.boardLegends, o.legends) << o.tail;
    EXPECT_EQ(board.station, o.station) << o.tail;
    EXPECT_EQ(board.stationName, o.name) << o.tail;
  }
  EXPECT_EQ(layoutFromCommandLine("--board iso105"), LayoutUnset);
  for (const char *tail :
       {"--board", "--boards", "--boardx", "/jp --board x", "--Board x",
        " --board x", "", static_cast<const char *>(nullptr)})
    EXPECT_FALSE(boardTailFromCommandLine(tail, board))
        << (tail ? tail : "null");
  for (uint32_t sub : {10u, 11u})
    EXPECT_EQ(layoutFromDeviceType(0xFFFF0003 | sub << 8), LayoutJP);
  for (uint32_t sub : {1u, 4u, 9u, 12u, 0u, 0xFFu})
    EXPECT_EQ(layoutFromDeviceType(0x00000003 | sub << 8), LayoutUS);
}
