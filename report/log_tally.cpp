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

void apply(Tally &tally, const KeyName &key, int layout, int name, bool down,
           long long line) {
  const int keys = key.keys[layout];
  if (keys == 0)
    return addAnomaly(tally, line, "name not in the layout");
  uint16_t &count = tally.down[name];
  if (down && count == keys)
    return addAnomaly(tally, line, "down while already down");
  if (!down && count == 0)
    return addAnomaly(tally, line, "up while not down");
  if (down) {
    tally.everDown[name] = true;
    if (count++ == 0 && ++tally.namesDown > tally.maxHeld)
      tally.maxHeld = tally.namesDown;
  } else if (--count == 0) {
    --tally.namesDown;
  }
  tally.last[1] = tally.last[0];
  tally.lastDown[1] = tally.lastDown[0];
  tally.last[0] = name;
  tally.lastDown[0] = down;
}

bool isName(const NameTable &names, int name, const char *log) {
  return name >= 0 && std::strcmp(names.names[name].log, log) == 0;
}

bool isAlt(const NameTable &names, int name) {
  return isName(names, name, "LAlt") || isName(names, name, "RAlt");
}

} // namespace

void startLogReading(LogReading &reading) {
  std::memset(&reading, 0, sizeof reading);
  for (Tally &tally : reading.tally)
    tally.last[0] = tally.last[1] = -1;
}

void readLogLine(LogReading &reading, const NameTable &names,
                 const Line &line) {
  ++reading.lines;
  if (!line.terminated)
    return addAnomalyToBoth(reading, "no line end");
  if (reading.closed)
    return addAnomalyToBoth(reading, "after the closing line");
  const char *text = line.text;
  size_t length = line.length;
  const bool jp = length == kClosingJPLength &&
                  std::memcmp(text, kClosingLineJP, length) == 0;
  if (jp || (length == kClosingUSLength &&
             std::memcmp(text, kClosingLineUS, length) == 0)) {
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
  const KeyName &key = names.names[name];
  reading.jpNameSeen |= key.jpOnly;
  for (int l = 0; l < kLayoutCount; ++l)
    apply(reading.tally[l], key, l, name, down, reading.lines);
}

KeyResult finalState(const Tally &tally, const NameTable &names, int name) {
  if (tally.down[name] == 0)
    return tally.everDown[name] ? KeyTested : KeyNever;
  // Alt+F4 closes the checker, so a log that ends with their downs is a
  // log closed the usual way, not one with two keys stuck.
  const int a = tally.last[0], b = tally.last[1];
  const bool gesture = tally.lastDown[0] && tally.lastDown[1] &&
                       ((isAlt(names, a) && isName(names, b, "F4")) ||
                        (isAlt(names, b) && isName(names, a, "F4")));
  return gesture && (name == a || name == b) ? KeyTested : KeyHeld;
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
  report.names = &names;
  report.layoutIndex = layoutIndex(report.layout);
  report.tally = &reading.tally[report.layoutIndex];
  report.count[KeyTested] = report.count[KeyHeld] = report.count[KeyNever] = 0;
  for (int i = 0; i < names.orderCount[report.layoutIndex]; ++i)
    ++report.count[finalState(*report.tally, names, reportName(report, i))];
}

int reportName(const Report &report, int index) {
  return report.names->order[report.layoutIndex][index];
}
