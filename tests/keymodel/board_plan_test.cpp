// The board window's plan for a small board and a font whose glyphs are
// all 7 pixels wide: the key unit the widest label forces, labels broken
// at a blank only when they must be, the client size, and the colours,
// status line and verdict as a test goes on.
#include <gtest/gtest.h>

#include <string>

#include "keymodel/board_plan.h"

namespace {

int sevenPerByte(void *, const char *, int length) { return 7 * length; }

BoardKey key(uint8_t code, const char *label, double x, double y, double w) {
  return {code, label, x, y, w, 1};
}

Board smallBoard() {
  Board board{};
  board.name = "small";
  board.title = "Small";
  board.keys = {key(0x01, "Esc", 0, 0, 1), key(0x0E, "Backspace", 3, 0, 2),
                key(0x3A, " Caps  Lock ", 0, 1, 1.5),
                key(0x47, "NumPad 7", 2, 1, 1), key(0xC5, "Pause", 4, 1, 1)};
  board.width = 5;
  board.height = 2;
  return board;
}

std::string lineText(const BoardPlan &plan, int cap, int line) {
  const CapLine &l = plan.caps[cap].lines[line];
  return plan.board->keys[cap].label.substr(l.offset, l.length);
}

} // namespace

TEST(BoardPlan, UnitFitsTheWidestLabelAndBreaksOnlyWhatMust) {
  const Board board = smallBoard();
  BoardPlan plan;
  // Height 16: pad 2, gap 1, margin 8; two lines need 2*16 + 6 = 38.
  layoutBoardPlan(plan, board, {16, 7, 14}, sevenPerByte, nullptr);
  // "Pause" (35 px) on its one unit sets the unit: 35 + 6 = 41.
  EXPECT_EQ(plan.unit, 41);

  const BoardCap &esc = plan.caps[0];
  EXPECT_EQ(esc.left, 9);   // margin + gap
  EXPECT_EQ(esc.right, 48); // margin + unit - gap
  ASSERT_EQ(esc.lineCount, 1);
  EXPECT_EQ(esc.lines[0].x, (9 + 48 - 21) / 2); // centred
  EXPECT_EQ(esc.lines[0].y, (9 + 48 - 16) / 2);

  // Backspace fits its two units on one line; Caps Lock loses its outer
  // blanks and breaks at the inner run of them.
  EXPECT_EQ(plan.caps[1].lineCount, 1);
  EXPECT_EQ(lineText(plan, 1, 0), "Backspace");
  const BoardCap &caps = plan.caps[2];
  ASSERT_EQ(caps.lineCount, 2);
  EXPECT_EQ(lineText(plan, 2, 0), "Caps");
  EXPECT_EQ(lineText(plan, 2, 1), "Lock");
  EXPECT_EQ(caps.lines[0].y, (caps.top + caps.bottom - 32) / 2);
  EXPECT_EQ(caps.lines[1].y, caps.lines[0].y + 16);

  // The keypad's 7 shows without its "NumPad ".
  const BoardCap &pad7 = plan.caps[3];
  EXPECT_EQ(pad7.left, 8 + 2 * 41 + 1);
  EXPECT_EQ(pad7.top, 8 + 41 + 1);
  EXPECT_EQ(pad7.bottom, 8 + 2 * 41 - 1);
  ASSERT_EQ(pad7.lineCount, 1);
  EXPECT_EQ(lineText(plan, 3, 0), "7");
  EXPECT_EQ(pad7.lines[0].x, (pad7.left + pad7.right - 7) / 2);

  // The widest status, with a key off the board and its " (no log)" (87
  // bytes, 609 px, the middle dots 2 bytes each), outgrows the 5-unit board.
  EXPECT_EQ(plan.clientWidth, 2 * 8 + 581);
  EXPECT_EQ(plan.statusY, 2 * 8 + 2 * 41);
  EXPECT_EQ(plan.verdictY, plan.statusY + 16);
  EXPECT_EQ(plan.noticeY, plan.verdictY + 16);
  EXPECT_EQ(plan.clientHeight, plan.noticeY + 16 + 8);
}

TEST(BoardPlan, ColoursStatusAndVerdictFollowTheProgress) {
  const Board board = smallBoard();
  BoardPlan plan;
  layoutBoardPlan(plan, board, {16, 7, 14}, sevenPerByte, nullptr);
  BoardProgress progress;
  startBoardProgress(progress, board, 30);
  applyTransition(progress, 0, true, 100); // Esc tested
  applyTransition(progress, 0, false, 150);
  applyTransition(progress, 1, true, 200); // Backspace held
  colourBoardPlan(plan, progress);
  EXPECT_EQ(plan.caps[0].fill, kTestedFillColor);
  EXPECT_EQ(plan.caps[0].text, kTestedTextColor);
  EXPECT_EQ(plan.caps[1].fill, kHeldFillColor);
  EXPECT_EQ(plan.caps[2].fill, kNeverFillColor);
  EXPECT_EQ(plan.caps[2].text, kNeverTextColor);
  // Tested, held and left add up to the board's keys.
  EXPECT_EQ(plan.status, "tested 1 of 5 \xC2\xB7 1 held \xC2\xB7 3 left");
  EXPECT_EQ(plan.verdict, "");

  applyTransition(progress, 1, false, 300);
  applyTransition(progress, 2, true, 400);
  applyTransition(progress, 2, false, 450);
  applyTransition(progress, 3, true, 500);
  applyTransition(progress, 3, false, 550);
  applyTransition(progress, 4, true, 560);
  applyTransition(progress, 4, false, 570);
  colourBoardPlan(plan, progress);
  EXPECT_EQ(plan.status, "tested 5 of 5 \xC2\xB7 0 held \xC2\xB7 0 left");
  noteBoardLogState(plan, false);
  EXPECT_EQ(plan.status,
            "tested 5 of 5 \xC2\xB7 0 held \xC2\xB7 0 left (no log)");
  EXPECT_EQ(plan.verdict, "PASS");
  EXPECT_EQ(plan.verdictColor, kPassColor);

  // NumPad 7 down again 5 ms after its up: marked, and the verdict turns.
  applyTransition(progress, 3, true, 555);
  applyTransition(progress, 3, false, 600);
  colourBoardPlan(plan, progress);
  EXPECT_TRUE(plan.caps[3].chatter);
  EXPECT_FALSE(plan.caps[2].chatter);
  EXPECT_EQ(plan.verdict, "FAIL: 0 held, 1 chattered");
  EXPECT_EQ(plan.verdictColor, kFailColor);
}
