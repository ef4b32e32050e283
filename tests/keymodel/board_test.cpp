// The presets against the keyboards they stand for and against the key
// tables; every way a board file can be wrong, with its message; and the
// rules of a test (tested, held, chatter) that both front ends share.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "keymodel/board.h"
#include "keymodel/board_progress.h"
#include "keymodel/key_tables.h"
#include "keymodel/label_utf8.h"

namespace {

// Keys on the real keyboards, counted from their pictures: full size is
// the tenkeyless block plus a 17-key pad (18 on ABNT2); Windows keys and
// Menu make 101 into 104, the key left of Z makes 105, Hangul and Hanja
// make 106; JIS tenkeyless boards keep one Windows key.
const std::map<std::string, size_t> kRealCounts = {
    {"us101", 101},  {"jp106", 106}, {"ansi104", 104}, {"ansi87", 87},
    {"iso105", 105}, {"iso88", 88},  {"jis109", 109},  {"jis91", 91},
    {"abnt2", 107},  {"ko106", 106}};

bool overlaps(const BoardKey &a, const BoardKey &b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h &&
         b.y < a.y + a.h;
}

} // namespace

TEST(Board, PresetsAreTheRealKeyboards) {
  ASSERT_EQ(boardPresetCount(), static_cast<int>(kRealCounts.size()));
  for (int i = 0; i < boardPresetCount(); ++i) {
    const std::string name = boardPresetName(i);
    SCOPED_TRACE(name);
    Board board;
    ASSERT_TRUE(loadPresetBoard(name.c_str(), board));
    EXPECT_EQ(board.name, name);
    EXPECT_EQ(board.keys.size(), kRealCounts.at(name));
    std::set<int> codes;
    std::set<std::string> labels;
    for (size_t k = 0; k < board.keys.size(); ++k) {
      const BoardKey &key = board.keys[k];
      EXPECT_TRUE(codes.insert(key.code).second) << key.label;
      EXPECT_TRUE(labels.insert(key.label).second) << key.label;
      EXPECT_EQ(board.keyOfCode[key.code], static_cast<int>(k));
      for (size_t j = 0; j < k; ++j)
        EXPECT_FALSE(overlaps(key, board.keys[j]))
            << key.label << " " << board.keys[j].label;
    }
    // Every row of a main block is 15 units wide.
    EXPECT_EQ(board.height, 6.5);
    EXPECT_EQ(board.width, board.keyOfCode[0x45] >= 0 ? 22.5 : 18.25);
  }
  Board board;
  EXPECT_FALSE(loadPresetBoard("us102", board));
}

// us101 and jp106 are the tables' keys, labels trimmed and in UTF-8, the
// keypad's named as the log names them, without keypad = and ,; the two
// Japanese keys both labelled "\" are told apart.
TEST(Board, ClassicPresetsHoldTheTablesKeys) {
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    std::set<std::pair<int, std::string>> tables, preset;
    forEachKey(layout, [&](const KeyEntry &entry, const char *prefix) {
      if (entry.code == kFillerCode || entry.code == 0x8D || entry.code == 0xB3)
        return;
      char utf8[kLabelUtf8Bytes];
      labelToUtf8(entry.label, utf8);
      std::string label = utf8;
      label = label.substr(label.find_first_not_of(' '));
      label = prefix + label.substr(0, label.find_last_not_of(' ') + 1);
      if (layout == LayoutJP && label == "\\")
        label = entry.code == 0x7D ? "Yen" : "Ro";
      tables.insert({entry.code, label});
    });
    Board board;
    ASSERT_TRUE(loadPresetBoard(layout == LayoutJP ? "jp106" : "us101", board));
    for (const BoardKey &key : board.keys)
      preset.insert({key.code, key.label});
    EXPECT_EQ(preset, tables);
  }
}

