// Every preset against the keyboard it stands for, key by key: each scan
// code at its place, with its size, the ISO and JIS Enter as their stem
// two rows high. The keyboards are written here row by row, as a person
// reads them off the real thing, not copied from the preset files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "keymodel/board.h"

namespace {

// One row, left to right from x: "1E" is a key of one unit, "1E:1.5" one
// that wide, "1E:1.25:2" that wide and two rows high, "+0.5" a gap.
struct Row {
  double y, x;
  const char *keys;
};

using Place = std::tuple<double, double, double, double>; // x, y, w, h
using Layout = std::map<int, Place>;

void place(Layout &layout, const std::vector<Row> &rows) {
  for (const Row &row : rows) {
    std::istringstream words(row.keys);
    double x = row.x;
    for (std::string word; words >> word;) {
      if (word[0] == '+') {
        x += std::atof(word.c_str() + 1);
        continue;
      }
      double w = 1, h = 1;
      const size_t colon = word.find(':');
      if (colon != std::string::npos) {
        w = std::atof(word.c_str() + colon + 1);
        const size_t second = word.find(':', colon + 1);
        if (second != std::string::npos)
          h = std::atof(word.c_str() + second + 1);
      }
      const int code =
          int(std::strtol(word.substr(0, colon).c_str(), nullptr, 16));
      EXPECT_TRUE(layout.emplace(code, Place{x, row.y, w, h}).second) << word;
      x += w;
    }
  }
}

const std::vector<Row> kFunctionAndNavigation = {
    {0, 0,
     "01 +1 3B 3C 3D 3E +0.5 3F 40 41 42 +0.5 43 44 57 58 +0.25 B7 46 C5"},
    {1.5, 15.25, "D2 C7 C9"},
    {2.5, 15.25, "D3 CF D1"},
    {4.5, 16.25, "C8"},
    {5.5, 15.25, "CB D0 CD"}};
const std::vector<Row> kKeypad = {{1.5, 18.5, "45 B5 37 4A"},
                                  {2.5, 18.5, "47 48 49 4E:1:2"},
                                  {3.5, 18.5, "4B 4C 4D"},
                                  {4.5, 18.5, "4F 50 51 9C:1:2"},
                                  {5.5, 18.5, "52:2 53"}};
// Brazil's keypad has a separator under a one-row "+".
const std::vector<Row> kAbntKeypad = {{1.5, 18.5, "45 B5 37 4A"},
                                      {2.5, 18.5, "47 48 49 4E"},
                                      {3.5, 18.5, "4B 4C 4D 7E"},
                                      {4.5, 18.5, "4F 50 51 9C:1:2"},
                                      {5.5, 18.5, "52:2 53"}};
const Row kDigits = {1.5, 0, "29 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E:2"};
const std::vector<Row> kAnsiMain = {
    kDigits,
    {2.5, 0, "0F:1.5 10 11 12 13 14 15 16 17 18 19 1A 1B 2B:1.5"},
    {3.5, 0, "3A:1.75 1E 1F 20 21 22 23 24 25 26 27 28 1C:2.25"},
    {4.5, 0, "2A:2.25 2C 2D 2E 2F 30 31 32 33 34 35 36:2.75"}};
const Row kWindowsBottom = {5.5, 0,
                            "1D:1.25 DB:1.25 38:1.25 39:6.25 B8:1.25 DC:1.25 "
                            "DD:1.25 9D:1.25"};
// The Enter of ISO and JIS keyboards, drawn as its stem.
const std::vector<Row> kIsoMain = {
    kDigits,
    {2.5, 0, "0F:1.5 10 11 12 13 14 15 16 17 18 19 1A 1B +0.25 1C:1.25:2"},
    {3.5, 0, "3A:1.75 1E 1F 20 21 22 23 24 25 26 27 28 2B"},
    {4.5, 0, "2A:1.25 56 2C 2D 2E 2F 30 31 32 33 34 35 36:2.75"}};
const std::vector<Row> kAbntMain = {
    kDigits,
    {2.5, 0, "0F:1.5 10 11 12 13 14 15 16 17 18 19 1A 1B +0.25 1C:1.25:2"},
    {3.5, 0, "3A:1.75 1E 1F 20 21 22 23 24 25 26 27 28 2B"},
    {4.5, 0, "2A:1.25 56 2C 2D 2E 2F 30 31 32 33 34 35 73 36:1.75"}};
const std::vector<Row> kJisMain = {
    {1.5, 0, "94 02 03 04 05 06 07 08 09 0A 0B 0C 90 7D 0E"},
    {2.5, 0, "0F:1.5 10 11 12 13 14 15 16 17 18 19 91 1A +0.25 1C:1.25:2"},
    {3.5, 0, "3A:1.75 1E 1F 20 21 22 23 24 25 26 27 92 1B"},
    {4.5, 0, "2A:2.25 2C 2D 2E 2F 30 31 32 33 34 35 2B 36:1.75"}};

Layout layoutOf(std::initializer_list<std::vector<Row>> blocks) {
  Layout layout;
  for (const auto &rows : blocks)
    place(layout, rows);
  return layout;
}

const std::map<std::string, Layout> &keyboards() {
  static const std::map<std::string, Layout> all = {
      {"us101",
       layoutOf({kFunctionAndNavigation,
                 kKeypad,
                 kAnsiMain,
                 {{5.5, 0, "1D:1.5 +1 38:1.5 39:7 B8:1.5 +1 9D:1.5"}}})},
      {"ansi104",
       layoutOf(
           {kFunctionAndNavigation, kKeypad, kAnsiMain, {kWindowsBottom}})},
      {"ansi87",
       layoutOf({kFunctionAndNavigation, kAnsiMain, {kWindowsBottom}})},
      {"iso105",
       layoutOf({kFunctionAndNavigation, kKeypad, kIsoMain, {kWindowsBottom}})},
      {"iso88", layoutOf({kFunctionAndNavigation, kIsoMain, {kWindowsBottom}})},
      {"abnt2",
       layoutOf(
           {kFunctionAndNavigation, kAbntKeypad, kAbntMain, {kWindowsBottom}})},
      {"ko106",
       layoutOf({kFunctionAndNavigation,
                 kKeypad,
                 kAnsiMain,
                 {{5.5, 0,
                   "1D:1.25 DB:1.25 38:1.25 71 39:4.25 72 B8:1.25 DC:1.25 "
                   "DD:1.25 9D:1.25"}}})},
      {"jp106",
       layoutOf({kFunctionAndNavigation,
                 kKeypad,
                 kJisMain,
                 {{5.5, 0,
                   "1D:1.5 38:1.5 7B:1.25 39:5.25 79:1.25 70:1.25 B8:1.5 "
                   "9D:1.5"}}})},
      {"jis109",
       layoutOf({kFunctionAndNavigation,
                 kKeypad,
                 kJisMain,
                 {{5.5, 0,
                   "1D:1.25 DB:1.25 38:1.25 7B:1.25 39:2.5 79:1.25 70:1.25 "
                   "B8:1.25 DC:1.25 DD:1.25 9D:1.25"}}})},
      // Tenkeyless JIS boards keep one Windows key, the left.
      {"jis91",
       layoutOf({kFunctionAndNavigation,
                 kJisMain,
                 {{5.5, 0,
                   "1D:1.25 DB:1.25 38:1.25 7B:1.25 39:3.75 79:1.25 70:1.25 "
                   "B8:1.25 DD:1.25 9D:1.25"}}})}};
  return all;
}

} // namespace

TEST(Presets, EveryKeyAtItsPlaceOnTheRealKeyboard) {
  ASSERT_EQ(keyboards().size(), size_t(boardPresetCount()));
  for (int i = 0; i < boardPresetCount(); ++i) {
    const std::string name = boardPresetName(i);
    SCOPED_TRACE(name);
    Board board;
    ASSERT_TRUE(loadPresetBoard(name.c_str(), board));
    const Layout &real = keyboards().at(name);
    EXPECT_EQ(board.keys.size(), real.size());
    for (const BoardKey &key : board.keys) {
      const auto found = real.find(key.code);
      if (found == real.end()) {
        ADD_FAILURE() << key.label << " has a code the keyboard lacks";
        continue;
      }
      EXPECT_EQ(Place(key.x, key.y, key.w, key.h), found->second)
          << key.label << " (0x" << std::hex << int(key.code) << ")";
    }
  }
}
