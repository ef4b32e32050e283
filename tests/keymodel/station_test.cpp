// The station's rules on a small board: PASS when the last key comes up,
// FAIL at once on chatter or when given up (naming the keys left), keys
// after the verdict ignored, the serial as typed, Enter alone keeping the
// unit's number; the name's rule; and a whole run on disk: the log's
// bytes and the results rows, as the report reads them back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "keymodel/results_file.h"
#include "keymodel/station_name.h"
#include "keymodel/station_run.h"
#include "keymodel/transition_log.h"

namespace {

// Esc, "NumPad 7" and "," at codes 1, 0x47 and 0x33.
const Board &tinyBoard() {
  static Board board;
  static bool loaded = false;
  std::string error;
  if (!loaded)
    loaded = parseBoard(
        R"({"name": "tiny", "title": "Tiny", "keys": [
             {"code": "0x01", "label": "Esc", "x": 0, "y": 0},
             {"code": "0x47", "label": "NumPad 7", "x": 1, "y": 0},
             {"code": "0x33", "label": ",", "x": 2, "y": 0}]})",
        "tiny", board, error);
  EXPECT_TRUE(loaded) << error;
  return board;
}

enum { Esc, Pad7, Comma };

// Each key down and up 100 ms apart from at, in the board's order.
void pressAll(Station &station, double at) {
  for (int key = Esc; key <= Comma; ++key) {
    stationKey(station, key, true, at + 200 * key);
    stationKey(station, key, false, at + 200 * key + 100);
  }
}

std::string fileBytes(const std::string &name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Station, VerdictsComeWhenTheRulesSay) {
  Station station;
  startStation(station, tinyBoard(), 30, "bench", 1000);
  EXPECT_EQ(stationCount(station), "unit 1 \xC2\xB7 0 PASS \xC2\xB7 0 FAIL");
  // Every key tested, Esc down again: no verdict until it is up.
  EXPECT_EQ(stationKey(station, Esc, true, 1100), StepCounted);
  EXPECT_EQ(stationKey(station, Esc, true, 1150), StepIgnored); // a repeat
  EXPECT_EQ(stationKey(station, Esc, false, 1200), StepCounted);
  EXPECT_EQ(stationKey(station, Esc, true, 1250), StepCounted);
  EXPECT_EQ(stationKey(station, Pad7, true, 1300), StepCounted);
  EXPECT_EQ(stationKey(station, Pad7, false, 1400), StepCounted);
  EXPECT_EQ(stationKey(station, Comma, true, 1500), StepCounted);
  EXPECT_EQ(stationKey(station, Comma, false, 1550), StepCounted);
  EXPECT_EQ(station.unit.phase, UnitTesting);
  EXPECT_EQ(stationKey(station, Esc, false, 1600), StepVerdict);
  EXPECT_TRUE(station.unit.pass);
  // After the verdict no key counts for the unit, and Fail unit is late.
  EXPECT_EQ(stationKey(station, Esc, true, 1700), StepIgnored);
  EXPECT_EQ(stationOffBoardKey(station, 0x1E, true), StepIgnored);
  EXPECT_FALSE(station.unit.progress.keys[Esc].down);
  EXPECT_FALSE(failUnit(station, 1800));
  EXPECT_EQ(stationCount(station), "unit 1 \xC2\xB7 1 PASS \xC2\xB7 0 FAIL");
  // Enter alone: no serial, the unit's number names the row.
  ResultRow row;
  unitResultRow(station, row);
  EXPECT_EQ(row.unit, 1);
  EXPECT_EQ(row.serial, "");
  EXPECT_TRUE(row.pass);
  EXPECT_EQ(row.tested, 3);
  EXPECT_DOUBLE_EQ(row.seconds, 0.6);

  // Unit 2 starts clean; a key bouncing 5 ms after its up fails it at
  // once, held at that moment, the other two never pressed.
  startNextUnit(station, 2000);
  EXPECT_EQ(station.unit.number, 2);
  EXPECT_EQ(station.unit.phase, UnitTesting);
  EXPECT_FALSE(station.unit.progress.keys[Comma].tested);
  stationKey(station, Pad7, true, 2100);
  stationKey(station, Pad7, false, 2200);
  EXPECT_EQ(stationKey(station, Pad7, true, 2205), StepVerdict);
  unitResultRow(station, row);
  EXPECT_FALSE(row.pass);
  EXPECT_EQ(row.untested, (std::vector<std::string>{"Esc", ","}));
  EXPECT_EQ(row.held, (std::vector<std::string>{"NumPad 7"}));
  ASSERT_EQ(row.chatter.size(), 1u);
  EXPECT_EQ(row.chatter[0].label, "NumPad 7");
  EXPECT_DOUBLE_EQ(row.chatter[0].gapMs, 5);
  EXPECT_EQ(row.tested + row.untested.size() + row.held.size(), 3u);

  // Unit 3 given up: the keys left are named; one held stays held.
  startNextUnit(station, 3000);
  stationKey(station, Esc, true, 3100);
  stationKey(station, Esc, false, 3200);
  stationKey(station, Comma, true, 3300);
  EXPECT_TRUE(failUnit(station, 4500));
  unitResultRow(station, row);
  EXPECT_FALSE(row.pass);
  EXPECT_EQ(row.untested, (std::vector<std::string>{"NumPad 7"}));
  EXPECT_EQ(row.held, (std::vector<std::string>{","}));
  EXPECT_TRUE(row.chatter.empty());
  EXPECT_DOUBLE_EQ(row.seconds, 1.5);
  EXPECT_EQ(stationCount(station), "unit 3 \xC2\xB7 1 PASS \xC2\xB7 2 FAIL");

  // A keyboard gone before its test began waits for the next; gone
  // mid-test, it fails the unit.
  startNextUnit(station, 5000);
  EXPECT_FALSE(unitKeyboardGone(station, 5100));
  nameUnitKeyboard(station, "USB \x1B[31mKeyboard");
  EXPECT_EQ(station.unit.keyboard, "USB [31mKeyboard");
  stationKey(station, Esc, true, 5200);
  nameUnitKeyboard(station, "another"); // its test has begun
  EXPECT_EQ(station.unit.keyboard, "USB [31mKeyboard");
  EXPECT_TRUE(unitKeyboardGone(station, 5300));
  EXPECT_FALSE(station.unit.pass);
}

