// The board window's plan with fonts whose glyphs are all the same width:
// the key unit the font gives, captions on one line, two lines, in the
// small face or cut, legends in place of labels, the window fitted to a
// screen, and the colours, status line, notice and verdict as a test goes
// on.
#include <gtest/gtest.h>

#include <string>

#include "keymodel/board_plan.h"

namespace {

// 7 pixels a byte in the normal face, 5 in the small one.
int perByte(void *, int face, const char *, int length) {
  return (face == FaceNormal ? 7 : 5) * length;
}

const BoardMetrics kMetrics = {{{16, 7, 14}, {11, 5, 10}}};

BoardKey key(uint8_t code, const char *label, double x, double y, double w) {
  return {code, label, x, y, w, 1};
}

Board smallBoard() {
  Board board{};
  board.name = "small";
  board.title = "Small";
  board.keys = {key(0x01, "Esc", 0, 0, 1),
                key(0x0E, "Backspace", 3, 0, 2),
                key(0x3A, " Caps  Lock ", 0, 1, 1.5),
                key(0x47, "NumPad 7", 2, 1, 1),
                key(0xC5, "Pause", 4, 1, 1),
                key(0x9D, "Right Ctrl", 5, 1, 1),
                key(0x72, "Hangul1234567890", 6, 1, 1)};
  board.width = 7;
  board.height = 2;
  for (int &k : board.keyOfCode)
    k = -1;
  for (size_t i = 0; i < board.keys.size(); ++i)
    board.keyOfCode[board.keys[i].code] = int(i);
  return board;
}

std::string lineText(const BoardPlan &plan, int cap, int line) {
  const CapLine &l = plan.caps[cap].lines[line];
  return plan.caps[cap].caption.substr(l.offset, l.length);
}

} // namespace

TEST(BoardPlan, TheUnitFollowsTheFontAndCaptionsFitTheirKeys) {
  const Board board = smallBoard();
  BoardPlan plan;
  layoutBoardPlan(plan, board, kMetrics, perByte, nullptr, {});
  // Height 16: pad 2, gap 1, margin 8; two lines need 2*16 + 6 = 38, more
  // than four digits' 28 + 6: no label widens it.
  EXPECT_EQ(plan.unit, 38);

  const BoardCap &esc = plan.caps[0];
  EXPECT_EQ(esc.left, 9);   // margin + gap
  EXPECT_EQ(esc.right, 45); // margin + unit - gap
  ASSERT_EQ(esc.lineCount, 1);
  EXPECT_EQ(esc.face, FaceNormal);
  EXPECT_EQ(esc.lines[0].x, (9 + 45 - 21) / 2); // centred
  EXPECT_EQ(esc.lines[0].y, (9 + 45 - 16) / 2);

  const struct {
    int cap;
    int face, lines;
    const char *first, *second;
  } kFits[] = {
      {1, FaceNormal, 1, "Backspace", ""}, // 63 px in 2 units' 70
      {2, FaceNormal, 2, "Caps", "Lock"},  // outer blanks gone, inner run
      {3, FaceNormal, 1, "7", ""},         // the keypad's 7 without "NumPad"
      {4, FaceSmall, 1, "Pause", ""},      // 35 px in 32: small, 25 px
      {5, FaceSmall, 2, "Right", "Ctrl"},  // no line fits but small two
      {6, FaceSmall, 1, "Hangul1234567890", ""}, // nothing fits: cut
  };
  for (const auto &f : kFits) {
    SCOPED_TRACE(f.first);
    const BoardCap &cap = plan.caps[f.cap];
    EXPECT_EQ(cap.face, f.face);
    ASSERT_EQ(cap.lineCount, f.lines);
    EXPECT_EQ(lineText(plan, f.cap, 0), f.first);
    if (f.lines == 2) {
      EXPECT_EQ(lineText(plan, f.cap, 1), f.second);
    }
    const int height = kMetrics.face[f.face].height;
    EXPECT_EQ(cap.lines[0].y, (cap.top + cap.bottom - f.lines * height) / 2);
    EXPECT_GE(cap.lines[0].x, cap.left + 2); // never left of its keycap
  }
  const BoardCap &pad7 = plan.caps[3];
  EXPECT_EQ(pad7.left, 8 + 2 * 38 + 1);
  EXPECT_EQ(pad7.top, 8 + 38 + 1);
  EXPECT_EQ(pad7.bottom, 8 + 2 * 38 - 1);

  // The widest status, with its " (no log)" (50 bytes, 350 px), outgrows
  // the 7-unit board (266 px).
  EXPECT_EQ(plan.clientWidth, 2 * 8 + 350);
  EXPECT_EQ(plan.statusY, 2 * 8 + 2 * 38);
  EXPECT_EQ(plan.verdictY, plan.statusY + 16);
  EXPECT_EQ(plan.noticeY, plan.verdictY + 16);
  EXPECT_EQ(plan.clientHeight, plan.noticeY + 16 + 8);

  // A legend takes the board label's place on the keycap, and only there.
  layoutBoardPlan(plan, board, kMetrics, perByte, nullptr,
                  {"Z", "", "\xC3\x9F"});
  EXPECT_EQ(plan.caps[0].caption, "Z");
  EXPECT_EQ(plan.caps[1].caption, "Backspace");
  EXPECT_EQ(plan.caps[2].caption, "\xC3\x9F");
  EXPECT_EQ(plan.caps[2].lineCount, 1);
  EXPECT_EQ(plan.caps[3].caption, "7");
}

