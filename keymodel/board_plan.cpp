// The board window's arrangement. The key unit follows the font, never a
// label: a keycap holds two lines of text or four characters on one. A
// caption that does not fit goes on two lines, then into the small face,
// and is cut at its keycap's edge only when nothing else fits; so a long
// label never widens every key, and the window fits the screen by taking
// a smaller font rather than a wider one.
#include "keymodel/board_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "keymodel/key_tables.h"
#include "keymodel/station_plan.h"

namespace {

constexpr char kDot[] = " \xC2\xB7 "; // " · "

struct Span {
  int offset, length, width;
};

// What a keycap shows of the board's label: no outer blanks, and a keypad
// key without the "NumPad " the log needs to tell it from its twin in the
// main block; on the board its place says as much.
std::string boardCaption(const std::string &label) {
  static const std::string keypad = kNumPadPrefix;
  size_t begin = label.find_first_not_of(' ');
  if (begin == std::string::npos)
    return "";
  if (label.compare(begin, keypad.size(), keypad) == 0 &&
      label.find_first_not_of(' ', begin + keypad.size()) != std::string::npos)
    begin = label.find_first_not_of(' ', begin + keypad.size());
  const size_t end = label.find_last_not_of(' ') + 1;
  return label.substr(begin, end - begin);
}

struct Measure {
  MeasureText measure;
  void *context;
  int width(int face, const std::string &text, Span &span) const {
    span.width = measure(context, face, text.data() + span.offset, span.length);
    return span.width;
  }
};

// The two lines a caption breaks into whose wider line is the narrowest;
// false for a caption without an inner blank.
bool bestBreak(const std::string &text, int face, const Measure &m,
               Span (&lines)[2]) {
  const int end = int(text.size());
  int best = -1;
  for (int i = 1; i < end; ++i) {
    if (text[i] != ' ' || text[i - 1] == ' ')
      continue;
    int next = i;
    while (text[next] == ' ')
      ++next;
    Span first{0, i, 0}, second{next, end - next, 0};
    const int wider =
        std::max(m.width(face, text, first), m.width(face, text, second));
    if (best < 0 || wider < best) {
      best = wider;
      lines[0] = first;
      lines[1] = second;
    }
  }
  return best >= 0;
}

struct CaptionFit {
  int face, lineCount;
  Span lines[2];
};

// The first way the caption fits its room: one line, then two, in the
// normal face, then the same in the small one; else one line in the
// small face, cut at the keycap's edge.
CaptionFit fitCaption(const std::string &text, int room, int roomHeight,
                      const BoardMetrics &metrics, const Measure &m) {
  CaptionFit fit{};
  for (int face : {FaceNormal, FaceSmall}) {
    const int h = metrics.face[face].height;
    fit.face = face;
    fit.lineCount = 1;
    fit.lines[0] = {0, int(text.size()), 0};
    if (m.width(face, text, fit.lines[0]) <= room && h <= roomHeight)
      return fit;
    Span broken[2];
    if (2 * h <= roomHeight && bestBreak(text, face, m, broken) &&
        std::max(broken[0].width, broken[1].width) <= room) {
      fit.lineCount = 2;
      fit.lines[0] = broken[0];
      fit.lines[1] = broken[1];
      return fit;
    }
  }
  fit.lineCount = 1;
  fit.lines[0] = {0, int(text.size()), 0};
  m.width(FaceSmall, text, fit.lines[0]);
  return fit;
}

int scaled(double units, int unit) { return int(std::lround(units * unit)); }

} // namespace

int smallCellHeight(int cellHeight) {
  return std::max(7, (cellHeight * 5 + 3) / 7);
}

