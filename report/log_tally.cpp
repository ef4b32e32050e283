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
// Alt+F4 by its keys' scan codes: a board file names its keys as it likes.
constexpr uint8_t kCodeF4 = 0x3E, kCodeLAlt = 0x38, kCodeRAlt = 0xB8;

void addAnomaly(Tally &tally, long long line, const char *reason) {
  if (tally.anomalyCount < kKeptAnomalies)
    tally.anomalies[tally.anomalyCount] = {line, reason};
  ++tally.anomalyCount;
}

void addAnomalyToAll(LogReading &reading, const char *reason) {
  for (Tally &tally : reading.tally)
    addAnomaly(tally, reading.lines, reason);
}

int labelId(const LogReading &reading, const std::string &label) {
  const auto found = reading.labelIds.find(label);
  return found == reading.labelIds.end() ? -1 : found->second;
}

int keyLabelled(const Tally &tally, const LogReading &reading,
                const std::string &label) {
  const int id = labelId(reading, label);
  return id < 0 ? -1 : tally.keyOfLabel[id];
}

void startTally(Tally &tally, const LogReading &reading, const Board &board,
                double chatterMs) {
  tally = Tally{};
  tally.board = &board;
  tally.active = true;
  tally.keyOfLabel.assign(reading.labelIds.size(), -1);
  tally.foreignSlot.assign(reading.labelIds.size(), -1);
  for (size_t i = 0; i < board.keys.size(); ++i)
    tally.keyOfLabel[labelId(reading, board.keys[i].label)] =
        static_cast<int>(i);
  startBoardProgress(tally.progress, board, chatterMs);
  tally.f4 = board.keyOfCode[kCodeF4];
  tally.alts[0] = board.keyOfCode[kCodeLAlt];
  tally.alts[1] = board.keyOfCode[kCodeRAlt];
  tally.gestureF4 = tally.gestureAlt = tally.lastAlt = -1;
  const bool backslash = keyLabelled(tally, reading, "\\") >= 0;
  tally.yen = backslash ? -1 : keyLabelled(tally, reading, "Yen");
  tally.ro = backslash ? -1 : keyLabelled(tally, reading, "Ro");
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

// id is the label's number, -1 past the numbers kept.
void noteForeign(Tally &tally, int id, const std::string &label) {
  ++tally.foreignLines;
  if (id < 0)
    return;
  int &slot = tally.foreignSlot[id];
  if (slot >= 0)
    ++tally.foreign[slot].lines;
  else if (tally.foreign.size() < kKeptForeign)
    slot = static_cast<int>(tally.foreign.size()),
    tally.foreign.push_back({label, 1});
}

// Labels no board has are numbered as they come, up to a limit, so a
// long log of them costs one lookup a line and bounded memory.
int numberLabel(LogReading &reading, const std::string &label) {
  const int known = labelId(reading, label);
  if (known >= 0 || reading.labelIds.size() >= kMaxLabelIds)
    return known;
  const int id = static_cast<int>(reading.labelIds.size());
  reading.labelIds.emplace(label, id);
  reading.lastMs.push_back(0);
  for (Tally &tally : reading.tally) {
    tally.keyOfLabel.push_back(-1);
    tally.foreignSlot.push_back(-1);
  }
  return id;
}

// stamped: ms is the time the watch read the line, not the log's own.
void apply(Tally &tally, const LogReading &reading, int key, bool down,
           double ms, bool stamped) {
  const long long line = reading.lines;
  KeyProgress &k = tally.progress.keys[key];
  if (down && k.down)
    return addAnomaly(tally, line, "down while already down");
  if (!down && !k.down)
    return addAnomaly(tally, line, "up while not down");
  // A watch reads lines without times in batches: two in one batch have
  // no known gap.
  if (down && stamped && k.lastUpMs == ms)
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
                    double ms, bool stamped) {
  if (down && tally.backslashes == 2)
    return addAnomaly(tally, reading.lines, "down while already down");
  if (!down && tally.backslashes == 0)
    return addAnomaly(tally, reading.lines, "up while not down");
  ++tally.keyLines;
  tally.backslashes += down ? 1 : -1;
  if (down && tally.backslashes == 2) {
    if (!tally.backslashesKnown)
      apply(tally, reading, tally.yen, true, ms, stamped);
    tally.backslashesKnown = true;
    apply(tally, reading, tally.ro, true, ms, stamped);
  } else if (tally.backslashesKnown) {
    apply(tally, reading, tally.backslashes == 1 ? tally.ro : tally.yen, down,
          ms, stamped);
    tally.backslashesKnown = tally.backslashes > 0;
  }
}

// id is the label's number, -1 past the numbers kept.
void applyLine(LogReading &reading, int id, bool down, double ms,
               bool stamped) {
  const std::string &label = reading.lastLabel;
  for (Tally &tally : reading.tally) {
    const int key = id < 0 ? -1 : tally.keyOfLabel[id];
    if (!tally.active) {
      continue;
    } else if (key >= 0) {
      ++tally.keyLines;
      apply(tally, reading, key, down, ms, stamped);
    } else if (label == "\\" && tally.yen >= 0 && tally.ro >= 0) {
      applyBackslash(tally, reading, down, ms, stamped);
    } else {
      noteForeign(tally, id, label);
    }
  }
}

// The run's own chatter time, unless --chatter asked for another.
void takeOpening(LogReading &reading) {
  reading.opened = reading.timed = true;
  if (reading.chatterGiven)
    return;
  reading.chatterMs = reading.opening.chatterMs;
  for (Tally &tally : reading.tally)
    tally.progress.chatterMs = reading.opening.chatterMs;
}

} // namespace