// Room for a caption is the keycap less its padding, to the pixel: ten
// bytes (70 px) fill a two-unit keycap's 74 less 2 x 2; eleven do not.
TEST(BoardPlan, ACaptionAsWideAsItsRoomStaysInTheNormalFace) {
  Board board = smallBoard();
  board.keys = {key(0x10, "ABCDEFGHIJ", 0, 0, 2),
                key(0x11, "ABCDEFGHIJK", 2, 0, 2)};
  board.width = 4;
  board.height = 1;
  for (int &k : board.keyOfCode)
    k = -1;
  board.keyOfCode[0x10] = 0;
  board.keyOfCode[0x11] = 1;
  BoardPlan plan;
  layoutBoardPlan(plan, board, kMetrics, perByte, nullptr, {});
  ASSERT_EQ(plan.caps[0].right - plan.caps[0].left, 74);
  EXPECT_EQ(plan.caps[0].face, FaceNormal);
  EXPECT_EQ(plan.caps[0].lineCount, 1);
  EXPECT_EQ(plan.caps[0].lines[0].x, plan.caps[0].left + 2);
  EXPECT_EQ(plan.caps[1].face, FaceSmall);
  EXPECT_EQ(plan.caps[1].lineCount, 1);
}

namespace {

// A font that scales with the cell height: 7/16 of it a byte.
bool openScaled(void *opened, int cellHeight, BoardMetrics &metrics) {
  *static_cast<int *>(opened) = cellHeight;
  const int small = smallCellHeight(cellHeight);
  metrics = {{{cellHeight, cellHeight * 7 / 16, cellHeight},
              {small, small * 7 / 16, small}}};
  return true;
}

int scaledPerByte(void *opened, int face, const char *, int length) {
  const int cell = *static_cast<int *>(opened);
  return (face == FaceNormal ? cell : smallCellHeight(cell)) * 7 / 16 * length;
}

} // namespace

// The largest font the screen has room for; none when even the smallest
// is too large.
TEST(BoardPlan, TheWindowFitsTheScreenOrTheBoardIsRefused) {
  Board board = smallBoard();
  board.keys.push_back(key(0x39, "Space", 32, 19, 8)); // 40 x 20 units
  int opened = 0;
  BoardPlan plan;
  ASSERT_TRUE(fitBoardPlan(plan, board, {}, 2000, 2000, openScaled,
                           scaledPerByte, &opened));
  EXPECT_EQ(plan.cellHeight, kBoardCellHeight);
  ASSERT_TRUE(fitBoardPlan(plan, board, {}, 1270, 700, openScaled,
                           scaledPerByte, &opened));
  EXPECT_LT(plan.cellHeight, kBoardCellHeight);
  EXPECT_LE(plan.clientWidth, 1270);
  EXPECT_LE(plan.clientHeight, 700);
  EXPECT_EQ(opened, plan.cellHeight); // the fonts left open are the plan's
  // The largest that fits: a pixel less room takes a smaller font.
  BoardPlan smaller;
  ASSERT_TRUE(fitBoardPlan(smaller, board, {}, plan.clientWidth - 1,
                           plan.clientHeight, openScaled, scaledPerByte,
                           &opened));
  EXPECT_EQ(smaller.cellHeight, plan.cellHeight - 1);
  EXPECT_FALSE(fitBoardPlan(plan, board, {}, 400, 300, openScaled,
                            scaledPerByte, &opened));
  EXPECT_EQ(opened, kMinBoardCellHeight);
}

