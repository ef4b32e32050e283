// Writing and reading the results file. A row goes to the file as one
// write of a buffer larger than any row, then to the disk, so a crash
// leaves whole rows and at most one cut short; reading takes a line at a
// time, with lines longer than any row counted and passed over.
#include "keymodel/results_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The next line without its line end into reader.text; false at the end.
// A line past kMaxRowBytes keeps only its start.
bool nextLine(ResultsReader &reader, bool &overlong) {
  reader.text.clear();
  overlong = false;
  bool any = false;
  for (;;) {
    if (reader.start == reader.end) {
      if (reader.atEof)
        break;
      reader.start = 0;
      errno = 0;
      reader.end =
          std::fread(reader.buffer, 1, sizeof reader.buffer, reader.file);
      if (reader.end < sizeof reader.buffer) {
        reader.atEof = true;
        reader.error = std::ferror(reader.file) ? (errno ? errno : EIO) : 0;
      }
      continue;
    }
    any = true;
    const char *from = reader.buffer + reader.start;
    const size_t left = reader.end - reader.start;
    const char *lf = static_cast<const char *>(std::memchr(from, '\n', left));
    const size_t take = lf != nullptr ? lf - from : left;
    const size_t room = kMaxRowBytes - reader.text.size();
    overlong = overlong || take > room;
    reader.text.append(from, std::min(take, room));
    reader.start += take + (lf != nullptr ? 1 : 0);
    if (lf != nullptr)
      break;
  }
  if (!reader.text.empty() && reader.text.back() == '\r')
    reader.text.pop_back();
  return any;
}

} // namespace

bool openResultsFile(LogFile &file, const char *name) {
  AppendStart start;
  if (!openAppendFile(file, name, start))
    return false;
  // Before any write: one buffer takes a whole row, so each row leaves in
  // one write.
  std::setvbuf(file.file, nullptr, _IOFBF, kMaxRowBytes);
  if (!start.empty && !start.openLastRow)
    return true;
  errno = 0;
  const bool written = start.empty
                           ? std::fprintf(file.file, "%s%s\r\n", kByteOrderMark,
                                          kResultsHeader) > 0
                           : std::fputs("\r\n", file.file) >= 0;
  return endLogBatch(file, written, name) && syncLogFile(file);
}

bool writeResultRow(LogFile &file, const char *name, const ResultRow &row) {
  if (file.state != LogWriting)
    return false;
  const std::string line = formatResultRow(row);
  errno = 0;
  const bool written =
      std::fwrite(line.data(), 1, line.size(), file.file) == line.size();
  return endLogBatch(file, written, name) && syncLogFile(file);
}

void startResultsReading(ResultsReader &reader, FILE *file) {
  reader.file = file;
  reader.start = reader.end = 0;
  reader.atEof = false;
  reader.line = 0;
  reader.headerSeen = false;
  reader.text.clear();
  reader.error = 0;
}

ResultsRead nextResultRow(ResultsReader &reader, ResultRow &row,
                          std::string &problem) {
  bool overlong;
  while (nextLine(reader, overlong)) {
    ++reader.line;
    if (reader.line == 1 && reader.text.compare(0, 3, kByteOrderMark) == 0)
      reader.text.erase(0, 3);
    const bool header = reader.text == kResultsHeader;
    if (!reader.headerSeen && !header)
      return ResultsNoHeader;
    reader.headerSeen = true;
    if (header || reader.text.empty())
      continue;
    if (overlong)
      return problem = "longer than any row", ResultsBadRow;
    return parseResultRow(reader.text, row, problem) ? ResultsRow
                                                     : ResultsBadRow;
  }
  if (reader.error != 0)
    return ResultsFailed;
  return reader.headerSeen ? ResultsEnd : ResultsNoHeader;
}
