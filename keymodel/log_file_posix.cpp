// On Linux the log is opened without following a link and without
// blocking (a FIFO's open would wait for a reader for ever), checked to be
// a regular file, and locked before it is emptied, so that a second copy
// never truncates the log a first copy is writing. A file kept across
// runs (the station's results) is opened the same way, and appended to.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "keymodel/log_file.h"

namespace {

bool refuse(LogFile &log, int fd, LogState state, int error) {
  if (fd >= 0)
    close(fd);
  log = {nullptr, state, error};
  return false;
}

// The file at name as a regular file this process alone holds, in fd,
// with its size; false with log saying why.
bool openOwned(LogFile &log, const char *name, int flags, int &fd,
               off_t &size) {
  fd = open(name, flags | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  // ELOOP: a link; EISDIR: a folder; ENXIO: a FIFO nobody reads.
  if (fd < 0)
    return refuse(log, fd,
                  errno == ELOOP || errno == EISDIR || errno == ENXIO
                      ? LogNotRegular
                      : LogNotCreated,
                  errno);
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    return refuse(log, fd, LogNotRegular, 0);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0)
    return refuse(log, fd, errno == EWOULDBLOCK ? LogInUse : LogNotCreated,
                  errno);
  // Read again under the lock: another copy may have written until now.
  if (fstat(fd, &status) != 0)
    return refuse(log, fd, LogNotCreated, errno);
  size = status.st_size;
  // A regular file never blocks; the flag was only for what else may be
  // at the name.
  fcntl(fd, F_SETFL, flags & O_APPEND);
  return true;
}

bool adopt(LogFile &log, int fd, const char *mode) {
  FILE *file = fdopen(fd, mode);
  if (file == nullptr)
    return refuse(log, fd, LogNotCreated, errno);
  log = {file, LogWriting, 0};
  return true;
}

} // namespace

bool openLogFile(LogFile &log, const char *name) {
  int fd;
  off_t size;
  if (!openOwned(log, name, O_WRONLY, fd, size))
    return false;
  if (ftruncate(fd, 0) != 0)
    return refuse(log, fd, LogNotCreated, errno);
  return adopt(log, fd, "w");
}

bool openAppendFile(LogFile &log, const char *name, AppendStart &start) {
  int fd;
  off_t size;
  if (!openOwned(log, name, O_RDWR | O_APPEND, fd, size))
    return false;
  char last = '\n';
  if (size > 0 && pread(fd, &last, 1, size - 1) != 1)
    return refuse(log, fd, LogNotCreated, errno);
  start = {size == 0, last != '\n'};
  return adopt(log, fd, "a");
}

bool logFileStillNamed(const LogFile &log, const char *name) {
  struct stat named, open;
  return lstat(name, &named) == 0 && fstat(fileno(log.file), &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

bool flushToDisk(FILE *file) { return fsync(fileno(file)) == 0; }
