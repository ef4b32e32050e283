// Opened without blocking, so a FIFO at the name cannot hang the checker
// before its window exists; then only a regular file is read.
#include "keymodel/board_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "keymodel/text_rules.h"

namespace {

bool fail(const char *path, const std::string &problem, std::string &error) {
  error = displayText(path) + ": " + problem;
  return false;
}

} // namespace

bool readBoardFile(const char *path, std::string &text, std::string &error) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0)
    return fail(path,
                errno == ENOENT ? "neither a preset board nor a file"
                                : std::strerror(errno),
                error);
  struct stat info;
  std::string problem;
  if (fstat(fd, &info) != 0)
    problem = std::strerror(errno);
  else if (S_ISDIR(info.st_mode))
    problem = "a folder, not a board file";
  else if (!S_ISREG(info.st_mode))
    problem = "not a regular file";
  else if (info.st_size > kMaxBoardFileBytes)
    problem = "larger than 1 MiB, not a board";
  text.clear();
  char buffer[16384];
  while (problem.empty()) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      problem = std::string("cannot read the file: ") + std::strerror(errno);
    else if (got == 0)
      break;
    else if (text.size() + static_cast<size_t>(got) > kMaxBoardFileBytes)
      problem = "larger than 1 MiB, not a board";
    else
      text.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return problem.empty() || fail(path, problem, error);
}
