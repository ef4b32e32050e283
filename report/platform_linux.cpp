// On Linux the terminal already takes UTF-8, paths use '/' alone, and
// inotify on the log's folder says when the checker wrote to it.
#include "report/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

} // namespace

void prepareConsole() {}

// A terminal outlives the programs run in it.
bool ownsConsole() { return false; }

void waitForKey() {}

bool programFolder(char *, size_t) { return false; }

bool isPathSeparator(char c) { return c == '/'; }

double monotonicSeconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

void armInterrupt() {
  // No SA_RESTART, so the wait for a change returns at once.
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() { return gInterrupted != 0; }

bool startAnsiTerminal(FILE *out) {
  const char *term = std::getenv("TERM");
  return isatty(fileno(out)) && term != nullptr &&
         std::strcmp(term, "dumb") != 0;
}

void terminalSize(FILE *out, int &columns, int &rows) {
  winsize size = {};
  const bool known = ioctl(fileno(out), TIOCGWINSZ, &size) == 0 &&
                     size.ws_col > 0 && size.ws_row > 0;
  columns = known ? size.ws_col : 80;
  rows = known ? size.ws_row : 24;
}

long long fileSize(FILE *file) {
  struct stat status;
  return fstat(fileno(file), &status) == 0 ? status.st_size : -1;
}

FILE *openRegularFile(const char *path, bool &regular) {
  regular = true;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return nullptr;
  struct stat status;
  regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (!regular) {
    close(fd);
    errno = EINVAL;
    return nullptr;
  }
  fcntl(fd, F_SETFL, 0);
  return fdopen(fd, "rb");
}

bool sameOpenFile(FILE *a, FILE *b) {
  struct stat sa, sb;
  return fstat(fileno(a), &sa) == 0 && fstat(fileno(b), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void watchFolder(FolderWatch &watch, const char *folder) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  watch.handle = fd;
  watch.active =
      fd >= 0 && inotify_add_watch(fd, folder,
                                   IN_MODIFY | IN_CREATE | IN_MOVED_TO |
                                       IN_DELETE | IN_CLOSE_WRITE) >= 0;
}

void waitForChange(FolderWatch &watch, int milliseconds) {
  if (!watch.active) {
    poll(nullptr, 0, 50);
    return;
  }
  pollfd fd = {static_cast<int>(watch.handle), POLLIN, 0};
  if (poll(&fd, 1, milliseconds) > 0) {
    char events[4096];
    while (read(fd.fd, events, sizeof events) > 0) {
    }
  }
}

void endFolderWatch(FolderWatch &watch) {
  if (watch.handle >= 0)
    close(static_cast<int>(watch.handle));
}

FILE *createNewFile(const char *path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return fd < 0 ? nullptr : fdopen(fd, "wb");
}

bool replaceFile(const char *from, const char *to) {
  return std::rename(from, to) == 0;
}

PathKind pathKind(const char *path) {
  struct stat status;
  if (lstat(path, &status) != 0)
    return errno == ENOENT ? PathMissing : PathOther;
  return S_ISREG(status.st_mode)   ? PathFile
         : S_ISLNK(status.st_mode) ? PathLink
                                   : PathOther;
}

bool sameFile(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}
