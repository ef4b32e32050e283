// Turns pairs of keyboard snapshots into log lines. The file is opened in
// text mode; kLogLineEnd makes every line end in CR LF on disk either way.
#include "keymodel/transition_log.h"

#include <cstring>

#include "keymodel/key_tables.h"

namespace {

int reportEntry(FILE *log, const KeyEntry &entry, const KeyState &current,
                const KeyState &previous, const char *prefix) {
  const bool down = isKeyDown(current, entry.code);
  if (down == isKeyDown(previous, entry.code) || log == nullptr)
    return 0;
  std::fprintf(log, "%s%s %s%s", prefix, entry.label, down ? "down" : "up",
               kLogLineEnd);
  return 1;
}

// A second copy of the program started in the same directory truncates
// the log (mode "w") and writes it from the start. Writing at our own
// position would then land in the middle of its lines, so every batch goes
// to the file's end instead.
void goToEnd(FILE *log) { std::fseek(log, 0, SEEK_END); }

} // namespace

void clearSnapshots(SnapshotPair &pair) {
  std::memset(pair.buffers, 0, sizeof pair.buffers);
  pair.index = 0;
}

FILE *openTransitionLog() { return std::fopen(kLogFileName, "w"); }

int compareAndReport(FILE *log, const KeyState &current,
                     const KeyState &previous, KeyboardLayout layout) {
  if (log != nullptr)
    goToEnd(log);
  int lines = 0;
  forEachKey(layout, [&](const KeyEntry &entry, const char *prefix) {
    lines += reportEntry(log, entry, current, previous, prefix);
  });
  // A line still in the stream's buffer is lost if the process is killed
  // or crashes, so every batch goes to the disk at once.
  if (lines > 0)
    std::fflush(log);
  return lines;
}

void closeTransitionLog(FILE *log, KeyboardLayout layout) {
  if (log == nullptr)
    return;
  const char *line = layout == LayoutJP ? kClosingLineJP : kClosingLineUS;
  // The constants end in "\n", which kLogLineEnd stands in for.
  const size_t length = layout == LayoutJP ? sizeof kClosingLineJP - 2
                                           : sizeof kClosingLineUS - 2;
  goToEnd(log);
  std::fwrite(line, 1, length, log);
  std::fputs(kLogLineEnd, log);
  std::fclose(log);
}
