// The presets against the keyboards they stand for and against the key
// tables; their fingerprints; keys off a board; and the rules of a test
// (tested, held, chatter) that both front ends share.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

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

// A log records its board's fingerprint, and logs outlive versions: a
// preset's fingerprint may never change (a changed preset is a new name).
// Any change to a key changes it; the name and title do not.
TEST(Board, FingerprintsArePinnedAndFollowEveryKey) {
  const std::map<std::string, std::string> kPinned = {
      {"us101", "b7ccdca0997ec90d"},   {"jp106", "d1c497e079643d9a"},
      {"ansi104", "001765cc8b961af4"}, {"ansi87", "c808a53d38b63888"},
      {"iso105", "33bca6577cd9bec2"},  {"iso88", "e87885667743b9ca"},
      {"jis109", "32e8b723a6cadcf6"},  {"jis91", "70ad3adb941a7060"},
      {"abnt2", "60c181c8ac28d965"},   {"ko106", "b4f6226a2274223d"}};
  for (const auto &pinned : kPinned) {
    Board board;
    ASSERT_TRUE(loadPresetBoard(pinned.first.c_str(), board));
    EXPECT_EQ(boardFingerprint(board), pinned.second) << pinned.first;
  }
  Board board;
  ASSERT_TRUE(loadPresetBoard("ansi87", board));
  const std::string original = boardFingerprint(board);
  board.name = "mine";
  board.title = "Mine";
  EXPECT_EQ(boardFingerprint(board), original);
  const auto changed = [&](void (*edit)(BoardKey &)) {
    Board copy = board;
    edit(copy.keys[40]);
    return boardFingerprint(copy) != original;
  };
  EXPECT_TRUE(changed([](BoardKey &k) { k.code ^= 1; }));
  EXPECT_TRUE(changed([](BoardKey &k) { k.label += "x"; }));
  EXPECT_TRUE(changed([](BoardKey &k) { k.x += 0.25; }));
  EXPECT_TRUE(changed([](BoardKey &k) { k.y += 0.25; }));
  EXPECT_TRUE(changed([](BoardKey &k) { k.w += 0.25; }));
  EXPECT_TRUE(changed([](BoardKey &k) { k.h += 0.25; }));
  Board fewer = board;
  fewer.keys.pop_back();
  EXPECT_NE(boardFingerprint(fewer), original);
}

// Keys off the board are named as the first preset names them, else by a
// small table, else by their code; a name the board uses for another key
// is never borrowed. The report's suggestion is the first preset with it.
TEST(Board, KeysOffTheBoardHaveNamesOfTheirOwn) {
  Board ansi;
  ASSERT_TRUE(loadPresetBoard("ansi104", ansi));
  Board us;
  ASSERT_TRUE(loadPresetBoard("us101", us));
  EXPECT_EQ(offBoardLabel(ansi, 0x56), "<>");
  EXPECT_EQ(offBoardLabel(us, 0xDB), "LWin");
  EXPECT_EQ(offBoardLabel(us, 0x7D), "Yen");
  EXPECT_EQ(offBoardLabel(us, 0x73), "/?");
  EXPECT_EQ(offBoardLabel(us, 0x72), "Hangul");
  EXPECT_EQ(offBoardLabel(us, 0xA0), "Mute");
  EXPECT_EQ(offBoardLabel(us, 0x5A), "0x5A");
  Board taken = us;
  taken.keys[0].label = "<>";
  EXPECT_EQ(offBoardLabel(taken, 0x56), "0x56");
  EXPECT_STREQ(presetWithLabel("<>"), "iso105");
  EXPECT_STREQ(presetWithLabel("Hangul"), "ko106");
  EXPECT_STREQ(presetWithLabel("LWin"), "ansi104");
  EXPECT_EQ(presetWithLabel("0x5A"), nullptr);
}

// Tested, held and left split the board's keys; keys off the board are
// counted apart, once each however often they go down.
TEST(BoardProgress, CountsAddUpAndKeysOffTheBoardStandApart) {
  Board board;
  ASSERT_TRUE(loadPresetBoard("ansi87", board));
  BoardProgress progress;
  startBoardProgress(progress, board, 30);
  applyTransition(progress, 0, true, 0);
  applyTransition(progress, 0, false, 50);
  applyTransition(progress, 1, true, 100);
  applyTransition(progress, 1, false, 150);
  applyTransition(progress, 1, true, 400); // tested, and held again
  BoardCounts counts = countBoard(progress);
  EXPECT_EQ(counts.tested, 1);
  EXPECT_EQ(counts.held, 1);
  EXPECT_EQ(counts.left, 85);
  EXPECT_TRUE(applyOffBoardTransition(progress, 0x56, true));
  EXPECT_FALSE(applyOffBoardTransition(progress, 0x56, true)); // a repeat
  EXPECT_TRUE(applyOffBoardTransition(progress, 0x56, false));
  EXPECT_FALSE(applyOffBoardTransition(progress, 0x56, false));
  EXPECT_TRUE(applyOffBoardTransition(progress, 0x56, true));
  EXPECT_TRUE(applyOffBoardTransition(progress, 0xDB, true));
  EXPECT_EQ(progress.offBoard, 2);
  EXPECT_EQ(progress.lastOffBoard, 0xDB);
  counts = countBoard(progress);
  EXPECT_EQ(counts.tested + counts.held + counts.left, 87);
  Verdict verdict;
  judgeBoard(progress, verdict);
  EXPECT_EQ(verdict.untested.size(), 85u); // keys off the board judge nothing
}
