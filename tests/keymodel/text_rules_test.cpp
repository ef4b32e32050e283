// The rules for text from files people write, at every edge of their
// ranges: what counts as a control character, what draws nothing, how a
// message quotes it; and the board file reader's size limit both ways.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "keymodel/board.h"
#include "keymodel/board_file.h"
#include "keymodel/text_rules.h"

namespace {

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
  return out;
}

} // namespace

TEST(TextRules, ControlsAtTheEdgesOfTheirRanges) {
  for (char32_t c : {0x00, 0x09, 0x1B, 0x1F, 0x7F, 0x80, 0x85, 0x9B, 0x9F})
    EXPECT_TRUE(hasControlCharacters("a" + utf8(c) + "b")) << int(c);
  for (char32_t c : {0x20, 0x7E, 0xA0, 0xC0, 0x100, 0x3000, 0x1F600})
    EXPECT_FALSE(hasControlCharacters("a" + utf8(c) + "b")) << int(c);
  EXPECT_EQ(displayText(std::string("a\x1b]2;X\x07"
                                    "b",
                                    8)),
            "a\\x1B]2;X\\x07b");
  EXPECT_EQ(displayText("\x7F" + utf8(0x9B) + utf8(0xA0)),
            "\\x7F\\xC2\\x9B" + utf8(0xA0));
  EXPECT_EQ(displayText(std::string(1, '\0')), "\\x00");
  EXPECT_EQ(displayText(utf8(0x6F22) + " ok"), utf8(0x6F22) + " ok");
}

// UTF-8 at the edges of each lead byte's range: overlong forms,
// surrogates, past U+10FFFF, cut short or with a stray byte.
TEST(TextRules, Utf8AtEveryEdge) {
  for (char32_t c : {0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFF, 0x10000,
                     0x3FFFF, 0x40000, 0xFFFFF, 0x100000, 0x10FFFF})
    EXPECT_TRUE(isUtf8("a" + utf8(c) + "b")) << std::hex << int(c);
  const char *bad[] = {
      "\xC0\x80",         "\xC1\xBF",         "\xE0\x9F\xBF",
      "\xED\xA0\x80",     "\xED\xBF\xBF",     "\xF0\x8F\xBF\xBF",
      "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xC2",
      "\xE2\x82",         "\xE2\x28\xA1",     "\x80",
      "\xF0\x90\x80\xC0"};
  for (const char *text : bad)
    EXPECT_FALSE(isUtf8(std::string("a") + text)) << displayText(text);
}

// Every range of characters that draw nothing, at both ends and one past.
TEST(TextRules, WhatDrawsNothingAtEveryEdge) {
  const char32_t blank[] = {0x20,   0xA0,   0xAD,   0x34F,  0x115F,
                            0x1160, 0x1680, 0x180E, 0x2000, 0x200F,
                            0x2028, 0x202F, 0x205F, 0x206F, 0x2800,
                            0x3000, 0x3164, 0xFEFF, 0xFFA0};
  for (char32_t c : blank)
    EXPECT_TRUE(looksBlank(utf8(c) + utf8(c))) << std::hex << int(c);
  const char32_t seen[] = {0x21,   0xA1,   0xAE,   0x34E,  0x1161,
                           0x1681, 0x180F, 0x1FFF, 0x2010, 0x2027,
                           0x2030, 0x205E, 0x2070, 0x2801, 0x3001,
                           0x3165, 0xFEFE, 0xFFA1, 0x1F600};
  for (char32_t c : seen)
    EXPECT_FALSE(looksBlank(utf8(0x3000) + utf8(c))) << std::hex << int(c);
  EXPECT_FALSE(looksBlank("A"));
}

// A board file of exactly 1 MiB is read; one byte more is not.
TEST(BoardFile, SizeLimitBothWays) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "BoardFileSize";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string board =
      R"({"name": "t", "title": "T", "keys": [{"code": 1, "label": "A", "x": 0, "y": 0}]})";
  for (long size : {kMaxBoardFileBytes, kMaxBoardFileBytes + 1}) {
    const fs::path path = dir / ("b" + std::to_string(size) + ".json");
    std::ofstream(path, std::ios::binary)
        << board << std::string(size_t(size) - board.size(), ' ');
    ASSERT_EQ(long(fs::file_size(path)), size);
    // The text is the file's alone, whatever the string held before.
    std::string text = "left over", error;
    EXPECT_EQ(readBoardFile(path.string().c_str(), text, error),
              size == kMaxBoardFileBytes);
    if (size == kMaxBoardFileBytes) {
      EXPECT_EQ(text.size(), size_t(size));
      EXPECT_EQ(text.compare(0, board.size(), board), 0);
    }
    Board loaded;
    const bool taken = loadBoard(path.string().c_str(), loaded, error);
    EXPECT_EQ(taken, size == kMaxBoardFileBytes) << error;
    if (!taken) {
      EXPECT_EQ(error, path.string() + ": larger than 1 MiB, not a board");
    }
  }
  fs::remove_all(dir);
}
