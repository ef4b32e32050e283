// The key tables' invariants and the layout choice: the command-line tail
// as the whole command line yields it, the option, the device type.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "keymodel/key_tables.h"
#include "keymodel/label_utf8.h"
#include "keymodel/layout.h"

namespace {

std::vector<KeyEntry> entriesOf(KeyboardLayout layout) {
  std::vector<KeyEntry> all;
  forEachKey(layout,
             [&](const KeyEntry &e, const char *) { all.push_back(e); });
  return all;
}

} // namespace

TEST(KeyTables, EachLayoutNamesEveryKeyOnceAndFillersAreBlank) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    std::set<uint8_t> codes;
    int keys = 0;
    for (const KeyEntry &e : entriesOf(layout)) {
      const std::string label(e.label, strnlen(e.label, sizeof e.label));
      ASSERT_LT(label.size(), sizeof e.label) << "no room for the NUL";
      const bool blank = label.find_first_not_of(' ') == std::string::npos;
      EXPECT_EQ(e.code == kFillerCode, blank) << "code " << int(e.code);
      if (e.code == kFillerCode)
        continue;
      ++keys;
      EXPECT_TRUE(codes.insert(e.code).second) << "twice: " << int(e.code);
    }
    EXPECT_EQ(keys, layout == LayoutJP ? 108 : 103);
  }
  EXPECT_EQ(&mainBlockFor(LayoutUnset), &MainKeysUS);
}

// Every label the front ends draw as UTF-8 converts, blanks kept; a byte
// the tables never hold shows as "?".
TEST(KeyTables, LabelsAsUtf8) {
  char utf8[kLabelUtf8Bytes];
  for (KeyboardLayout layout : {LayoutUS, LayoutJP})
    for (const KeyEntry &e : entriesOf(layout)) {
      labelToUtf8(e.label, utf8);
      EXPECT_EQ(std::strchr(utf8, '?'), nullptr) << "code " << int(e.code);
    }
  const struct {
    const char *sjis, *utf8;
  } cases[] = {{"  \x81\xA9", "  ←"}, {"\x81\xA8  ", "→  "},
               {" \x81\xAA ", " ↑ "}, {"\x8A\xBF", "漢"},
               {"\xB6\xC5", "ｶﾅ"},    {"\x81", "?"},
               {"\x82\xA0", "?"},     {" Space ", " Space "}};
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
  std::string board;
  EXPECT_TRUE(boardFromCommandLine("--board iso105", board));
  EXPECT_EQ(board, "iso105");
  EXPECT_TRUE(boardFromCommandLine("--board \"C:\\my board.json\"", board));
  EXPECT_EQ(board, "C:\\my board.json");
  EXPECT_EQ(layoutFromCommandLine("--board iso105"), LayoutUnset);
  for (const char *tail :
       {"--board", "--boards", "/jp --board x", "--Board x", " --board x", "",
        static_cast<const char *>(nullptr)})
    EXPECT_FALSE(boardFromCommandLine(tail, board)) << (tail ? tail : "null");
  for (uint32_t sub : {10u, 11u})
    EXPECT_EQ(layoutFromDeviceType(0xFFFF0003 | sub << 8), LayoutJP);
  for (uint32_t sub : {1u, 4u, 9u, 12u, 0u, 0xFFu})
    EXPECT_EQ(layoutFromDeviceType(0x00000003 | sub << 8), LayoutUS);
}
