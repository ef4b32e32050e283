// The watch reads to the end of what is there, then sleeps until the
// folder changes. Each wake stamps the lines it reads with one time, so a
// gap between two lines is only known when they came in different wakes.
// The checker empties its log when it starts, so a file shorter than what
// was read is a new run, read again from its start. A log already closed
// when the watch starts is an old run's: it is shown, and the watch waits
// for the next run to empty it.
#include "report/watch.h"

#include <cerrno>
#include <string>

#include "report/live_view.h"
#include "report/platform.h"

namespace {

constexpr int kSafetyWakeMs = 1000; // should a change notice go missing

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
};

void show(Follow &f, const WatchRequest &request, const LogReading &reading,
          const Batch *batch, WatchEvent event) {
  std::string unknown; // a board no preset names: the summary says so
  if (!decideReport(f.report, reading, request.boardGiven, unknown))
    return;
  f.report.logPath = request.log;
  const double at = monotonicSeconds() - f.origin;
  if (batch != nullptr)
    showBatch(f.view, f.report, *batch, at);
  else
    showWatchEvent(f.view, f.report, event, at);
}

// Reads what is there; ReadWait when all of it was read.
ReadResult readBatch(Follow &f, LogReading &reading, const NameTable &names,
                     Batch &batch) {
  batch.count = 0;
  reading.now = (monotonicSeconds() - f.origin) * 1000;
  Line line;
  ReadResult result;
  while ((result = nextLine(f.reader, line)) == ReadLine) {
    readLogLine(reading, names, line);
    if (!reading.lastIsKey)
      continue;
    if (batch.count < kBatchShown) {
      std::string &label = batch.labels[batch.count];
      label.clear();
      for (char c : reading.lastLabel) // a control byte would move the cursor
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
          label += c;
      batch.downs[batch.count] = reading.lastDown;
    }
    ++batch.count;
  }
  return result;
}

bool openLog(Follow &f, const char *log) {
  f.file = std::fopen(log, "rb");
  if (f.file != nullptr)
    startReading(f.reader, f.file, true);
  return f.file != nullptr;
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
  if (!atStart)
    show(f, request, reading, nullptr, WatchWaiting);
  ReadResult result = ReadWait;
  while (!interrupted()) {
    if (f.file == nullptr && !openLog(f, request.log)) {
      waitForChange(folder, kSafetyWakeMs);
      continue;
    }
    if (fileSize(f.file) < f.reader.bytesRead) {
      startReading(f.reader, f.file, true);
      std::rewind(f.file);
      startLogReading(reading, reading.boards, request.chatterMs);
      show(f, request, reading, nullptr, WatchEmptied);
      atStart = false;
    }
    Batch batch;
    const long long before = reading.lines;
    result = readBatch(f, reading, names, batch);
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
    result = readBatch(f, reading, names, batch);
    if (reading.lines > before)
      show(f, request, reading, &batch, WatchReading);
  }
  endLiveView(f.view);
  error = f.file != nullptr ? f.reader.error : ENOENT;
  if (f.file != nullptr)
    std::fclose(f.file);
  return f.file != nullptr && result != ReadError;
}
