// Writes and reads a board run's lines. Both ends live here so that the
// checkers and the report cannot drift apart on the form of a line.
#include "keymodel/board_log.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>

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

} // namespace

bool openBoardLog(LogFile &log, const Board &board, double chatterMs) {
  if (!openTransitionLog(log))
    return false;
  errno = 0;
  const bool written =
      std::fprintf(log.file, "%s%s %s chatter %g%s", kBoardOpeningPrefix,
                   board.name.c_str(), boardFingerprint(board).c_str(),
                   chatterMs, kLogLineEnd) > 0;
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
  // name, fingerprint, "chatter", ms: four words, single blanks.
  std::string words[4];
  int count = 0;
  for (size_t i = prefix; i < length; ++i) {
    if (text[i] != ' ' && count < 4)
      words[count] += text[i];
    else if (text[i] != ' ' || ++count > 3 || i + 1 == length ||
             text[i + 1] == ' ')
      return false;
  }
  char *end = nullptr;
  const double ms = std::strtod(words[3].c_str(), &end);
  bool hex = words[1].size() == 16;
  for (char c : words[1])
    hex = hex && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
  if (count != 3 || words[0].empty() || !hex || words[2] != "chatter" ||
      words[3].empty() || *end != '\0' || !(ms > 0 && ms < 1e6))
    return false;
  out = {words[0], words[1], ms};
  return true;
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
