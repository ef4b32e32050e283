// A log names its board in its closing line; a log cut short is of the
// board that knows the most of its keys. The verdict itself is the key
// model's, over the progress the log built.
#include "report/verdict.h"

#include <cstring>

#include "keymodel/key_tables.h"

const char kYenRoHint[] = "hold Yen and Ro together to test both";

namespace {

int candidateNamed(const LogReading &reading, const char *name) {
  for (size_t i = 0; i < reading.boards.size(); ++i)
    if (reading.boards[i].name == name)
      return static_cast<int>(i);
  return -1;
}

// Fewest lines of keys it lacks; on a tie the first, which puts the
// classic boards before the others.
int closestCandidate(const LogReading &reading) {
  int best = -1;
  for (size_t i = 0; i < reading.tally.size(); ++i)
    if (reading.tally[i].active &&
        (best < 0 ||
         reading.tally[i].foreignLines < reading.tally[best].foreignLines))
      best = static_cast<int>(i);
  return best < 0 ? 0 : best;
}

// A window manager that takes Alt+F4 for itself closes the window before
// the F4 reaches it: then the Alt still down is all the gesture left.
void releaseCloseGesture(Report &report) {
  const Tally &tally = *report.tally;
  for (int key = 0; key < static_cast<int>(report.progress.keys.size());
       ++key) {
    const bool gesture = key == tally.gestureF4 || key == tally.gestureAlt ||
                         (tally.gestureF4 < 0 && key == tally.lastAlt);
    if (gesture && report.progress.keys[key].down)
      applyTransition(report.progress, key, false, kNoTime);
  }
}

} // namespace

bool decideReport(Report &report, const LogReading &reading, bool option,
                  std::string &unknownBoard) {
  int chosen = 0;
  if (option) {
    report.boardFrom = "option";
  } else if (reading.closed) {
    report.boardFrom = "closing line";
    chosen = candidateNamed(
        reading, !reading.classicClosing ? reading.closingBoard.c_str()
                 : reading.closingLayout == LayoutJP ? "jp106"
                                                     : "us101");
  } else {
    report.boardFrom = "names";
    chosen = closestCandidate(reading);
  }
  if (chosen < 0 || reading.tally.empty()) {
    unknownBoard = reading.closingBoard;
    return false;
  }
  report.tally = &reading.tally[chosen];
  report.board = report.tally->board;
  report.closed = reading.closed;
  report.timed = reading.timed || reading.now != kNoTime;
  report.progress = report.tally->progress;
  if (reading.closed)
    releaseCloseGesture(report);
  const Tally &tally = *report.tally;
  // One "\" held at the end is Yen or Ro: held either way.
  if (tally.yen >= 0 && tally.backslashes > 0 && !tally.backslashesKnown)
    applyTransition(report.progress, tally.yen, true, kNoTime);
  report.yenRoUntested = tally.yen >= 0 && !reading.timed &&
                         !(report.progress.keys[tally.yen].tested &&
                           report.progress.keys[tally.ro].tested);
  judgeBoard(report.progress, report.verdict);
  report.count[KeyTested] = report.count[KeyHeld] = report.count[KeyNever] = 0;
  for (size_t i = 0; i < report.progress.keys.size(); ++i)
    ++report.count[reportResult(report, static_cast<int>(i))];
  return true;
}

KeyResult reportResult(const Report &report, int key) {
  const KeyProgress &k = report.progress.keys[key];
  return k.down ? KeyHeld : k.tested ? KeyTested : KeyNever;
}

std::vector<int> keysWithResult(const Report &report, KeyResult wanted) {
  std::vector<int> keys;
  for (size_t i = 0; i < report.progress.keys.size(); ++i)
    if (reportResult(report, static_cast<int>(i)) == wanted)
      keys.push_back(static_cast<int>(i));
  return keys;
}

const char *capText(const BoardKey &key) {
  const size_t prefix = sizeof kNumPadPrefix - 1;
  const char *label = key.label.c_str();
  return key.label.size() > prefix &&
                 std::strncmp(label, kNumPadPrefix, prefix) == 0
             ? label + prefix
             : label;
}
