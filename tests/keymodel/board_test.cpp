// The presets against the keyboards they stand for and against the key
// tables; every way a board file can be wrong, with its message; and the
// rules of a test (tested, held, chatter) that both front ends share.
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

namespace {

// A board file of one line per key, the keys given as their JSON.
std::string boardFile(const std::vector<std::string> &keys,
                      const std::string &top = "") {
  std::string text =
      "{\"name\": \"mine\", \"title\": \"Mine\"," + top + "\n\"keys\": [";
  for (size_t i = 0; i < keys.size(); ++i)
    text += (i ? ",\n" : "\n") + keys[i];
  return text + "\n]}";
}

std::string oneKey(const std::string &fields) {
  return boardFile({"{" + fields + "}"});
}

std::string repeated(char c, size_t n) { return std::string(n, c); }

} // namespace

// Every rule a board file has, each at its limit both ways where it has
// one: "" is a file that must be taken, anything else the one-line
// message it must get.
TEST(Board, EveryRuleAtItsLimitBothWays) {
  const std::string a = R"("code": 30, "label": "A", "x": 0, "y": 0)";
  const std::string keyA = "{" + a + "}";
  const auto withA = [&](const std::string &more) {
    return oneKey(a + ", " + more);
  };
  const auto keyWith = [](const std::string &code, const std::string &label,
                          const std::string &place) {
    return oneKey(R"("code": )" + code + R"(, "label": )" + label + ", " +
                  place);
  };
  const std::string at = R"("x": 0, "y": 0)";
  std::vector<std::string> many;
  for (int i = 1; i <= 254; ++i)
    many.push_back("{\"code\": " + std::to_string(i) + ", \"label\": \"k" +
                   std::to_string(i) + "\", \"x\": " + std::to_string(i % 40) +
                   ", \"y\": " + std::to_string(i / 40) + "}");
  std::vector<std::string> tooMany = many;
  tooMany.push_back(keyA);
  const std::pair<std::string, std::string> kCases[] = {
      // Syntax: where, and a hint for the usual slips.
      {"{\"name\": \"mine\"\n \"title\": \"Mine\"}",
       "b.json: line 2, column 8: not JSON: a comma is missing before this"},
      {boardFile({keyA + ","}),
       "b.json: line 4, column 1: not JSON: a comma after the last item: "
       "remove it"},
      {"{'name': 'mine'}", "b.json: line 1, column 2: not JSON: JSON takes "
                           "double quotes (\"), not single ones"},
      {oneKey(R"("code": 0x1E, "label": "A", "x": 0, "y": 0)"),
       "b.json: line 3, column 11: not JSON: a scan code in hexadecimal is "
       "written as a string: \"0x1E\""},
      {"{\"name\": \"mi", "b.json: line 1, column 13: not JSON (syntax "
                          "error while parsing value - invalid string: missing "
                          "closing quote; last read: '\"mi')"},
      {withA(R"("w": 1e999)"),
       "b.json: line 3, column 49: 1e999 is too large a number"},
      {withA(R"("x": 1)"), "b.json: line 3: field \"x\" given twice"},
      {boardFile({keyA}, R"( "keys": [],)"),
       "b.json: line 2: field \"keys\" given twice"},
      // The top level.
      {"[1]", "b.json: top level: not an object"},
      {R"({"name": "mine", "title": "Mine"})",
       "b.json: top level: missing field \"keys\""},
      {boardFile({keyA}, R"( "\u001b]2;X\u0007": 1,)"),
       "b.json: top level: unknown field \"\\x1B]2;X\\x07\""},
      {R"({"name": "My board", "title": "Mine", "keys": [1]})",
       "b.json: name: only a-z, 0-9, - and _ may be used"},
      {"{\"name\": \"" + repeated('n', 32) + R"(", "title": "T", "keys": [)" +
           keyA + "]}",
       ""},
      {"{\"name\": \"" + repeated('n', 33) + R"(", "title": "T", "keys": [)" +
           keyA + "]}",
       "b.json: top level: name: longer than 32 bytes"},
      {"{\"name\": \"n\", \"title\": \"" + repeated('t', 64) +
           R"(", "keys": [)" + keyA + "]}",
       ""},
      {"{\"name\": \"n\", \"title\": \"" + repeated('t', 65) +
           R"(", "keys": [)" + keyA + "]}",
       "b.json: top level: title: longer than 64 bytes"},
      {R"({"name": "n", "title": "T\u0085", "keys": [1]})",
       "b.json: top level: title: has control characters"},
      {R"({"name": "n", "title": "\u3000", "keys": [1]})",
       "b.json: top level: title: shows nothing"},
      {boardFile({}), "b.json: keys: not a list of 1 to 254 keys"},
      {boardFile(many), ""},
      {boardFile(tooMany), "b.json: keys: not a list of 1 to 254 keys"},
      // A key's fields.
      {oneKey(R"("code": 30, "label": "A", "x": 0)"),
       "b.json: keys[0] \"A\" (line 3): missing field \"y\""},
      {withA(R"("z": 1)"),
       "b.json: keys[0] \"A\" (line 3): unknown field \"z\""},
      {boardFile({"[1]"}), "b.json: keys[0] (line 3): not an object"},
      {keyWith("1", R"("A")", at), ""},
      {keyWith("254", R"("A")", at), ""},
      {keyWith(R"("0xFE")", R"("A")", at), ""},
      {keyWith(R"("0x5")", R"("A")", at), ""},
      {keyWith(R"("0X1e")", R"("A")", at), ""},
      {keyWith("0", R"("A")", at), "b.json: keys[0] \"A\" (line 3): code: not "
                                   "a scan code from 0x01 to 0xFE (a number "
                                   "or \"0xNN\")"},
      {keyWith("255", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0xFF")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("4294967326", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("-1", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("30.0", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x+5")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x 5")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x123")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      // Labels.
      {keyWith("30", "\"" + repeated('L', 24) + "\"", at), ""},
      {keyWith("30", "\"" + repeated('L', 25) + "\"", at),
       "b.json: keys[0] (line 3): label: longer than 24 bytes"},
      {keyWith("30", R"("")", at), "b.json: keys[0] (line 3): label: empty"},
      {keyWith("30", R"("A\tB")", at),
       "b.json: keys[0] \"A\\x09B\" (line 3): label: has control characters"},
      {keyWith("30", R"("A\u009bB")", at),
       "b.json: keys[0] \"A\\xC2\\x9BB\" (line 3): label: has control "
       "characters"},
      {keyWith("30", R"("\u3000")", at),
       "b.json: keys[0] \"\u3000\" (line 3): label: shows nothing"},
      {keyWith("30", R"("\u200b\ufeff")", at),
       "b.json: keys[0] \"\u200b\ufeff\" (line 3): label: shows nothing"},
      {keyWith("30", R"(" A")", at),
       "b.json: keys[0] \" A\" (line 3): label: begins or ends with a blank"},
      {keyWith("30", R"("Shift down")", at),
       "b.json: keys[0] \"Shift down\" (line 3): label: ends in \" down\" or "
       "\" up\""},
      {keyWith("30", R"("0x1F")", at),
       "b.json: keys[0] \"0x1F\" (line 3): label: \"0xNN\" names keys off "
       "the board"},
      {keyWith("30", R"("0xG1")", at), ""},
      // Places and sizes.
      {withA(R"("w": 0.25, "h": 0.25)"), ""},
      {withA(R"("w": 0.2499)"),
       "b.json: keys[0] \"A\" (line 3): w: below 0.25"},
      {withA(R"("h": 1e-300)"),
       "b.json: keys[0] \"A\" (line 3): h: below 0.25"},
      {keyWith("30", R"("A")", R"("x": -0.001, "y": 0)"),
       "b.json: keys[0] \"A\" (line 3): x: negative"},
      {keyWith("30", R"("A")", R"("x": 0, "y": -1)"),
       "b.json: keys[0] \"A\" (line 3): y: negative"},
      {keyWith("30", R"("A")", R"("x": 38, "y": 19, "w": 2)"), ""},
      {keyWith("30", R"("A")", R"("x": 38.001, "y": 0, "w": 2)"),
       "b.json: keys[0] \"A\" (line 3): x + w: beyond 40 units"},
      {keyWith("30", R"("A")", R"("x": 0, "y": 19.5, "h": 0.5)"), ""},
      {keyWith("30", R"("A")", R"("x": 0, "y": 19.5, "h": 0.75)"),
       "b.json: keys[0] \"A\" (line 3): y + h: beyond 20 units"},
      {keyWith("30", R"("A")", R"("x": "1", "y": 0)"),
       "b.json: keys[0] \"A\" (line 3): x: not a number"},
      // Keys against each other.
      {boardFile({keyA, R"({"code": 30, "label": "B", "x": 1, "y": 0})"}),
       "b.json: keys[1] \"B\" (line 4): scan code 0x1E is also keys[0] \"A\" "
       "(line 3)"},
      {boardFile({keyA, R"({"code": 31, "label": "A", "x": 1, "y": 0})"}),
       "b.json: keys[1] \"A\" (line 4): label is also keys[0] \"A\" (line "
       "3)'s"},
      {boardFile({keyA, R"({"code": 31, "label": "S", "x": 0.5, "y": 0.75})"}),
       "b.json: keys[1] \"S\" (line 4): overlaps keys[0] \"A\" (line 3)"},
      {boardFile({keyA, R"({"code": 31, "label": "S", "x": 1, "y": 0})",
                  R"({"code": 32, "label": "D", "x": 0, "y": 1})"}),
       ""},
  };
  for (const auto &c : kCases) {
    Board board;
    std::string error;
    const bool taken = parseBoard(c.first, "b.json", board, error);
    EXPECT_EQ(taken, c.second.empty()) << c.first << "\n" << error;
    if (!c.second.empty()) {
      EXPECT_EQ(error, c.second) << c.first;
    }
  }
  Board board;
  std::string error;
  ASSERT_TRUE(parseBoard(oneKey(a), "b.json", board, error)) << error;
  EXPECT_EQ(board.keys[0].w, 1);
  EXPECT_EQ(board.keyOfCode[0x1E], 0);
  // The source's own name is escaped too: it may come from anywhere.
  EXPECT_FALSE(parseBoard("[1]", "b\x1b[2J.json", board, error));
  EXPECT_EQ(error, "b\\x1B[2J.json: top level: not an object");
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
