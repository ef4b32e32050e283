// The rules for one line. A line that does not fit becomes an anomaly and
// changes no state, so a cut or foreign line can never make a key look
// tested or held. What a transition means for its key is the key model's
// progress; this file only finds the key and watches the close gesture.
#include "report/log_tally.h"

#include <cstring>

#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"

namespace {

constexpr size_t kClosingJPLength = sizeof kClosingLineJP - 2; // no LF
constexpr size_t kClosingUSLength = sizeof kClosingLineUS - 2;

void addAnomaly(Tally &tally, long long line, const char *reason) {
  if (tally.anomalyCount < kKeptAnomalies)
    tally.anomalies[tally.anomalyCount] = {line, reason};
  ++tally.anomalyCount;
}

void addAnomalyToAll(LogReading &reading, const char *reason) {
  for (Tally &tally : reading.tally)
    addAnomaly(tally, reading.lines, reason);
}

int keyLabelled(const Tally &tally, const char *label) {
  const auto found = tally.keyOfLabel.find(label);
  return found == tally.keyOfLabel.end() ? -1 : found->second;
}

void startTally(Tally &tally, const Board &board, double chatterMs) {
  tally = Tally{};
  tally.board = &board;
  for (size_t i = 0; i < board.keys.size(); ++i)
    tally.keyOfLabel[board.keys[i].label] = static_cast<int>(i);
  startBoardProgress(tally.progress, board, chatterMs);
  tally.f4 = keyLabelled(tally, "F4");
  tally.alts[0] = keyLabelled(tally, "LAlt");
  tally.alts[1] = keyLabelled(tally, "RAlt");
  tally.gestureF4 = tally.gestureAlt = tally.lastAlt = -1;
  const bool backslash = keyLabelled(tally, "\\") >= 0;
  tally.yen = backslash ? -1 : keyLabelled(tally, "Yen");
  tally.ro = backslash ? -1 : keyLabelled(tally, "Ro");
}

bool isDown(const Tally &tally, int key) {
  return key >= 0 && tally.progress.keys[key].down;
}

// An F4 down with an Alt down is the checker being closed; the Alt is the
// one pressed last when both are down.
void noteGesture(Tally &tally, int key, bool down) {
  const int *alts = tally.alts;
  if (!down) {
    tally.gestureF4 = key == tally.gestureF4 ? -1 : tally.gestureF4;
    tally.gestureAlt = key == tally.gestureAlt ? -1 : tally.gestureAlt;
  } else if (key == alts[0] || key == alts[1]) {
    tally.lastAlt = key;
  } else if (key == tally.f4) {
    const int other = tally.lastAlt == alts[0] ? alts[1] : alts[0];
    const int alt = isDown(tally, tally.lastAlt) ? tally.lastAlt
                    : isDown(tally, other)       ? other
                                                 : -1;
    if (alt >= 0) {
      tally.gestureF4 = key;
      tally.gestureAlt = alt;
    }
  }
}

void noteForeign(Tally &tally, const std::string &label) {
  ++tally.foreignLines;
  for (ForeignLabel &foreign : tally.foreign)
    if (foreign.label == label)
      return static_cast<void>(++foreign.lines);
  if (tally.foreign.size() < kKeptForeign)
    tally.foreign.push_back({label, 1});
}

void apply(Tally &tally, const LogReading &reading, int key, bool down,
           double ms) {
  const long long line = reading.lines;
  KeyProgress &k = tally.progress.keys[key];
  if (down && k.down)
    return addAnomaly(tally, line, "down while already down");
  if (!down && !k.down)
    return addAnomaly(tally, line, "up while not down");
  // A watch reads lines without times in batches: two in one batch have
  // no known gap.
  if (down && reading.now != kNoTime && ms == reading.now && k.lastUpMs == ms)
    ms = kNoTime;
  const uint32_t chatters = k.chatters;
  const double lastUp = k.lastUpMs;
  applyTransition(tally.progress, key, down, ms);
  if (k.chatters != chatters) {
    if (tally.chatterCount < kKeptChatter)
      tally.chatter[tally.chatterCount] = {key, ms - lastUp, line};
    ++tally.chatterCount;
  }
  tally.keysDown += down ? 1 : -1;
  if (tally.keysDown > tally.maxHeld)
    tally.maxHeld = tally.keysDown;
  noteGesture(tally, key, down);
}

// Yen and Ro both write "\": one down is either, so neither is known
// tested until two are down at once, which can only be both.
void applyBackslash(Tally &tally, const LogReading &reading, bool down,
                    double ms) {
  if (down && tally.backslashes == 2)
    return addAnomaly(tally, reading.lines, "down while already down");
  if (!down && tally.backslashes == 0)
    return addAnomaly(tally, reading.lines, "up while not down");
  ++tally.keyLines;
  tally.backslashes += down ? 1 : -1;
  if (down && tally.backslashes == 2) {
    if (!tally.backslashesKnown)
      apply(tally, reading, tally.yen, true, ms);
    tally.backslashesKnown = true;
    apply(tally, reading, tally.ro, true, ms);
  } else if (tally.backslashesKnown) {
    apply(tally, reading, tally.backslashes == 1 ? tally.ro : tally.yen, down,
          ms);
    tally.backslashesKnown = tally.backslashes > 0;
  }
}

void applyLine(LogReading &reading, const std::string &label, bool down,
               double ms) {
  for (Tally &tally : reading.tally) {
    const int key = keyLabelled(tally, label.c_str());
    if (key >= 0) {
      ++tally.keyLines;
      apply(tally, reading, key, down, ms);
    } else if (label == "\\" && tally.yen >= 0 && tally.ro >= 0) {
      applyBackslash(tally, reading, down, ms);
    } else {
      noteForeign(tally, label);
    }
  }
}

} // namespace

