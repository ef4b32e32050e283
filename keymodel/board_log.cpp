// Writes and reads a board run's lines. Both ends live here so that the
// checkers and the report cannot drift apart on the form of a line.
#include "keymodel/board_log.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "keymodel/station_name.h"
#include "keymodel/transition_log.h"

namespace {

bool endsWith(const char *text, size_t length, const char *tail) {
  const size_t n = std::strlen(tail);
  return length >= n && std::memcmp(text + length - n, tail, n) == 0;
}

// The digits at the end of [text, text + length) and the blank before
// them, taken off length; false (length untouched) when there are none.
bool takeTime(const char *text, size_t &length, long long &ms) {
  size_t start = length;
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9')
    --start;
  const size_t digits = length - start;
  // 18 digits cannot overflow a long long.
  if (digits == 0 || digits > 18 || start == 0 || text[start - 1] != ' ')
    return false;
  long long value = 0;
  for (size_t i = start; i < length; ++i)
    value = value * 10 + (text[i] - '0');
  ms = value;
  length = start - 1;
  return true;
}

constexpr const char *kUnitMarks[] = {"start", "PASS", "FAIL"};
constexpr char kUnitPrefix[] = "Unit ";

} // namespace

bool openStationLog(LogFile &log, const Board &board, double chatterMs,
                    const std::string &station) {
  if (!openTransitionLog(log))
    return false;
  errno = 0;
  const bool written =
      std::fprintf(log.file, "%s%s %s chatter %g%s%s%s", kBoardOpeningPrefix,
                   board.name.c_str(), boardFingerprint(board).c_str(),
                   chatterMs, station.empty() ? "" : " station ",
                   station.c_str(), kLogLineEnd) > 0;
  return endLogBatch(log, written, kLogFileName);
}

bool openBoardLog(LogFile &log, const Board &board, double chatterMs) {
  return openStationLog(log, board, chatterMs, "");
}

bool writeUnitLine(LogFile &log, int unit, UnitMark mark, uint64_t ms) {
  if (log.state != LogWriting)
    return false;
  errno = 0;
  const bool written =
      std::fprintf(log.file, "%s%d : %s %" PRIu64 "%s", kUnitPrefix, unit,
                   kUnitMarks[mark], ms, kLogLineEnd) > 0;
  return endLogBatch(log, written, kLogFileName);
}

bool writeBoardTransition(LogFile &log, const std::string &label, bool down,
                          uint64_t ms) {
  if (log.state != LogWriting)
    return false;
  // Each line goes to the disk at once, as the classic log's batches do.
  errno = 0;
  const bool written =
      std::fprintf(log.file, "%s %s %" PRIu64 "%s", label.c_str(),
                   down ? "down" : "up", ms, kLogLineEnd) > 0;
  return endLogBatch(log, written, kLogFileName);
}

bool closeBoardLog(LogFile &log, const Board &board) {
  // A log that stopped short must not end as if it were whole.
  if (log.state == LogWriting && log.file != nullptr) {
    errno = 0;
    const bool written =
        std::fprintf(log.file, "%s%s%s%s%s", kBoardClosingPrefix,
                     board.title.c_str(), kBoardClosingMarker,
                     board.name.c_str(), kLogLineEnd) > 0;
    endLogBatch(log, written, kLogFileName);
  }
  return closeLogFile(log);
}

bool parseLogTransition(const char *text, size_t length, LogTransition &out) {
  long long ms = -1;
  size_t rest = length;
  const bool timed = takeTime(text, rest, ms);
  // A classic line has no time; a timed line's state comes before it.
  bool down;
  if (endsWith(text, rest, " down")) {
    down = true;
    rest -= 5;
  } else if (endsWith(text, rest, " up")) {
    down = false;
    rest -= 3;
  } else {
    return false;
  }
  if (rest == 0)
    return false;
  out.label.assign(text, rest);
  out.down = down;
  out.ms = timed ? ms : -1;
  return true;
}

bool parseBoardOpening(const char *text, size_t length, BoardOpening &out) {
  const size_t prefix = sizeof kBoardOpeningPrefix - 1;
  if (length <= prefix || std::memcmp(text, kBoardOpeningPrefix, prefix) != 0)
    return false;
  // name, fingerprint, "chatter", ms, and for a station "station", its
  // name: four or six words, single blanks.
  std::string words[6];
  int count = 0;
  for (size_t i = prefix; i < length; ++i) {
    if (text[i] != ' ' && count < 6)
      words[count] += text[i];
    else if (text[i] != ' ' || ++count > 5 || i + 1 == length ||
             text[i + 1] == ' ')
      return false;
  }
  char *end = nullptr;
  const double ms = std::strtod(words[3].c_str(), &end);
  bool hex = words[1].size() == 16;
  for (char c : words[1])
    hex = hex && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
  const bool station =
      count == 5 && words[4] == "station" && isStationName(words[5]);
  if ((count != 3 && !station) || words[0].empty() || !hex ||
      words[2] != "chatter" || words[3].empty() || *end != '\0' ||
      !(ms > 0 && ms < 1e6))
    return false;
  out = {words[0], words[1], ms, station ? words[5] : std::string()};
  return true;
}

bool parseUnitLine(const char *text, size_t length, UnitLine &out) {
  const size_t prefix = sizeof kUnitPrefix - 1;
  long long ms = 0;
  if (length <= prefix || std::memcmp(text, kUnitPrefix, prefix) != 0 ||
      !takeTime(text, length, ms))
    return false;
  // "<n> : <mark>": n from 1, without leading zeros, at most 9 digits.
  size_t i = prefix;
  long long unit = 0;
  while (i < length && text[i] >= '0' && text[i] <= '9' && i - prefix < 10)
    unit = unit * 10 + (text[i++] - '0');
  if (i == prefix || i - prefix > 9 || text[prefix] == '0' || length - i < 4 ||
      std::memcmp(text + i, " : ", 3) != 0)
    return false;
  const std::string mark(text + i + 3, length - i - 3);
  for (int m = UnitStart; m <= UnitFail; ++m)
    if (mark == kUnitMarks[m]) {
      out = {static_cast<int>(unit), static_cast<UnitMark>(m), ms};
      return true;
    }
  return false;
}

bool endsInState(const std::string &label) {
  return endsWith(label.data(), label.size(), " down") ||
         endsWith(label.data(), label.size(), " up");
}

bool parseBoardClosingLine(const char *text, size_t length, std::string &name) {
  const size_t prefix = sizeof kBoardClosingPrefix - 1;
  if (length <= prefix || std::memcmp(text, kBoardClosingPrefix, prefix) != 0)
    return false;
  const std::string line(text + prefix, length - prefix);
  const size_t marker = line.rfind(kBoardClosingMarker);
  if (marker == std::string::npos)
    return false;
  name = line.substr(marker + sizeof kBoardClosingMarker - 1);
  return !name.empty() && name.find(' ') == std::string::npos;
}