TEST(Board, BadFilesSayWhereAndWhat) {
  const std::string key = R"({"code": "0x1E", "label": "A", "x": 0, "y": 0})";
  const auto file = [](const std::string &keys) {
    return R"({"name": "mine", "title": "Mine", "keys": [)" + keys + "]}";
  };
  const std::pair<std::string, const char *> kCases[] = {
      {"{\"name\": \"mine\",\n \"title\" \"Mine\"}",
       "b.json: line 2, column 15: not JSON (syntax error while parsing object "
       "separator - unexpected string literal; expected ':')"},
      {"[1]", "b.json: top level: not an object"},
      {R"({"name": "mine", "title": "Mine"})",
       "b.json: top level: missing field \"keys\""},
      {R"({"name": "mine", "title": "Mine", "keys": [], "colour": 1})",
       "b.json: top level: unknown field \"colour\""},
      {R"({"name": "My board", "title": "Mine", "keys": [1]})",
       "b.json: name: only a-z, 0-9, - and _ may be used"},
      {file(R"({"code": 30, "label": "A", "x": 0})"),
       "b.json: keys[0]: missing field \"y\""},
      {file(R"({"code": "0x1E", "label": "A", "x": 0, "y": 0, "z": 1})"),
       "b.json: keys[0]: unknown field \"z\""},
      {file(R"({"code": "0xFF", "label": "A", "x": 0, "y": 0})"),
       "b.json: keys[0].code: not a scan code from 0x01 to 0xFE (a number or "
       "\"0xNN\")"},
      {file(key + "," + R"({"code": 30, "label": "B", "x": 1, "y": 0})"),
       "b.json: keys[1] \"B\": scan code 0x1E is also keys[0] \"A\""},
      {file(key + "," + R"({"code": 31, "label": "A", "x": 1, "y": 0})"),
       "b.json: keys[1] \"A\": label is also keys[0]'s"},
      {file(key + "," + R"({"code": 31, "label": "S", "x": 0.5, "y": 0.75})"),
       "b.json: keys[1] \"S\": overlaps keys[0] \"A\""},
      {file(R"({"code": 30, "label": "", "x": 0, "y": 0})"),
       "b.json: keys[0].label: empty"},
      {file(
           R"({"code": 30, "label": "ABCDEFGHIJKLMNOPQRSTUVWXY", "x": 0, "y": 0})"),
       "b.json: keys[0].label: longer than 24 bytes"},
      {file(R"({"code": 30, "label": "A\tB", "x": 0, "y": 0})"),
       "b.json: keys[0].label: has control characters"},
      {file(R"({"code": 30, "label": "Shift down", "x": 0, "y": 0})"),
       "b.json: keys[0].label: ends in \" down\" or \" up\""},
      {file(R"({"code": 30, "label": "A", "x": 0, "y": 0, "w": 0})"),
       "b.json: keys[0].w: not above 0 or too large"},
  };
  for (const auto &c : kCases) {
    Board board;
    std::string error;
    EXPECT_FALSE(parseBoard(c.first, "b.json", board, error)) << c.second;
    EXPECT_EQ(error, c.second);
  }
  Board board;
  std::string error;
  ASSERT_TRUE(parseBoard(file(key), "b.json", board, error)) << error;
  EXPECT_EQ(board.keys[0].w, 1);
  EXPECT_EQ(board.keyOfCode[0x1E], 0);
}

TEST(BoardProgress, TestedHeldChatterAndTheVerdict) {
  Board board;
  ASSERT_TRUE(loadPresetBoard("ansi87", board));
  BoardProgress progress;
  startBoardProgress(progress, board, 30);
  Verdict verdict;
  for (int key = 0; key < 87; ++key) {
    applyTransition(progress, key, true, key * 100.0);
    applyTransition(progress, key, false, key * 100.0 + 50);
  }
  judgeBoard(progress, verdict);
  EXPECT_TRUE(verdict.pass);
  EXPECT_EQ(progress.tested, 87);
  // Down again 29 ms after its up is chatter, 30 ms is a person.
  applyTransition(progress, 3, true, 3 * 100.0 + 50 + 29);
  applyTransition(progress, 3, false, 400);
  applyTransition(progress, 4, true, 4 * 100.0 + 50 + 30);
  applyTransition(progress, 5, true, kNoTime); // and stays down
  applyTransition(progress, 5, true, kNoTime);
  judgeBoard(progress, verdict);
  EXPECT_FALSE(verdict.pass);
  EXPECT_EQ(verdict.chattered, std::vector<int>{3});
  EXPECT_EQ(verdict.held, (std::vector<int>{4, 5}));
  EXPECT_TRUE(verdict.untested.empty());
  EXPECT_EQ(progress.keys[5].presses, 3u);
  EXPECT_EQ(progress.keys[3].shortestGapMs, 29);
  // Without times there is no chatter; a key only held is held, not untested.
  startBoardProgress(progress, board, 30);
  applyTransition(progress, 0, true, kNoTime);
  applyTransition(progress, 0, false, kNoTime);
  applyTransition(progress, 0, true, kNoTime);
  applyTransition(progress, 0, false, kNoTime);
  applyTransition(progress, 1, true, kNoTime);
  judgeBoard(progress, verdict);
  EXPECT_TRUE(verdict.chattered.empty());
  EXPECT_EQ(verdict.held, std::vector<int>{1});
  EXPECT_EQ(verdict.untested.size(), 85u);
  EXPECT_EQ(verdict.untested.front(), 2);
}
