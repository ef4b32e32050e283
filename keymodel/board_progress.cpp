// The rules of a test in one place: what makes a key tested, held or a
// chatterer, and what makes a board pass. Both the live window and the
// report apply them, so they can never disagree about a key.
#include "keymodel/board_progress.h"

void startBoardProgress(BoardProgress &progress, const Board &board,
                        double chatterMs) {
  progress.board = &board;
  progress.chatterMs = chatterMs;
  progress.keys.assign(board.keys.size(), KeyProgress{false, false, false, 0, 0,
                                                      kNoTime, kNoTime});
  progress.tested = progress.held = progress.chattered = 0;
  for (int code = 0; code < 256; ++code)
    progress.offBoardDown[code] = progress.offBoardSeen[code] = false;
  progress.offBoard = 0;
  progress.lastOffBoard = -1;
}

bool applyOffBoardTransition(BoardProgress &progress, uint8_t code, bool down) {
  if (progress.offBoardDown[code] == down)
    return false;
  progress.offBoardDown[code] = down;
  if (down) {
    progress.offBoard += progress.offBoardSeen[code] ? 0 : 1;
    progress.offBoardSeen[code] = true;
    progress.lastOffBoard = code;
  }
  return true;
}

BoardCounts countBoard(const BoardProgress &progress) {
  BoardCounts counts{0, 0, 0};
  for (const KeyProgress &k : progress.keys)
    ++(k.down ? counts.held : k.tested ? counts.tested : counts.left);
  return counts;
}

void applyTransition(BoardProgress &progress, int key, bool down,
                     double timeMs) {
  if (key < 0 || key >= static_cast<int>(progress.keys.size()))
    return;
  KeyProgress &k = progress.keys[key];
  if (down) {
    ++k.presses;
    if (k.down)
      return;
    k.down = true;
    ++progress.held;
    // Only two known times make a gap: a log without times shows none.
    if (timeMs != kNoTime && k.lastUpMs != kNoTime) {
      const double gap = timeMs - k.lastUpMs;
      if (k.shortestGapMs == kNoTime || gap < k.shortestGapMs)
        k.shortestGapMs = gap;
      if (gap >= 0 && gap < progress.chatterMs) {
        ++k.chatters;
        progress.chattered += k.chattered ? 0 : 1;
        k.chattered = true;
      }
    }
    return;
  }
  if (!k.down)
    return;
  k.down = false;
  --progress.held;
  progress.tested += k.tested ? 0 : 1;
  k.tested = true;
  k.lastUpMs = timeMs;
}

void judgeBoard(const BoardProgress &progress, Verdict &verdict) {
  verdict.untested.clear();
  verdict.held.clear();
  verdict.chattered.clear();
  for (int i = 0; i < static_cast<int>(progress.keys.size()); ++i) {
    const KeyProgress &k = progress.keys[i];
    if (!k.tested && !k.down) // a key down since its first press is held
      verdict.untested.push_back(i);
    if (k.down)
      verdict.held.push_back(i);
    if (k.chattered)
      verdict.chattered.push_back(i);
  }
  verdict.pass = verdict.untested.empty() && verdict.held.empty() &&
                 verdict.chattered.empty();
}