void startLogReading(LogReading &reading, const std::vector<Board> &boards,
                     double chatterMs) {
  if (&boards != &reading.boards)
    reading.boards = boards;
  reading.tally.assign(reading.boards.size(), Tally{});
  for (size_t i = 0; i < reading.boards.size(); ++i)
    startTally(reading.tally[i], reading.boards[i], chatterMs);
  reading.lines = 0;
  reading.closed = reading.classicClosing = reading.timed = false;
  reading.closingLayout = LayoutUnset;
  reading.closingBoard.clear();
  reading.now = kNoTime;
  reading.chatterMs = chatterMs;
  reading.lastIsKey = false;
}

void readLogLine(LogReading &reading, const NameTable &names,
                 const Line &line) {
  const char *text = line.text;
  size_t length = line.length;
  reading.lastIsKey = false;
  // An editor that saved the log again may have put a byte-order mark in
  // front and dropped the last line end.
  if (++reading.lines == 1 && length >= 3 &&
      std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
    text += 3, length -= 3;
  const bool jp = length == kClosingJPLength &&
                  std::memcmp(text, kClosingLineJP, length) == 0;
  const bool classic = jp || (length == kClosingUSLength &&
                              std::memcmp(text, kClosingLineUS, length) == 0);
  std::string board;
  const bool closing = classic || parseBoardClosingLine(text, length, board);
  if (!line.terminated && !closing)
    return addAnomalyToAll(reading, "no line end");
  if (reading.closed)
    return addAnomalyToAll(reading, "after the closing line");
  if (closing) {
    reading.closed = true;
    reading.classicClosing = classic;
    reading.closingLayout = classic ? (jp ? LayoutJP : LayoutUS) : LayoutUnset;
    reading.closingBoard = board;
    return;
  }
  LogTransition transition;
  if (!parseLogTransition(text, length, transition))
    return addAnomalyToAll(reading, "not a log line");
  const char *label = transition.label.data();
  size_t labelLength = transition.label.size();
  trimBlanks(label, labelLength);
  // A classic log's labels are code page 932; the boards' are UTF-8.
  const int name = findName(names, label, labelLength);
  reading.lastLabel = name >= 0 ? std::string(names.names[name].utf8)
                                : std::string(label, labelLength);
  reading.lastIsKey = true;
  reading.lastDown = transition.down;
  reading.timed = reading.timed || transition.ms >= 0;
  const double ms =
      transition.ms >= 0 ? static_cast<double>(transition.ms) : reading.now;
  applyLine(reading, reading.lastLabel, transition.down, ms);
}