TEST(Station, SerialIsPrintableWholeCharactersUpTo64Bytes) {
  Station station;
  startStation(station, tinyBoard(), 30, "bench", 0);
  EXPECT_FALSE(typeSerial(station, "early")); // no verdict yet
  EXPECT_FALSE(eraseSerial(station));
  pressAll(station, 0);
  ASSERT_EQ(station.unit.phase, UnitSerial);
  // Control characters (Tab, Enter, Escape, C1) never; UTF-8 kept whole.
  EXPECT_TRUE(typeSerial(station, "SN-\t42\r\x1B\xC2\x85 \xC3\xA9"));
  EXPECT_EQ(station.unit.serial, "SN-42 \xC3\xA9");
  EXPECT_TRUE(eraseSerial(station)); // the whole é
  EXPECT_EQ(station.unit.serial, "SN-42 ");
  EXPECT_FALSE(typeSerial(station, "\xC3")); // half a character
  EXPECT_TRUE(typeSerial(station, std::string(70, '9')));
  EXPECT_EQ(station.unit.serial.size(), 64u);
  EXPECT_FALSE(typeSerial(station, "9"));
  // A character that would cross 64 bytes is not cut in two.
  EXPECT_TRUE(eraseSerial(station));
  EXPECT_FALSE(typeSerial(station, "\xE2\x82\xAC"));
  EXPECT_EQ(station.unit.serial.size(), 63u);
  ResultRow row;
  unitResultRow(station, row);
  EXPECT_EQ(row.serial, station.unit.serial);
}

TEST(Station, NamesFollowTheRuleAndDefaultToTheHost) {
  for (const char *good : {"a", "Line-2_b", "abcdefghijklmnopqrstuvwxyz012345"})
    EXPECT_EQ(stationNameProblem(good), "") << good;
  EXPECT_EQ(stationNameProblem("a b\x1B"),
            "station name \"a b\\x1B\": 1 to 32 letters A-Z or a-z, digits, "
            "\"-\" or \"_\"");
  for (const char *bad :
       {"", "a.b", "abcdefghijklmnopqrstuvwxyz0123456", "caf\xC3\xA9", "a/b"})
    EXPECT_FALSE(isStationName(bad)) << bad;
  struct Case {
    const char *host, *name;
  };
  for (const Case &c :
       {Case{"bench-3.factory.example", "bench-3"}, Case{"", "station"},
        Case{".local", "station"}, Case{"B\xC3\xBCro 1", "B_ro_1"},
        Case{"abcdefghijklmnopqrstuvwxyz0123456789",
             "abcdefghijklmnopqrstuvwxyz012345"}})
    EXPECT_EQ(stationNameFromHost(c.host), c.name) << c.host;
  EXPECT_TRUE(isStationName(defaultStationName()));
  // A keyboard's interface path: its bus and device, or the path whole.
  for (const Case &c :
       {Case{"\\\\?\\HID#VID_046D&PID_C31C&MI_00#7&2b&0&0000#{884b96c3-"
             "56ef-11d1-bc8c-00a0c91e6bf6}",
             "HID#VID_046D&PID_C31C&MI_00"},
        Case{"\\\\?\\ACPI#PNP0303#4&1d#{884b96c3}", "ACPI#PNP0303"},
        Case{"\\\\?\\WINE_KEYBOARD", "WINE_KEYBOARD"}, Case{"", ""}})
    EXPECT_EQ(keyboardNameFromPath(c.host), c.name) << c.host;
}

