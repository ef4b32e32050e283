// A station's window as data: its lines and button laid out under the
// board's, inside the client area and clear of each other; and as a unit
// goes on, what they say and whether the button takes a click.
#include <gtest/gtest.h>

#include <string>

#include "keymodel/station_plan.h"

namespace {

// 7 pixels a byte, 16 high: the board plan's own test font.
int perByte(void *, int, const char *, int length) { return 7 * length; }
const BoardMetrics kMetrics = {{{16, 7, 14}, {11, 5, 10}}};

// Esc, "NumPad 7" and "," side by side.
const Board &tinyBoard() {
  static Board board;
  static const bool loaded = [] {
    std::string error;
    return parseBoard(
        R"({"name": "tiny", "title": "Tiny", "keys": [
             {"code": "0x01", "label": "Esc", "x": 0, "y": 0},
             {"code": "0x47", "label": "NumPad 7", "x": 1, "y": 0},
             {"code": "0x33", "label": ",", "x": 2, "y": 0}]})",
        "tiny", board, error);
  }();
  EXPECT_TRUE(loaded);
  return board;
}

bool inside(const BoardPlan &plan, int x, int y) {
  return x >= 0 && y >= 0 && x <= plan.clientWidth && y <= plan.clientHeight;
}

} // namespace

TEST(StationPlan, LinesAndButtonFitUnderTheBoard) {
  BoardPlan board, station;
  layoutBoardPlan(board, tinyBoard(), kMetrics, perByte, nullptr, {});
  layoutBoardPlan(station, tinyBoard(), kMetrics, perByte, nullptr, {}, true);
  EXPECT_FALSE(board.station.shown);
  const StationLines &s = station.station;
  ASSERT_TRUE(s.shown);
  // The board's lines stay where board mode has them; the station's come
  // after the verdict's, the button (pad 4 round its label) on the count's
  // line at the right margin, the notice last.
  EXPECT_EQ(station.statusY, board.statusY);
  EXPECT_EQ(station.verdictY, board.verdictY);
  EXPECT_EQ(s.promptY, station.verdictY + 16);
  EXPECT_EQ(s.buttonTop, s.promptY + 16 + 4);
  EXPECT_EQ(s.countY, s.buttonTop + 4);
  EXPECT_EQ(s.buttonBottom, s.countY + 16 + 4);
  EXPECT_EQ(station.noticeY, s.buttonBottom + 4);
  EXPECT_EQ(station.clientHeight, station.noticeY + 16 + 8);
  // Room for the longest count beside the button, and a 40-digit serial.
  const int countWidth = 7 * int(std::string("unit 8888 \xC2\xB7 8888 PASS "
                                             "\xC2\xB7 8888 FAIL")
                                     .size());
  EXPECT_EQ(s.buttonRight, station.clientWidth - 8);
  EXPECT_EQ(s.buttonRight - s.buttonLeft, 7 * 9 + 2 * 16); // "Fail unit"
  EXPECT_GE(s.buttonLeft, s.countX + countWidth + 16);
  EXPECT_GE(station.clientWidth, 2 * 8 + 7 * (20 + 40 + 1));
  EXPECT_EQ(s.buttonX, s.buttonLeft + 16);
  EXPECT_EQ(s.buttonY, s.countY);
  EXPECT_EQ(s.button, "Fail unit");
  for (int x : {s.buttonLeft, s.buttonRight})
    for (int y : {s.buttonTop, s.buttonBottom})
      EXPECT_TRUE(inside(station, x, y)) << x << "," << y;
  // Nothing of the board's moved.
  EXPECT_EQ(station.caps[2].right, board.caps[2].right);
}

TEST(StationPlan, WhatTheLinesSayAsAUnitGoesOn) {
  const Board &board = tinyBoard();
  BoardPlan plan;
  layoutBoardPlan(plan, board, kMetrics, perByte, nullptr, {"", "", "<"}, true);
  const StationLines &s = plan.station;
  const int midX = (s.buttonLeft + s.buttonRight) / 2;
  const int midY = (s.buttonTop + s.buttonBottom) / 2;
  Station station;
  startStation(station, board, 30, "bench", 0);
  // Under test, every key tested but Esc held: no verdict yet, the button
  // live inside its rectangle and nowhere else.
  for (int key = 0; key < 3; ++key) {
    stationKey(station, key, true, 100 + 100 * key);
    stationKey(station, key, key == 0, 150 + 100 * key);
  }
  colourStationPlan(plan, station);
  EXPECT_EQ(plan.status, "tested 2 of 3 \xC2\xB7 1 held \xC2\xB7 0 left");
  EXPECT_EQ(plan.verdict, "");
  EXPECT_EQ(s.prompt, "");
  EXPECT_EQ(s.count, "unit 1 \xC2\xB7 0 PASS \xC2\xB7 0 FAIL");
  EXPECT_TRUE(s.buttonActive);
  const struct {
    int x, y;
    bool on;
  } kClicks[] = {{midX, midY, true},
                 {s.buttonLeft, s.buttonTop, true},
                 {s.buttonRight - 1, s.buttonBottom - 1, true},
                 {s.buttonLeft - 1, midY, false},
                 {s.buttonRight, midY, false},
                 {midX, s.buttonTop - 1, false},
                 {midX, s.buttonBottom, false}};
  for (const auto &c : kClicks)
    EXPECT_EQ(isOnStationButton(plan, c.x, c.y), c.on) << c.x << "," << c.y;

  // The last key up: PASS, the serial as typed, the button deaf.
  stationKey(station, 0, false, 500);
  typeSerial(station, "A1");
  colourStationPlan(plan, station);
  EXPECT_EQ(plan.verdict, "PASS");
  EXPECT_EQ(plan.verdictColor, kPassColor);
  EXPECT_EQ(s.prompt, "Serial, then Enter: A1_");
  EXPECT_EQ(s.count, "unit 1 \xC2\xB7 1 PASS \xC2\xB7 0 FAIL");
  EXPECT_FALSE(s.buttonActive);
  EXPECT_FALSE(isOnStationButton(plan, midX, midY));

  // The next unit cleared; a chatter (down at the verdict, so held too), a
  // key held, one never pressed; the keys by their keycaps' captions (the
  // legend "<" for ",").
  startNextUnit(station, 1000);
  colourStationPlan(plan, station);
  EXPECT_EQ(plan.caps[0].fill, kNeverFillColor);
  EXPECT_EQ(plan.verdict, "");
  EXPECT_EQ(s.prompt, "");
  EXPECT_TRUE(s.buttonActive);
  stationKey(station, 1, true, 1100);
  stationKey(station, 2, true, 1200);
  stationKey(station, 2, false, 1300);
  stationKey(station, 2, true, 1305);
  colourStationPlan(plan, station);
  EXPECT_EQ(plan.verdict, "FAIL: 1 chattered: < \xC2\xB7 2 held: 7 < "
                          "\xC2\xB7 1 untested: Esc");
  EXPECT_EQ(plan.verdictColor, kFailColor);
  EXPECT_EQ(s.prompt, "Serial, then Enter: _");
  EXPECT_EQ(s.count, "unit 2 \xC2\xB7 1 PASS \xC2\xB7 1 FAIL");

  // Given up with nothing pressed: every key named.
  startNextUnit(station, 2000);
  failUnit(station, 2100);
  colourStationPlan(plan, station);
  EXPECT_EQ(plan.verdict, "FAIL: 3 untested: Esc 7 <");
  EXPECT_EQ(s.count, "unit 3 \xC2\xB7 1 PASS \xC2\xB7 2 FAIL");
}