void layoutBoardPlan(BoardPlan &plan, const Board &board,
                     const BoardMetrics &metrics, MeasureText measure,
                     void *context, const std::vector<std::string> &legends,
                     bool station) {
  const Measure m{measure, context};
  const int h = metrics.face[FaceNormal].height;
  // Tight, so a full-size board at a 16-pixel font stays under 1024
  // pixels wide.
  const int pad = std::max(1, h / 8);  // text to the keycap's edge
  const int gap = std::max(1, h / 16); // keycap to its key unit's edge
  const int margin = std::max(4, h / 2);
  const int inset = 2 * (pad + gap);
  const int fourDigits = measure(context, FaceNormal, "0000", 4);
  const int unit = std::max(2 * h, fourDigits) + inset;
  plan.board = &board;
  plan.cellHeight = h;
  plan.unit = unit;
  plan.frame = std::max(2, h / 6);
  plan.caps.assign(board.keys.size(), BoardCap{});

  double right = 0, bottom = 0;
  for (size_t i = 0; i < board.keys.size(); ++i) {
    const BoardKey &key = board.keys[i];
    right = std::max(right, key.x + key.w);
    bottom = std::max(bottom, key.y + key.h);
    BoardCap &cap = plan.caps[i];
    cap.left = margin + scaled(key.x, unit) + gap;
    cap.top = margin + scaled(key.y, unit) + gap;
    cap.right = margin + scaled(key.x + key.w, unit) - gap;
    cap.bottom = margin + scaled(key.y + key.h, unit) - gap;
    const bool legend = i < legends.size() && !legends[i].empty();
    cap.caption = legend ? legends[i] : boardCaption(key.label);
    const CaptionFit fit =
        fitCaption(cap.caption, cap.right - cap.left - 2 * pad,
                   cap.bottom - cap.top - 2 * pad, metrics, m);
    cap.face = fit.face;
    cap.lineCount = fit.lineCount;
    const int lineHeight = metrics.face[fit.face].height;
    const int top = (cap.top + cap.bottom - cap.lineCount * lineHeight) / 2;
    for (int l = 0; l < cap.lineCount; ++l) {
      const Span &span = fit.lines[l];
      cap.lines[l] = {
          std::max(cap.left + pad, (cap.left + cap.right - span.width) / 2),
          top + l * lineHeight, span.offset, span.length};
    }
  }

  // The window keeps its size as the counts change: room for the widest
  // status and verdict a board of up to 999 keys can show.
  const std::string widest[] = {std::string("tested 888 of 888") + kDot +
                                    "888 held" + kDot + "888 left (no log)",
                                "FAIL: 888 held, 888 chattered"};
  int textWidth = 0;
  for (const std::string &text : widest)
    textWidth = std::max(
        textWidth, measure(context, FaceNormal, text.data(), int(text.size())));
  plan.verdict.clear();
  plan.notice.clear();
  plan.verdictColor = kPassColor;
  plan.statusX = plan.verdictX = plan.noticeX = margin;
  plan.statusY = 2 * margin + scaled(bottom, unit);
  plan.verdictY = plan.statusY + h;
  plan.noticeY = plan.verdictY + h;
  plan.clientWidth = 2 * margin + std::max(scaled(right, unit), textWidth);
  plan.clientHeight = plan.noticeY + h + margin;
  plan.station = StationLines{};
  if (station)
    layoutStationLines(plan, h, margin, measure, context);
}

bool fitBoardPlan(BoardPlan &plan, const Board &board,
                  const std::vector<std::string> &legends, int maxWidth,
                  int maxHeight, OpenBoardFonts open, MeasureText measure,
                  void *context, bool station) {
  for (int cell = kBoardCellHeight; cell >= kMinBoardCellHeight; --cell) {
    BoardMetrics metrics;
    if (!open(context, cell, metrics))
      continue;
    layoutBoardPlan(plan, board, metrics, measure, context, legends, station);
    plan.cellHeight = cell;
    if (plan.clientWidth <= maxWidth && plan.clientHeight <= maxHeight)
      return true;
  }
  return false;
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
  std::snprintf(text, sizeof text, "tested %d of %d%s%d held%s%d left",
                counts.tested, count, kDot, counts.held, kDot, counts.left);
  plan.status = text;
  plan.notice.clear();
  if (progress.offBoard > 0) {
    std::snprintf(text, sizeof text,
                  "%d off the board, the last: ", progress.offBoard);
    plan.notice =
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

void noteBoardLogState(BoardPlan &plan, bool logging,
                       const std::string &logPlace) {
  if (!logging) {
    plan.status += " (no log)";
  } else if (plan.verdict.empty() && !logPlace.empty()) {
    plan.verdict = "log: " + logPlace;
    plan.verdictColor = kStatusTextColor;
  }
}

void addBoardNotice(BoardPlan &plan, const std::string &notice) {
  plan.notice += (plan.notice.empty() ? "" : kDot) + notice;
}