TEST(StationRun, LogAndResultsOnDisk) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "StationRunOnDisk";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::current_path(dir);
  const Board &board = tinyBoard();
  static StationRun run, second;
  std::string error;
  ASSERT_TRUE(openStationRun(run, board, 30, "bench", 0, error)) << error;
  // A second station of that name is refused before it opens anything.
  EXPECT_FALSE(openStationRun(second, board, 30, "bench", 0, error));
  EXPECT_EQ(error, "keyboard-results-bench.csv: another copy of the checker "
                   "is writing it");
  nameUnitKeyboard(run.station, "Tiny USB");
  for (int key = Esc; key <= Comma; ++key) {
    stationRunKey(run, key, true, 100 + 200 * key);
    stationRunKey(run, key, false, 200 + 200 * key);
  }
  stationRunKey(run, Esc, true, 700); // after the verdict: not logged
  typeSerial(run.station, "A,1");
  ASSERT_TRUE(stationRunEnter(run, 900));
  // Unit 2: a key off the board, then given up.
  stationRunOffBoardKey(run, 0x1E, true, 1000);
  stationRunKey(run, Pad7, true, 1100);
  ASSERT_TRUE(stationRunFailUnit(run, 1500));
  // Another keyboard plugged in: unit 2 done, unit 3 starts, named.
  ASSERT_TRUE(stationRunKeyboardCame(run, "Other USB", 1600));
  EXPECT_EQ(run.station.unit.number, 3);
  EXPECT_EQ(run.station.unit.keyboard, "Other USB");
  // Unit 3 given up, its serial half typed when the window closes: its
  // row has the serial as typed.
  stationRunKey(run, Esc, true, 1700);
  ASSERT_TRUE(stationRunFailUnit(run, 1800));
  typeSerial(run.station, "X9");
  EXPECT_TRUE(closeStationRun(run));
  const std::string firstLog = fileBytes(kLogFileName);
  // The next run of the station empties the log and appends to the
  // results; its unit 1, still under test when it closes, has no row.
  ASSERT_TRUE(openStationRun(run, board, 30, "bench", 0, error)) << error;
  stationRunKey(run, Esc, true, 100);
  EXPECT_TRUE(closeStationRun(run));

  const std::string opening = "Board test : tiny " + boardFingerprint(board) +
                              " chatter 30 station bench\r\n";
  EXPECT_EQ(firstLog, opening + "Unit 1 : start 0\r\n"
                                "Esc down 100\r\nEsc up 200\r\n"
                                "NumPad 7 down 300\r\nNumPad 7 up 400\r\n"
                                ", down 500\r\n, up 600\r\n"
                                "Unit 1 : PASS 600\r\n"
                                "Unit 2 : start 900\r\n"
                                "A down 1000\r\nNumPad 7 down 1100\r\n"
                                "Unit 2 : FAIL 1500\r\n"
                                "Unit 3 : start 1600\r\n"
                                "Esc down 1700\r\n"
                                "Unit 3 : FAIL 1800\r\n"
                                "Keyboard type : Tiny / board tiny\r\n");
  EXPECT_EQ(fileBytes(kLogFileName),
            opening + "Unit 1 : start 0\r\nEsc down 100\r\n"
                      "Keyboard type : Tiny / board tiny\r\n");
  static ResultsReader reader;
  FILE *in = std::fopen("keyboard-results-bench.csv", "rb");
  ASSERT_NE(in, nullptr);
  startResultsReading(reader, in);
  ResultRow row;
  std::string problem;
  ASSERT_EQ(nextResultRow(reader, row, problem), ResultsRow) << problem;
  EXPECT_EQ(row.station, "bench");
  EXPECT_EQ(row.board, "tiny");
  EXPECT_EQ(row.serial, "A,1");
  EXPECT_TRUE(row.pass);
  EXPECT_DOUBLE_EQ(row.seconds, 0.6);
  EXPECT_EQ(row.keyboard, "Tiny USB");
  ASSERT_EQ(nextResultRow(reader, row, problem), ResultsRow) << problem;
  EXPECT_EQ(row.unit, 2);
  EXPECT_FALSE(row.pass);
  EXPECT_EQ(row.untested, (std::vector<std::string>{"Esc", ","}));
  EXPECT_EQ(row.held, (std::vector<std::string>{"NumPad 7"}));
  EXPECT_DOUBLE_EQ(row.seconds, 0.6);
  EXPECT_EQ(row.keyboard, "Tiny USB");
  ASSERT_EQ(nextResultRow(reader, row, problem), ResultsRow) << problem;
  EXPECT_EQ(row.unit, 3);
  EXPECT_EQ(row.serial, "X9");
  EXPECT_EQ(row.keyboard, "Other USB");
  EXPECT_EQ(nextResultRow(reader, row, problem), ResultsEnd);
  std::fclose(in);
}
