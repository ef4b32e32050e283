// The rules for one line. A line that does not fit becomes an anomaly and
// changes no state, so a cut or foreign line can never make a key look
// tested or held.
#include "report/log_tally.h"

#include <cstring>

#include "keymodel/transition_log.h"

namespace {

constexpr size_t kClosingJPLength = sizeof kClosingLineJP - 2; // no LF
constexpr size_t kClosingUSLength = sizeof kClosingLineUS - 2;

void addAnomaly(Tally &tally, long long line, const char *reason) {
  if (tally.anomalyCount < kKeptAnomalies)
    tally.anomalies[tally.anomalyCount] = {line, reason};
  ++tally.anomalyCount;
}

void addAnomalyToBoth(LogReading &reading, const char *reason) {
  for (Tally &tally : reading.tally)
    addAnomaly(tally, reading.lines, reason);
}

bool endsWith(const char *text, size_t length, const char *tail) {
  const size_t n = std::strlen(tail);
  return length >= n && std::memcmp(text + length - n, tail, n) == 0;
}

void addChatter(Tally &tally, int name, double gap, long long line) {
  if (tally.chatterCount < kKeptChatter)
    tally.chatter[tally.chatterCount] = {name, gap * 1000, line};
  ++tally.chatterCount;
}

bool isDown(const Tally &tally, int name) {
  return name >= 0 && tally.down[name] > 0;
}

// An F4 down with an Alt down is the checker being closed; the Alt is the
// one pressed last when both are down.
void noteGesture(Tally &tally, const NameTable &names, int name, bool down) {
  const int *alts = names.alts;
  if (!down) {
    tally.gestureF4 = name == tally.gestureF4 ? -1 : tally.gestureF4;
    tally.gestureAlt = name == tally.gestureAlt ? -1 : tally.gestureAlt;
  } else if (name == alts[0] || name == alts[1]) {
    tally.lastAlt = name;
  } else if (name == names.f4) {
    const int other = tally.lastAlt == alts[0] ? alts[1] : alts[0];
    const int alt = isDown(tally, tally.lastAlt) ? tally.lastAlt
                    : isDown(tally, other)       ? other
                                                 : -1;
    if (alt >= 0) {
      tally.gestureF4 = name;
      tally.gestureAlt = alt;
    }
  }
}

void apply(Tally &tally, const LogReading &reading, const NameTable &names,
           int layout, int name, bool down) {
  const int keys = names.names[name].keys[layout];
  const long long line = reading.lines;
  if (keys == 0)
    return addAnomaly(tally, line, "name not in the layout");
  uint16_t &count = tally.down[name];
  if (down && count == keys)
    return addAnomaly(tally, line, "down while already down");
  if (!down && count == 0)
    return addAnomaly(tally, line, "up while not down");
  if (down) {
    // A gap of 0 means both lines came in one read: their gap is unknown.
    const double gap = reading.now - tally.upAt[name];
    if (count == 0 && tally.everDown[name] && gap > 0 &&
        gap < reading.chatterSeconds)
      addChatter(tally, name, gap, line);
    tally.everDown[name] = true;
    ++tally.presses[name];
    ++count;
    if (++tally.keysDown > tally.maxHeld)
      tally.maxHeld = tally.keysDown;
  } else {
    --count;
    --tally.keysDown;
    tally.upAt[name] = reading.now;
  }
  noteGesture(tally, names, name, down);
}

} // namespace

void startLogReading(LogReading &reading, double chatterSeconds) {
  std::memset(&reading, 0, sizeof reading);
  reading.chatterSeconds = chatterSeconds;
  for (Tally &tally : reading.tally)
    tally.gestureF4 = tally.gestureAlt = tally.lastAlt = -1;
}

void readLogLine(LogReading &reading, const NameTable &names,
                 const Line &line) {
  const char *text = line.text;
  size_t length = line.length;
  reading.lastName = -1;
  // An editor that saved the log again may have put a byte-order mark in
  // front and dropped the last line end.
  if (++reading.lines == 1 && length >= 3 &&
      std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
    text += 3, length -= 3;
  const bool jp = length == kClosingJPLength &&
                  std::memcmp(text, kClosingLineJP, length) == 0;
  const bool closing = jp || (length == kClosingUSLength &&
                              std::memcmp(text, kClosingLineUS, length) == 0);
  if (!line.terminated && !closing)
    return addAnomalyToBoth(reading, "no line end");
  if (reading.closed)
    return addAnomalyToBoth(reading, "after the closing line");
  if (closing) {
    reading.closed = true;
    reading.closingLayout = jp ? LayoutJP : LayoutUS;
    ++reading.logLines;
    return;
  }
  const bool down = endsWith(text, length, " down");
  if (!down && !endsWith(text, length, " up"))
    return addAnomalyToBoth(reading, "not a log line");
  length -= down ? 5 : 3;
  trimBlanks(text, length);
  const int name = findName(names, text, length);
  if (name < 0)
    return addAnomalyToBoth(reading, "name not in the layout");
  ++reading.logLines;
  reading.jpNameSeen |= names.names[name].jpOnly;
  reading.lastName = name;
  reading.lastDown = down;
  for (int l = 0; l < kLayoutCount; ++l)
    apply(reading.tally[l], reading, names, l, name, down);
}

KeyResult finalState(const Tally &tally, bool closed, int name) {
  if (tally.down[name] == 0)
    return tally.everDown[name] ? KeyTested : KeyNever;
  // A window manager that takes Alt+F4 for itself closes the window before
  // the F4 reaches it: then the Alt still down is all the gesture left.
  const bool gesture = name == tally.gestureF4 || name == tally.gestureAlt ||
                       (tally.gestureF4 < 0 && name == tally.lastAlt);
  return closed && gesture ? KeyTested : KeyHeld;
}

void decideReport(Report &report, const LogReading &reading,
                  const NameTable &names, KeyboardLayout option) {
  if (option != LayoutUnset) {
    report.layout = option;
    report.layoutFrom = "option";
  } else if (reading.closed) {
    report.layout = reading.closingLayout;
    report.layoutFrom = "closing line";
  } else {
    report.layout = reading.jpNameSeen ? LayoutJP : LayoutUS;
    report.layoutFrom = "names";
  }
  report.closed = reading.closed;
  report.watched = reading.chatterSeconds > 0;
  report.names = &names;
  report.layoutIndex = layoutIndex(report.layout);
  report.tally = &reading.tally[report.layoutIndex];
  report.count[KeyTested] = report.count[KeyHeld] = report.count[KeyNever] = 0;
  for (int i = 0; i < names.orderCount[report.layoutIndex]; ++i)
    ++report.count[reportResult(report, reportName(report, i))];
}

int reportName(const Report &report, int index) {
  return report.names->order[report.layoutIndex][index];
}

KeyResult reportResult(const Report &report, int name) {
  return finalState(*report.tally, report.closed, name);
}
