// The buffer is refilled only when no line end is left in it. A line that
// outgrows kMaxLineLength is skipped to its end without being kept, which
// is what keeps a 10 MB line or a gigabyte of random bytes cheap.
#include "report/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Moves the unread bytes to the front and reads more behind them. False at
// the end of the file or on an error (then reader.error is set).
bool refill(LineReader &reader) {
  if (reader.atEof)
    return false;
  const size_t kept = reader.end - reader.start;
  std::memmove(reader.buffer, reader.buffer + reader.start, kept);
  reader.start = 0;
  reader.end = kept;
  errno = 0;
  const size_t got =
      std::fread(reader.buffer + kept, 1, kReadBufferSize - kept, reader.file);
  if (reader.headLength < kHeadBytes &&
      reader.bytesRead == static_cast<long long>(reader.headLength)) {
    const size_t taken = std::min(got, kHeadBytes - reader.headLength);
    std::memcpy(reader.head + reader.headLength, reader.buffer + kept, taken);
    reader.headLength += taken;
  }
  reader.end += got;
  reader.bytesRead += static_cast<long long>(got);
  if (got == 0) {
    if (std::ferror(reader.file))
      reader.error = errno != 0 ? errno : EIO;
    // The end of a followed file moves on: the next read must try again.
    // A seek forgets the end for the stream and, in msvcrt, for the file
    // descriptor beneath it, which clearerr would leave at its end.
    reader.atEof = !reader.follow;
    std::fseek(reader.file, 0, SEEK_CUR);
    return false;
  }
  return true;
}

ReadResult skipOverlong(LineReader &reader, Line &line) {
  line = {reader.buffer, 0, false, true};
  reader.skipping = false;
  for (;;) {
    const char *from = reader.buffer + reader.start;
    const void *lf = std::memchr(from, '\n', reader.end - reader.start);
    if (lf != nullptr) {
      reader.start = static_cast<const char *>(lf) - reader.buffer + 1;
      line.terminated = true;
      return ReadLine;
    }
    reader.start = reader.end;
    if (refill(reader))
      continue;
    if (reader.error != 0)
      return ReadError;
    // A followed file's end is only where the writer has got to.
    reader.skipping = reader.follow;
    return reader.follow ? ReadWait : ReadLine;
  }
}

} // namespace

void startReading(LineReader &reader, FILE *file, bool follow) {
  reader.file = file;
  reader.start = reader.end = 0;
  reader.atEof = false;
  reader.follow = follow;
  reader.skipping = false;
  reader.bytesRead = 0;
  reader.headLength = 0;
  reader.error = 0;
}

ReadResult nextLine(LineReader &reader, Line &line) {
  if (reader.skipping)
    return skipOverlong(reader, line);
  for (;;) {
    const char *from = reader.buffer + reader.start;
    const size_t available = reader.end - reader.start;
    const void *lf = std::memchr(from, '\n', available);
    if (lf != nullptr) {
      size_t length = static_cast<const char *>(lf) - from;
      reader.start += length + 1;
      if (length > 0 && from[length - 1] == '\r')
        --length;
      line = {from, length, true, length > kMaxLineLength};
      if (line.overlong)
        line.length = 0;
      return ReadLine;
    }
    if (available > kMaxLineLength + 1)
      return skipOverlong(reader, line);
    if (!refill(reader)) {
      if (reader.error != 0)
        return ReadError;
      if (reader.follow)
        return ReadWait;
      if (reader.start == reader.end)
        return ReadEnd;
      line = {reader.buffer + reader.start, reader.end - reader.start, false,
              false};
      reader.start = reader.end;
      return ReadLine;
    }
  }
}
