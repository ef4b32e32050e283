// The board window's arrangement. The key unit is found from the font: a
// keycap holds two lines of text, and the widest label fits its keycap,
// broken at a blank when one line would not fit. So a board's window grows
// with the font rather than cutting labels off.
#include "keymodel/board_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "keymodel/key_tables.h"

namespace {

struct Span {
  int offset, length, width;
};

// What a keycap shows of its label: no outer blanks, and a keypad key
// without the "NumPad " the log needs to tell it from its twin in the main
// block; on the board its place says as much, and a board of keycaps wide
// enough for "NumPad" would not fit a laptop's screen.
Span trimmed(const std::string &label) {
  static const std::string keypad = kNumPadPrefix;
  size_t begin = label.find_first_not_of(' ');
  if (begin == std::string::npos)
    return {0, 0, 0};
  if (label.compare(begin, keypad.size(), keypad) == 0 &&
      label.find_first_not_of(' ', begin + keypad.size()) != std::string::npos)
    begin = label.find_first_not_of(' ', begin + keypad.size());
  size_t end = label.find_last_not_of(' ') + 1;
  return {int(begin), int(end - begin), 0};
}

int measured(const std::string &label, Span &span, MeasureText measure,
             void *context) {
  span.width = measure(context, label.data() + span.offset, span.length);
  return span.width;
}

// The two lines a label breaks into whose wider line is the narrowest;
// false for a label without an inner blank.
bool bestBreak(const std::string &label, const Span &whole, Span (&lines)[2],
               MeasureText measure, void *context) {
  const int end = whole.offset + whole.length;
  int best = -1;
  for (int i = whole.offset + 1; i < end; ++i) {
    if (label[i] != ' ' || label[i - 1] == ' ')
      continue;
    int next = i;
    while (label[next] == ' ')
      ++next;
    Span first{whole.offset, i - whole.offset, 0};
    Span second{next, end - next, 0};
    const int wider = std::max(measured(label, first, measure, context),
                               measured(label, second, measure, context));
    if (best < 0 || wider < best) {
      best = wider;
      lines[0] = first;
      lines[1] = second;
    }
  }
  return best >= 0;
}

int scaled(double units, int unit) { return int(std::lround(units * unit)); }

} // namespace

void layoutBoardPlan(BoardPlan &plan, const Board &board,
                     const GridMetrics &metrics, MeasureText measure,
                     void *context) {
  const int h = metrics.height;
  // Tight, so a full-size board at a 16-pixel font stays under 1024
  // pixels wide.
  const int pad = std::max(1, h / 8);  // text to the keycap's edge
  const int gap = std::max(1, h / 16); // keycap to its key unit's edge
  const int margin = std::max(4, h / 2);
  const int inset = 2 * (pad + gap);
  int unit = 2 * h + inset;
  plan.board = &board;
  plan.frame = std::max(2, h / 6);
  plan.caps.assign(board.keys.size(), BoardCap{});

  // Each label's lines first, then the unit its widest line needs.
  std::vector<Span> spans(2 * board.keys.size());
  const int twoLineUnit = unit;
  double right = 0, bottom = 0;
  for (size_t i = 0; i < board.keys.size(); ++i) {
    const BoardKey &key = board.keys[i];
    right = std::max(right, key.x + key.w);
    bottom = std::max(bottom, key.y + key.h);
    Span *lines = &spans[2 * i];
    lines[0] = trimmed(key.label);
    int need = measured(key.label, lines[0], measure, context);
    Span broken[2];
    if (need > key.w * twoLineUnit - inset &&
        bestBreak(key.label, lines[0], broken, measure, context) &&
        std::max(broken[0].width, broken[1].width) < need) {
      lines[0] = broken[0];
      lines[1] = broken[1];
      plan.caps[i].lineCount = 2;
      need = std::max(broken[0].width, broken[1].width);
    } else {
      plan.caps[i].lineCount = 1;
    }
    unit = std::max(unit, int(std::ceil((need + inset) / key.w)));
  }
  plan.unit = unit;

  for (size_t i = 0; i < board.keys.size(); ++i) {
    const BoardKey &key = board.keys[i];
    BoardCap &cap = plan.caps[i];
    cap.left = margin + scaled(key.x, unit) + gap;
    cap.top = margin + scaled(key.y, unit) + gap;
    cap.right = margin + scaled(key.x + key.w, unit) - gap;
    cap.bottom = margin + scaled(key.y + key.h, unit) - gap;
    const int top = (cap.top + cap.bottom - cap.lineCount * h) / 2;
    for (int l = 0; l < cap.lineCount; ++l) {
      const Span &span = spans[2 * i + l];
      cap.lines[l] = {(cap.left + cap.right - span.width) / 2, top + l * h,
                      span.offset, span.length};
    }
  }

  // The window keeps its size as the counts change: room for the widest
  // status and verdict a board of up to 999 keys can show.
  const std::string widest[] = {
      "tested 888 of 888 \xC2\xB7 888 held \xC2\xB7 888 left \xC2\xB7 "
      "888 off the board: NumPad Sep (no log)",
      "FAIL: 888 held, 888 chattered"};
  int textWidth = 0;
  for (const std::string &text : widest)
    textWidth =
        std::max(textWidth, measure(context, text.data(), int(text.size())));
  plan.verdict.clear();
  plan.notice.clear();
  plan.verdictColor = kPassColor;
  plan.statusX = plan.verdictX = plan.noticeX = margin;
  plan.statusY = 2 * margin + scaled(bottom, unit);
  plan.verdictY = plan.statusY + h;
  plan.noticeY = plan.verdictY + h;
  plan.clientWidth = 2 * margin + std::max(scaled(right, unit), textWidth);
  plan.clientHeight = plan.noticeY + h + margin;
}

void colourBoardPlan(BoardPlan &plan, const BoardProgress &progress) {
  const int count = int(plan.caps.size());
  for (int i = 0; i < count; ++i) {
    const KeyProgress &key = progress.keys[i];
    BoardCap &cap = plan.caps[i];
    cap.fill = key.down     ? kHeldFillColor
               : key.tested ? kTestedFillColor
                            : kNeverFillColor;
    cap.text = key.down     ? kHeldTextColor
               : key.tested ? kTestedTextColor
                            : kNeverTextColor;
    cap.chatter = key.chattered;
  }
  char text[96];
  const BoardCounts counts = countBoard(progress);
  std::snprintf(text, sizeof text,
                "tested %d of %d \xC2\xB7 %d held \xC2\xB7 %d left",
                counts.tested, count, counts.held, counts.left);
  plan.status = text;
  if (progress.offBoard > 0) {
    std::snprintf(text, sizeof text,
                  " \xC2\xB7 %d off the board: ", progress.offBoard);
    plan.status +=
        text + offBoardLabel(*plan.board, uint8_t(progress.lastOffBoard));
  }

  plan.verdict.clear();
  if (progress.tested < count)
    return;
  Verdict verdict;
  judgeBoard(progress, verdict);
  plan.verdictColor = verdict.pass ? kPassColor : kFailColor;
  if (verdict.pass) {
    plan.verdict = "PASS";
    return;
  }
  // The keys themselves are marked on the board; the line gives counts.
  std::snprintf(text, sizeof text, "FAIL: %d held, %d chattered",
                int(verdict.held.size()), int(verdict.chattered.size()));
  plan.verdict = text;
}

void noteBoardLogState(BoardPlan &plan, bool logging) {
  if (!logging)
    plan.status += " (no log)";
}
