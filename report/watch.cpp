// The watch reads to the end of what is there, then sleeps until the
// folder changes. Each wake stamps the lines it reads with one time, so a
// gap between two lines is only known when they came in different wakes.
// A new run of the checker empties the log, or a new log takes its name:
// on every wake the name must still lead to the file being read, no
// shorter than what was read and with the same first bytes (a log emptied
// and written past the read offset between two wakes is the same size),
// or the run is read again from its start. A log already closed when the
// watch starts is an old run's: it is shown, and the watch waits for the
// next run.
#include "report/watch.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "keymodel/text_rules.h"
#include "report/live_view.h"
#include "report/platform.h"

namespace {

constexpr int kSafetyWakeMs = 1000;      // should a change notice go missing
constexpr double kLastReadSeconds = 0.3; // what is left, after the end
constexpr double kNoDeadline = 1e300;

std::string folderOf(const char *log) {
  std::string folder = log;
  size_t cut = folder.size();
  while (cut > 0 && !isPathSeparator(folder[cut - 1]))
    --cut;
  return cut == 0 ? std::string(".") : folder.substr(0, cut);
}

struct Follow {
  FILE *file;
  LineReader reader;
  LiveView view;
  Report report;
  double origin;
  bool refused; // something other than a regular file at the name
};

void show(Follow &f, const WatchRequest &request, const LogReading &reading,
          const Batch *batch, WatchEvent event) {
  std::string problem; // a board no preset names: the summary says so
  if (!decideReport(f.report, reading, request.boardGiven, problem))
    return;
  f.report.logPath = request.log;
  const double at = monotonicSeconds() - f.origin;
  if (batch != nullptr)
    showBatch(f.view, f.report, *batch, at);
  else
    showWatchEvent(f.view, f.report, event, at);
}

// Reads what is there; ReadWait when all of it was read, or when Ctrl+C
// or the deadline came first: a log that grows faster than it is read
// would otherwise keep the watch reading for ever.
ReadResult readBatch(Follow &f, LogReading &reading, const NameTable &names,
                     Batch &batch, bool untilInterrupted, double deadline) {
  batch.count = 0;
  reading.now = (monotonicSeconds() - f.origin) * 1000;
  Line line;
  ReadResult result;
  long long lines = 0;
  while ((result = nextLine(f.reader, line)) == ReadLine) {
    readLogLine(reading, names, line);
    if ((++lines & 1023) == 0 &&
        ((untilInterrupted && interrupted()) || monotonicSeconds() > deadline))
      return ReadWait;
    if (!reading.lastIsKey)
      continue;
    if (batch.count < kBatchShown) {
      batch.labels[batch.count] = displayText(reading.lastLabel);
      batch.downs[batch.count] = reading.lastDown;
    }
    ++batch.count;
  }
  return result;
}

void startRun(Follow &f, FILE *file) {
  f.file = file;
  if (file != nullptr)
    startReading(f.reader, file, true);
}

bool openLog(Follow &f, const char *log) {
  bool regular = true;
  startRun(f, openRegularFile(log, regular));
  f.refused = !regular;
  return f.file != nullptr;
}

// The file now at the name, when it is not the run being read; null when
// it is, or when there is none. gone says whether the run was left.
FILE *newRun(Follow &f, const char *log, bool &gone) {
  bool regular = true;
  FILE *now = openRegularFile(log, regular);
  gone = now == nullptr;
  if (gone)
    return nullptr;
  char head[kHeadBytes];
  const size_t got = std::fread(head, 1, kHeadBytes, now);
  const LineReader &r = f.reader;
  gone = !sameOpenFile(f.file, now) || fileSize(f.file) < r.bytesRead ||
         got < r.headLength || std::memcmp(head, r.head, r.headLength) != 0;
  if (gone) {
    std::rewind(now);
    return now;
  }
  std::fclose(now);
  return nullptr;
}

} // namespace

bool watchLog(const WatchRequest &request, LogReading &reading,
              const NameTable &names, int &error) {
  static Follow f;
  f.origin = monotonicSeconds();
  armInterrupt();
  FolderWatch folder;
  watchFolder(folder, folderOf(request.log).c_str());
  startLiveView(f.view, request.view, request.log);
  startLogReading(reading, reading.boards, request.chatterMs);
  // Whether the lines read so far were all in the file at the start.
  bool atStart = openLog(f, request.log);
  if (!atStart && !f.refused)
    show(f, request, reading, nullptr, WatchWaiting);
  ReadResult result = ReadWait;
  while (!f.refused && !interrupted()) {
    if (f.file == nullptr && !openLog(f, request.log)) {
      waitForChange(folder, kSafetyWakeMs);
      continue;
    }
    bool gone = false;
    FILE *next = newRun(f, request.log, gone);
    if (gone) {
      std::fclose(f.file);
      startRun(f, next);
      startLogReading(reading, reading.boards, request.chatterMs);
      show(f, request, reading, nullptr,
           next != nullptr ? WatchEmptied : WatchWaiting);
      atStart = false;
      if (next == nullptr)
        continue;
    }
    Batch batch;
    const long long before = reading.lines;
    result = readBatch(f, reading, names, batch, true, kNoDeadline);
    if (result == ReadError)
      break;
    if (reading.lines > before)
      show(f, request, reading, &batch, WatchReading);
    if (reading.closed && !atStart)
      break;
    if (reading.closed && f.view.event != WatchClosedAtStart)
      show(f, request, reading, nullptr, WatchClosedAtStart);
    atStart = atStart && reading.closed; // only the first read was there
    waitForChange(folder, kSafetyWakeMs);
  }
  endFolderWatch(folder);
  if (f.file != nullptr && result != ReadError) {
    // What is left is read as the report reads a log: a last line without
    // its line end counts too.
    f.reader.follow = false;
    Batch batch;
    const long long before = reading.lines;
    result = readBatch(f, reading, names, batch, false,
                       monotonicSeconds() + kLastReadSeconds);
    if (reading.lines > before)
      show(f, request, reading, &batch, WatchReading);
  }
  endLiveView(f.view);
  error = f.refused           ? kNotRegularFile
          : f.file != nullptr ? f.reader.error
                              : ENOENT;
  if (f.file != nullptr)
    std::fclose(f.file);
  return f.file != nullptr && result != ReadError;
}
