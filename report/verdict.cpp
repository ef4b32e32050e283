// A log names its board in its closing line; a log cut short is of the
// board that knows the most of its keys. The verdict itself is the key
// model's, over the progress the log built.
#include "report/verdict.h"

#include <cstring>

#include "keymodel/key_tables.h"
#include "keymodel/text_rules.h"

const char kYenRoHint[] = "hold Yen and Ro together to test both";
const char kBoardNotNamed[] =
    "the log names no board (it has no closing line): no PASS";

namespace {

int candidateNamed(const LogReading &reading, const char *name,
                   const char *fingerprint = nullptr) {
  for (size_t i = 0; i < reading.boards.size(); ++i)
    if (reading.boards[i].name == name &&
        (fingerprint == nullptr ||
         boardFingerprint(reading.boards[i]) == fingerprint))
      return static_cast<int>(i);
  return -1;
}

std::string quoted(const std::string &name) {
  return "\"" + displayText(name) + "\"";
}

// The board the opening line names, by its name and its fingerprint both:
// a board file may carry a preset's name.
int openingCandidate(const LogReading &reading, bool option,
                     std::string &problem) {
  const BoardOpening &opening = reading.opening;
  const int chosen =
      option ? (boardFingerprint(reading.boards[0]) == opening.fingerprint ? 0
                                                                           : -1)
             : candidateNamed(reading, opening.name.c_str(),
                              opening.fingerprint.c_str());
  if (chosen >= 0)
    return chosen;
  if (option)
    problem = "the log is of the board " + quoted(opening.name) + " (" +
              opening.fingerprint + "), not the one --board gives";
  else if (candidateNamed(reading, opening.name.c_str()) >= 0)
    problem = "the log's board " + quoted(opening.name) +
              " is not the preset of that name but a file that took it: "
              "name its file with --board";
  else
    problem = "the log is of the board " + quoted(opening.name) +
              ", which is no preset: name its file with --board";
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
                  std::string &problem) {
  int chosen = 0;
  if (reading.tally.empty())
    return problem = "no board to judge the log against", false;
  if (reading.opened) {
    report.boardFrom = option ? "option" : "opening line";
    if ((chosen = openingCandidate(reading, option, problem)) < 0)
      return false;
  } else if (option) {
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
  if (chosen < 0) {
    problem = "the log is of the board " + quoted(reading.closingBoard) +
              ", which is no preset: name its file with --board";
    return false;
  }
  report.boardNamed = option || reading.opened || reading.closed;
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
  report.verdict.pass = report.verdict.pass && report.boardNamed;
  const BoardCounts counts = countBoard(report.progress);
  report.count[KeyTested] = counts.tested;
  report.count[KeyHeld] = counts.held;
  report.count[KeyNever] = counts.left;
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

int cellsOfLead(unsigned char lead) {
  return lead >= 0xE3 && lead <= 0xE9 ? 2 : 1;
}

int cellsOf(const char *text) {
  int cells = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
       *p != 0; ++p)
    if ((*p & 0xC0) != 0x80)
      cells += cellsOfLead(*p);
  return cells;
}