TEST(BoardPlan, ColoursStatusNoticeAndVerdictFollowTheProgress) {
  Board board = smallBoard();
  board.keys.resize(5);
  BoardPlan plan;
  layoutBoardPlan(plan, board, kMetrics, perByte, nullptr, {});
  BoardProgress progress;
  startBoardProgress(progress, board, 30);
  applyTransition(progress, 0, true, 100); // Esc tested
  applyTransition(progress, 0, false, 150);
  applyTransition(progress, 1, true, 200); // Backspace held
  colourBoardPlan(plan, progress);
  const struct {
    int cap;
    uint32_t fill, text;
  } kColours[] = {{0, kTestedFillColor, kTestedTextColor},
                  {1, kHeldFillColor, kHeldTextColor},
                  {2, kNeverFillColor, kNeverTextColor}};
  for (const auto &c : kColours) {
    EXPECT_EQ(plan.caps[c.cap].fill, c.fill) << c.cap;
    EXPECT_EQ(plan.caps[c.cap].text, c.text) << c.cap;
    EXPECT_FALSE(plan.caps[c.cap].chatter) << c.cap;
  }
  // Tested, held and left add up to the board's keys.
  EXPECT_EQ(plan.status, "tested 1 of 5 \xC2\xB7 1 held \xC2\xB7 3 left");
  EXPECT_EQ(plan.verdict, "");
  EXPECT_EQ(plan.notice, "");
  // Where the log goes, until there is a verdict to show.
  noteBoardLogState(plan, true, "~/Corvanekeyboardchecker.log");
  EXPECT_EQ(plan.verdict, "log: ~/Corvanekeyboardchecker.log");
  EXPECT_EQ(plan.verdictColor, kStatusTextColor);
  // Keys off the board: counted, the last named, on the notice line, with
  // whatever the front end adds.
  applyOffBoardTransition(progress, 0x56, true);
  applyOffBoardTransition(progress, 0x56, false);
  applyOffBoardTransition(progress, 0xDB, true);
  colourBoardPlan(plan, progress);
  addBoardNotice(plan, "keyboard not held");
  EXPECT_EQ(plan.notice, "2 off the board, the last: LWin \xC2\xB7 keyboard "
                         "not held");
  EXPECT_EQ(plan.status, "tested 1 of 5 \xC2\xB7 1 held \xC2\xB7 3 left");

  applyTransition(progress, 1, false, 300);
  for (int k = 2; k < 5; ++k) {
    applyTransition(progress, k, true, 400 + 100 * k);
    applyTransition(progress, k, false, 450 + 100 * k);
  }
  colourBoardPlan(plan, progress);
  EXPECT_EQ(plan.status, "tested 5 of 5 \xC2\xB7 0 held \xC2\xB7 0 left");
  noteBoardLogState(plan, true, "~/Corvanekeyboardchecker.log");
  EXPECT_EQ(plan.verdict, "PASS");
  noteBoardLogState(plan, false, "~/Corvanekeyboardchecker.log");
  EXPECT_EQ(plan.status,
            "tested 5 of 5 \xC2\xB7 0 held \xC2\xB7 0 left (no log)");
  EXPECT_EQ(plan.verdict, "PASS");
  EXPECT_EQ(plan.verdictColor, kPassColor);

  // NumPad 7 down again 5 ms after its up: marked, and the verdict turns;
  // held again, it counts as held, not tested.
  applyTransition(progress, 3, true, 755);
  colourBoardPlan(plan, progress);
  EXPECT_TRUE(plan.caps[3].chatter);
  EXPECT_EQ(plan.caps[3].fill, kHeldFillColor);
  EXPECT_FALSE(plan.caps[2].chatter);
  EXPECT_EQ(plan.status, "tested 4 of 5 \xC2\xB7 1 held \xC2\xB7 0 left");
  EXPECT_EQ(plan.verdict, "FAIL: 1 held, 1 chattered");
  EXPECT_EQ(plan.verdictColor, kFailColor);
}
