// The part of the log's life that is the same on every platform: noticing
// the first failed write, and keeping silent after it.
#include "keymodel/log_file.h"

#include <cerrno>
#include <cstring>

namespace {

void stop(LogFile &log, LogState state, int error) {
  std::fclose(log.file);
  log.file = nullptr;
  log.state = state;
  log.error = error;
}

} // namespace

bool endLogBatch(LogFile &log, bool written, const char *name) {
  if (log.state != LogWriting)
    return false;
  // The writer cleared errno before the batch: a failed write left why.
  const int failed = written ? 0 : errno;
  errno = 0;
  // A line still in the stream's buffer is lost if the process is killed
  // or crashes, so every batch goes to the disk at once.
  const bool flushed = std::fflush(log.file) == 0 && !std::ferror(log.file);
  if (!written || !flushed)
    stop(log, LogWriteFailed, failed != 0 ? failed : errno != 0 ? errno : EIO);
  else if (!logFileStillNamed(log, name))
    stop(log, LogGone, 0);
  return log.state == LogWriting;
}

bool syncLogFile(LogFile &log) {
  if (log.state != LogWriting)
    return false;
  errno = 0;
  if (!flushToDisk(log.file))
    stop(log, LogWriteFailed, errno != 0 ? errno : EIO);
  return log.state == LogWriting;
}

bool closeLogFile(LogFile &log) {
  if (log.file == nullptr)
    return log.state == LogWriting;
  errno = 0;
  const bool closed = std::fclose(log.file) == 0;
  log.file = nullptr;
  if (!closed && log.state == LogWriting) {
    log.state = LogWriteFailed;
    log.error = errno != 0 ? errno : EIO;
  }
  return log.state == LogWriting;
}

const char *logStateText(const LogFile &log) {
  switch (log.state) {
  case LogWriting:
    return "";
  case LogNotRegular:
    return "not a regular file (a link, a folder, a FIFO or a device)";
  case LogInUse:
    return "another copy of the checker is writing it";
  case LogGone:
    return "deleted or replaced while the checker ran";
  default:
    return std::strerror(log.error);
  }
}