void startLogReading(LogReading &reading, const std::vector<Board> &boards,
                     double chatterMs) {
  reading.chatterGiven = chatterMs != kNoTime;
  if (!reading.chatterGiven)
    chatterMs = kDefaultChatterMs;
  if (&boards != &reading.boards)
    reading.boards = boards;
  reading.labelIds.clear();
  for (const Board &board : reading.boards)
    for (const BoardKey &key : board.keys)
      reading.labelIds.emplace(key.label, reading.labelIds.size());
  reading.tally.assign(reading.boards.size(), Tally{});
  for (size_t i = 0; i < reading.boards.size(); ++i)
    startTally(reading.tally[i], reading, reading.boards[i], chatterMs);
  reading.lines = 0;
  reading.closed = reading.classicClosing = reading.timed = false;
  reading.transitionSeen = false;
  reading.lastMs.assign(reading.labelIds.size(), 0);
  reading.closingLayout = LayoutUnset;
  reading.closingBoard.clear();
  reading.opened = false;
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
  if (reading.lines == 1 && parseBoardOpening(text, length, reading.opening))
    return takeOpening(reading);
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
  // No checker writes a control byte; a NUL would cut the label short.
  for (char c : transition.label)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return addAnomalyToAll(reading, "not a log line");
  const bool hasTime = transition.ms >= 0;
  if (!reading.transitionSeen && !reading.opened)
    reading.timed = hasTime;
  // A log that contradicts itself changes nothing: a line of the other
  // kind is no checker's, and a key's time going back would hide a bounce.
  if (hasTime != reading.timed)
    return addAnomalyToAll(reading, hasTime ? "a time in an untimed log"
                                            : "no time in a timed log");
  const char *label = transition.label.data();
  size_t labelLength = transition.label.size();
  trimBlanks(label, labelLength);
  // A classic log's labels are code page 932; the boards' are UTF-8.
  bool ascii = true;
  for (size_t i = 0; i < labelLength; ++i)
    ascii = ascii && static_cast<unsigned char>(label[i]) < 0x80;
  const int name = ascii ? -1 : findName(names, label, labelLength);
  reading.lastLabel = name >= 0 ? std::string(names.names[name].utf8)
                                : std::string(label, labelLength);
  const int id = numberLabel(reading, reading.lastLabel);
  long long *lastMs = hasTime && id >= 0 ? &reading.lastMs[id] : nullptr;
  if (lastMs != nullptr && transition.ms < *lastMs)
    return addAnomalyToAll(reading, "time went back");
  if (lastMs != nullptr)
    *lastMs = transition.ms;
  reading.lastIsKey = true;
  reading.lastDown = transition.down;
  // Only a board run logs times: a log that starts without them is a
  // classic checker's, whose board is us101 or jp106, so the other
  // candidates need not read it.
  if (!reading.transitionSeen && transition.ms < 0 && reading.tally.size() > 1)
    for (Tally &tally : reading.tally)
      tally.active =
          tally.board->name == "us101" || tally.board->name == "jp106";
  reading.transitionSeen = true;
  const double ms =
      transition.ms >= 0 ? static_cast<double>(transition.ms) : reading.now;
  applyLine(reading, id, transition.down, ms,
            transition.ms < 0 && reading.now != kNoTime);
}
