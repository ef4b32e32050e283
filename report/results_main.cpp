// The --results run: every file read through the key model's row reader,
// a row that cannot be read named and passed over, a file that is not a
// results file (or cannot be read) ending the run with nothing written,
// since a yield that silently left a station out would mislead.
#include <cerrno>
#include <cstring>

#include "keymodel/results_file.h"
#include "report/html_file.h"
#include "report/platform.h"
#include "report/results_report.h"
#include "report/summary_text.h"

namespace {

void nameMalformed(const ResultsTally &tally, const char *path, long long line,
                   const std::string &problem) {
  if (tally.malformed > kKeptMalformed)
    return;
  std::fputs("keyboard-report: ", stderr);
  writeFileName(stderr, path);
  std::fprintf(stderr, ": line %lld: %s (skipped)\n", line, problem.c_str());
}

// Every row of one file into the tally; 0, or 2 with the message said.
int readResultsFile(const char *path, ResultsTally &tally) {
  static ResultsReader reader;
  bool regular = true;
  FILE *file = openRegularFile(path, regular);
  if (file == nullptr)
    return sayFailure("cannot open", path,
                      regular ? std::strerror(errno) : "not a regular file");
  tally.files.push_back({path, 0, 0});
  startResultsReading(reader, file);
  ResultRow row;
  std::string problem;
  ResultsRead read;
  while ((read = nextResultRow(reader, row, problem)) == ResultsRow ||
         read == ResultsBadRow) {
    if (read == ResultsRow) {
      addResultRow(tally, row);
    } else {
      addMalformedRow(tally, reader.line, problem);
      nameMalformed(tally, path, reader.line, problem);
    }
  }
  std::fclose(file);
  if (read == ResultsNoHeader)
    return sayFailure("cannot read", path,
                      "not a station's results file (its first line is not the "
                      "header row)");
  if (read == ResultsFailed)
    return sayFailure("cannot read", path, std::strerror(reader.error));
  return 0;
}

// A file named twice (two globs that overlap) is read once, or its units
// would count twice.
bool readBefore(const std::vector<const char *> &files, size_t i) {
  for (size_t j = 0; j < i; ++j)
    if (std::strcmp(files[j], files[i]) == 0 || sameFile(files[j], files[i])) {
      std::fputs("keyboard-report: warning: ", stderr);
      writeFileName(stderr, files[i]);
      std::fputs(" named again, read once\n", stderr);
      return true;
    }
  return false;
}

// The board of every row, drawn as a heat map: the one --board gives when
// it is that board, else the preset of that name.
const Board *boardToDraw(const ResultsTally &tally, const Board *given) {
  static Board preset;
  if (tally.units == 0 || !tally.oneBoard)
    return nullptr;
  if (given != nullptr)
    return given->name == tally.board ? given : nullptr;
  return loadPresetBoard(tally.board.c_str(), preset) ? &preset : nullptr;
}

} // namespace

int reportResults(const ResultsRequest &request) {
  static ResultsTally tally;
  static Board given;
  std::string error;
  if (request.board != nullptr && !loadBoard(request.board, given, error))
    return std::fprintf(stderr, "keyboard-report: %s\n", error.c_str()), 2;
  for (const char *path : request.files)
    if (request.html != nullptr &&
        (std::strcmp(request.html, path) == 0 || sameFile(request.html, path)))
      return sayFailure("will not write", request.html,
                        "it is a results file (the HTML would replace it)");
  startResultsTally(tally);
  for (size_t i = 0; i < request.files.size(); ++i)
    if (!readBefore(request.files, i) &&
        readResultsFile(request.files[i], tally) != 0)
      return 2;
  if (tally.malformed > kKeptMalformed)
    std::fprintf(stderr, "keyboard-report: %lld more malformed rows skipped\n",
                 tally.malformed - kKeptMalformed);
  const Board *board =
      boardToDraw(tally, request.board != nullptr ? &given : nullptr);
  if (request.board != nullptr && board == nullptr && tally.units > 0)
    std::fprintf(stderr,
                 "keyboard-report: warning: the rows are not all of the board "
                 "--board gives (%s): no board drawn\n",
                 given.name.c_str());
  const double median = medianSeconds(tally);
  int code = 0;
  if (request.html != nullptr && !writeHtmlFile(
                                     request.html, true,
                                     [&](FILE *out) {
                                       return writeResultsHtml(out, tally,
                                                               median, board);
                                     },
                                     code))
    return sayFailure("cannot write", request.html, std::strerror(code));
  if (request.json)
    writeResultsJson(stdout, tally, median);
  else
    writeResultsSummary(stdout, tally, median, request.html);
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    return sayFailure("cannot write", "the output", std::strerror(errno));
  return tally.failed == 0 && tally.malformed == 0 ? 0 : 1;
}
