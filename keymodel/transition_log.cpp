// Turns pairs of keyboard snapshots into log lines. The file is opened in
// text mode; kLogLineEnd makes every line end in CR LF on disk either way.
// After a failed write the walk goes on, so the window still shows keys,
// but nothing more reaches the file.
#include "keymodel/transition_log.h"

#include <cerrno>
#include <cstring>

#include "keymodel/key_tables.h"

namespace {

bool reportEntry(FILE *log, const KeyEntry &entry, const KeyState &current,
                 const KeyState &previous, const char *prefix, int &lines) {
  const bool down = isKeyDown(current, entry.code);
  if (down == isKeyDown(previous, entry.code))
    return true;
  ++lines;
  return log == nullptr || std::fprintf(log, "%s%s %s%s", prefix, entry.label,
                                        down ? "down" : "up", kLogLineEnd) > 0;
}

} // namespace

void clearSnapshots(SnapshotPair &pair) {
  std::memset(pair.buffers, 0, sizeof pair.buffers);
  pair.index = 0;
}

bool openTransitionLog(LogFile &log) { return openLogFile(log, kLogFileName); }

int compareAndReport(LogFile &log, const KeyState &current,
                     const KeyState &previous, KeyboardLayout layout) {
  FILE *file = log.state == LogWriting ? log.file : nullptr;
  int lines = 0;
  bool written = true;
  errno = 0;
  forEachKey(layout, [&](const KeyEntry &entry, const char *prefix) {
    written =
        reportEntry(file, entry, current, previous, prefix, lines) && written;
  });
  if (lines > 0 && file != nullptr)
    endLogBatch(log, written, kLogFileName);
  return lines;
}

bool closeTransitionLog(LogFile &log, KeyboardLayout layout) {
  // A log that stopped short must not end as if it were whole.
  if (log.state == LogWriting && log.file != nullptr) {
    const char *line = layout == LayoutJP ? kClosingLineJP : kClosingLineUS;
    // The constants end in "\n", which kLogLineEnd stands in for.
    const size_t length = layout == LayoutJP ? sizeof kClosingLineJP - 2
                                             : sizeof kClosingLineUS - 2;
    errno = 0;
    const bool written = std::fwrite(line, 1, length, log.file) == length &&
                         std::fputs(kLogLineEnd, log.file) >= 0;
    endLogBatch(log, written, kLogFileName);
  }
  return closeLogFile(log);
}
