// A board run's log lines: written to the real log file, its bytes on
// disk, and read back by the same module, and the lines a reader must take or
// refuse.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"

namespace {

bool parse(const char *line, LogTransition &out) {
  return parseLogTransition(line, std::strlen(line), out);
}

bool closing(const char *line, std::string &name) {
  return parseBoardClosingLine(line, std::strlen(line), name);
}

bool opening(const char *line, BoardOpening &out) {
  return parseBoardOpening(line, std::strlen(line), out);
}

} // namespace

TEST(BoardLog, WrittenLinesReadBack) {
  Board board{};
  board.name = "iso105";
  board.title = "ISO 105-key (Europe)";
  const BoardKey isoKey{0x56, "\\|", 0, 0, 1, 1};
  board.keys = {isoKey};
  const std::string iso = isoKey.label, ins = "Ins "; // a table label's blank
  // The real log's file, opened as the checkers open it, in a fresh folder.
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "BoardLogWritten";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::current_path(dir);
  LogFile log;
  ASSERT_TRUE(openBoardLog(log, board, 12.5));
  ASSERT_TRUE(writeBoardTransition(log, iso, true, 0));
  ASSERT_TRUE(writeBoardTransition(log, ins, false, 18446744073709551ULL));
  ASSERT_TRUE(closeBoardLog(log, board));
  std::ifstream in(kLogFileName, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const std::string fingerprint = boardFingerprint(board);
  EXPECT_EQ(bytes,
            "Board test : iso105 " + fingerprint +
                " chatter 12.5\r\n"
                "\\| down 0\r\nIns  up 18446744073709551\r\n"
                "Keyboard type : ISO 105-key (Europe) / board iso105\r\n");
  BoardOpening said;
  ASSERT_TRUE(opening(bytes.substr(0, bytes.find('\r')).c_str(), said));
  EXPECT_EQ(said.name, "iso105");
  EXPECT_EQ(said.fingerprint, fingerprint);
  EXPECT_EQ(said.chatterMs, 12.5);

  LogTransition t;
  ASSERT_TRUE(parse("\\| down 0", t));
  EXPECT_EQ(t.label, "\\|");
  EXPECT_TRUE(t.down);
  EXPECT_EQ(t.ms, 0);
  ASSERT_TRUE(parse("Ins  up 18446744073709551", t));
  EXPECT_EQ(t.label, "Ins ");
  EXPECT_FALSE(t.down);
  EXPECT_EQ(t.ms, 18446744073709551LL);

  std::string name;
  ASSERT_TRUE(
      closing("Keyboard type : ISO 105-key (Europe) / board iso105", name));
  EXPECT_EQ(name, "iso105");

  // A stream that refuses writes stands in for a full disk: the log stops
  // at the first failure, nothing after it, and no closing line makes it
  // look whole; a second copy, without the log, writes nothing at all.
  LogFile second;
  ASSERT_TRUE(openTransitionLog(log));
  EXPECT_FALSE(openBoardLog(second, board, 30));
  EXPECT_FALSE(writeBoardTransition(second, ins, true, 3));
  EXPECT_FALSE(closeBoardLog(second, board));
  ASSERT_TRUE(writeBoardTransition(log, iso, true, 5));
  std::fclose(log.file);
  log.file = std::fopen(kLogFileName, "r");
  EXPECT_FALSE(writeBoardTransition(log, iso, false, 9));
  EXPECT_EQ(log.state, LogWriteFailed);
  EXPECT_FALSE(writeBoardTransition(log, ins, true, 12));
  EXPECT_FALSE(closeBoardLog(log, board));
  std::ifstream again(kLogFileName, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}),
            "\\| down 5\r\n");
}

