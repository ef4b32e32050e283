// On Linux the log is opened without following a link and without
// blocking (a FIFO's open would wait for a reader for ever), checked to be
// a regular file, and locked before it is emptied, so that a second copy
// never truncates the log a first copy is writing.
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

} // namespace

bool openLogFile(LogFile &log, const char *name) {
  const int fd = open(
      name, O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
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
  if (ftruncate(fd, 0) != 0)
    return refuse(log, fd, LogNotCreated, errno);
  // A regular file never blocks; the flag was only for what else may be
  // at the name.
  fcntl(fd, F_SETFL, 0);
  FILE *file = fdopen(fd, "w");
  if (file == nullptr)
    return refuse(log, fd, LogNotCreated, errno);
  log = {file, LogWriting, 0};
  return true;
}

bool logFileStillNamed(const LogFile &log, const char *name) {
  struct stat named, open;
  return lstat(name, &named) == 0 && fstat(fileno(log.file), &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}
