// Scripted snapshot streams through compare-and-report, checked against
// the exact text of the log. Line ends are normalised here; the bytes on
// disk (CR LF) are checked under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "keymodel/transition_log.h"

namespace {

KeyState stateWith(std::initializer_list<int> down) {
  KeyState s{};
  for (int code : down)
    s.bytes[code] = 0x80;
  return s;
}

// Feeds the snapshots in order, starting from all-zero, then closes.
std::string logFor(std::initializer_list<KeyState> readings,
                   KeyboardLayout layout, bool close = false) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("kc-log-" + std::to_string(rand()) + ".txt");
  FILE *log = std::fopen(path.string().c_str(), "w");
  EXPECT_NE(log, nullptr);
  KeyState previous{};
  for (const KeyState &current : readings) {
    compareAndReport(log, current, previous, layout);
    previous = current;
  }
  if (close)
    closeTransitionLog(log, layout);
  else
    std::fclose(log);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  std::filesystem::remove(path);
  std::string s = text.str();
  for (size_t i; (i = s.find("\r\n")) != std::string::npos;)
    s.erase(i, 1);
  return s;
}

} // namespace

TEST(TransitionLog, DownThenUpInWalkOrder) {
  // A (0x1E) and Q (0x10) change between the same readings: Q's row first.
  EXPECT_EQ(logFor({stateWith({0x1E, 0x10}), stateWith({}), stateWith({0x01}),
                    stateWith({})},
                   LayoutUS),
            "Q down\nA down\nQ up\nA up\nEsc down\nEsc up\n");
}

TEST(TransitionLog, BlocksComeInTableOrder) {
  // Keypad 7, Home, F12, the JP yen key and Escape at once.
  EXPECT_EQ(logFor({stateWith({0x47, 0xC7, 0x58, 0x7D, 0x01})}, LayoutJP),
            "Esc down\nF12 down\n\\ down\nHome down\nNumPad 7  down\n");
}

TEST(TransitionLog, KeypadLinesAndLabelBlanks) {
  EXPECT_EQ(logFor({stateWith({0x9C}), stateWith({})}, LayoutUS),
            "NumPad En down\nNumPad En up\n");
  EXPECT_EQ(logFor({stateWith({0xD2, 0x47}), stateWith({})}, LayoutUS),
            "Ins  down\nNumPad 7  down\nIns  up\nNumPad 7  up\n");
  EXPECT_EQ(logFor({stateWith({0xCB})}, LayoutUS), "  \x81\xA9 down\n");
}

TEST(TransitionLog, LayoutPicksTheMainBlock) {
  // 0x7B is 無 on the Japanese block and absent from the US one; 0x29 the
  // reverse; 0x2B sits in different cells but is logged in both.
  EXPECT_EQ(logFor({stateWith({0x7B, 0x29, 0x2B})}, LayoutJP),
            "\\ down\n\x96\xB3 down\n");
  EXPECT_EQ(logFor({stateWith({0x7B, 0x29, 0x2B})}, LayoutUS),
            "` down\n\\ down\n");
  EXPECT_EQ(logFor({stateWith({0x39})}, LayoutUnset), " Space  down\n");
}

TEST(TransitionLog, SilentCases) {
  // Windows keys, Application key, and a key that went down and up
  // between two readings (the snapshots are equal). The filler byte 0xFF
  // is cleared when the keyboard is read, not here.
  EXPECT_EQ(logFor({stateWith({0xDB, 0xDC, 0xDD}), stateWith({})}, LayoutJP),
            "");
  EXPECT_EQ(logFor({stateWith({}), stateWith({})}, LayoutUS), "");
  // Only bit 7 counts: a low bit changing is no transition.
  KeyState odd{};
  odd.bytes[0x1E] = 0x01;
  EXPECT_EQ(logFor({odd}, LayoutUS), "");
}

TEST(TransitionLog, ClosingLineForEachLayout) {
  EXPECT_EQ(logFor({stateWith({0x02})}, LayoutJP, true),
            "1 down\nKeyboard type : Japanese 106 keyboard / DirectX\n");
  EXPECT_EQ(logFor({}, LayoutUS, true),
            "Keyboard type : PC/AT like US English keyboard / DirectX\n");
  EXPECT_EQ(logFor({}, LayoutUnset, true),
            "Keyboard type : PC/AT like US English keyboard / DirectX\n");
  EXPECT_EQ(sizeof kClosingLineJP - 1, 48u);
  EXPECT_EQ(sizeof kClosingLineUS - 1, 57u);
}

TEST(TransitionLog, NoFileMeansNothingWrittenAndNoCrash) {
  const KeyState down = stateWith({0x1E});
  const KeyState up{};
  EXPECT_EQ(compareAndReport(nullptr, down, up, LayoutUS), 0);
  closeTransitionLog(nullptr, LayoutJP);
}

TEST(TransitionLog, SnapshotsStartZeroed) {
  SnapshotPair pair;
  std::memset(&pair, 0xAB, sizeof pair);
  clearSnapshots(pair);
  EXPECT_EQ(pair.index, 0);
  for (const KeyState &s : pair.buffers)
    for (uint8_t b : s.bytes)
      ASSERT_EQ(b, 0);
}