TEST(BoardLog, ClassicLinesHaveNoTimeAndOddLinesAreRefused) {
  LogTransition t;
  ASSERT_TRUE(parse("NumPad 7  up", t)); // a classic line
  EXPECT_EQ(t.label, "NumPad 7 ");
  EXPECT_EQ(t.ms, -1);
  // A label of digits keeps them when no state follows the blank.
  ASSERT_TRUE(parse("1 down 12", t));
  EXPECT_EQ(t.label, "1");
  EXPECT_EQ(t.ms, 12);
  ASSERT_TRUE(parse("F1 down", t));
  EXPECT_EQ(t.ms, -1);
  for (const char *bad : {"", "down", " down", "Q", "Q down12", "Q left 5",
                          "Q down 1234567890123456789", "Q down -5"})
    EXPECT_FALSE(parse(bad, t)) << bad;

  std::string name;
  for (const char *bad :
       {"Keyboard type : PC/AT like US English keyboard / DirectX",
        "Keyboard type : X / board ", "Keyboard type : X / board a b",
        "keyboard type : X / board x", "Keyboard type :  / board"})
    EXPECT_FALSE(closing(bad, name)) << bad;

  // An opening line is exactly its four words; anything else is not one.
  BoardOpening said;
  ASSERT_TRUE(opening("Board test : my-60 0123456789abcdef chatter 30", said));
  EXPECT_EQ(said.chatterMs, 30);
  for (const char *bad :
       {"Board test : my-60 0123456789abcdef chatter",
        "Board test : ", "Board test : my-60 0123456789abcdef chatter 30 ",
        "Board test : my-60  0123456789abcdef chatter 30",
        "Board test : my-60 0123456789ABCDEF chatter 30",
        "Board test : my-60 0123456789abcde chatter 30",
        "Board test : my-60 0123456789abcdef chatter 0",
        "Board test : my-60 0123456789abcdef chatter 3x",
        "Board test : my-60 0123456789abcdef chatter 30 x",
        "Board test : my-60 0123456789abcdef Chatter 30",
        "board test : my-60 0123456789abcdef chatter 30"})
    EXPECT_FALSE(opening(bad, said)) << bad;
}

TEST(BoardLog, StationOpeningAndUnitLinesBothWays) {
  // A station's opening line names it as two more words; a board run's has
  // no station.
  BoardOpening said;
  ASSERT_TRUE(opening(
      "Board test : ansi104 0123456789abcdef chatter 30 station line-2_B",
      said));
  EXPECT_EQ(said.station, "line-2_B");
  ASSERT_TRUE(
      opening("Board test : ansi104 0123456789abcdef chatter 30", said));
  EXPECT_EQ(said.station, "");
  for (const char *bad :
       {"Board test : a 0123456789abcdef chatter 30 station",
        "Board test : a 0123456789abcdef chatter 30 station ",
        "Board test : a 0123456789abcdef chatter 30 station a b",
        "Board test : a 0123456789abcdef chatter 30 station a.b",
        "Board test : a 0123456789abcdef chatter 30 stations a",
        "Board test : a 0123456789abcdef chatter 30 station  a",
        "Board test : a 0123456789abcdef chatter 30 station "
        "abcdefghijklmnopqrstuvwxyz0123456"})
    EXPECT_FALSE(opening(bad, said)) << bad;

  UnitLine unit;
  struct Good {
    const char *line;
    int unit;
    UnitMark mark;
    long long ms;
  };
  for (const Good &good :
       {Good{"Unit 1 : start 0", 1, UnitStart, 0},
        Good{"Unit 17 : PASS 123456", 17, UnitPass, 123456},
        Good{"Unit 999999999 : FAIL 5", 999999999, UnitFail, 5}}) {
    ASSERT_TRUE(parseUnitLine(good.line, std::strlen(good.line), unit))
        << good.line;
    EXPECT_EQ(unit.unit, good.unit);
    EXPECT_EQ(unit.mark, good.mark);
    EXPECT_EQ(unit.ms, good.ms);
  }
  // Never a transition, and a transition never a unit line.
  LogTransition t;
  EXPECT_FALSE(parse("Unit 3 : PASS 400", t));
  for (const char *bad :
       {"Unit 0 : start 5", "Unit 01 : start 5", "Unit 1 : start",
        "Unit 1 : pass 5", "Unit 1 : FAIL 5 ", "Unit 1: FAIL 5",
        "Unit  1 : FAIL 5", "Unit 1234567890 : FAIL 5", "unit 1 : FAIL 5",
        "Unit 1 : PASS down 5", "Unit x : start 5", "Unit 1 : start -5"})
    EXPECT_FALSE(parseUnitLine(bad, std::strlen(bad), unit)) << bad;
}
