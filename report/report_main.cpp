// keyboard-report / KeyboardReport.exe: reads a checker log and answers
// which keys of the board worked. Status 0 for a PASS (or --help,
// --version, --boards), 1 for a FAIL, 2 when the log or the board could
// not be read, an output could not be written, or a usage error; nothing
// half-written is left behind on 2, and the log itself is never written to.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "keymodel/board_presets.h"
#include "keymodel/text_rules.h"
#include "keymodel/transition_log.h"
#include "report/html_file.h"
#include "report/json_report.h"
#include "report/platform.h"
#include "report/report_options.h"
#include "report/results_report.h"
#include "report/summary_text.h"
#include "report/unit_reading.h"
#include "report/watch.h"
#include "version.h"

namespace {

constexpr char kHtmlIsLog[] = "it is the log (the HTML would replace it)";

// Writing the HTML over the log would lose the log: said before anything
// is read, when the two names are one file or one name.
bool htmlIsLog(const Options &options) {
  return options.html != nullptr &&
         (std::strcmp(options.html, options.log) == 0 ||
          sameFile(options.html, options.log));
}

// --help and --version, which fail as any other output does when stdout
// cannot take them.
int printed(int written) {
  if (written < 0 || std::fflush(stdout) != 0 || std::ferror(stdout))
    return sayFailure("cannot write", "the output", std::strerror(errno));
  return 0;
}

// The whole log goes through the reader once; false with errno-style code
// in error when it could not be read to its end.
bool readLog(const char *path, LogReading &reading, const NameTable &names,
             double chatterMs, int &error) {
  static LineReader reader;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr) {
    error = errno;
    return false;
  }
  startReading(reader, file);
  startLogReading(reading, reading.boards, chatterMs);
  Line line;
  ReadResult result;
  while ((result = nextLine(reader, line)) == ReadLine)
    readLogLine(reading, names, line);
  error = reader.error;
  std::fclose(file);
  return result == ReadEnd;
}

// The board asked for, or every preset, since the log may name any.
bool candidateBoards(const Options &options, std::vector<Board> &boards) {
  std::string error;
  boards.assign(options.board != nullptr ? 1 : boardPresetCount(), Board{});
  if (options.board != nullptr && !loadBoard(options.board, boards[0], error))
    return std::fprintf(stderr, "keyboard-report: %s\n", error.c_str()), false;
  for (int i = 0; options.board == nullptr && i < boardPresetCount(); ++i)
    loadPresetBoard(boardPresetName(i), boards[i]);
  return true;
}

int listBoards() {
  Board board;
  for (int i = 0; i < boardPresetCount(); ++i) {
    loadPresetBoard(boardPresetName(i), board);
    std::printf("%-8s %3zu keys  %s\n", board.name.c_str(), board.keys.size(),
                board.title.c_str());
  }
  return 0;
}

// A preset's file exactly as it ships, for a user to start a board file
// from.
int printBoard(const char *name) {
  for (int i = 0; i < kBoardPresetCount; ++i) {
    const char *text = kBoardPresets[i].text;
    const size_t size = std::strlen(text);
    if (std::strcmp(kBoardPresets[i].name, name) == 0)
      return printed(std::fwrite(text, 1, size, stdout) == size ? 0 : -1);
  }
  std::fprintf(stderr,
               "keyboard-report: --print-board: \"%s\" is no preset board "
               "(--boards lists them)\n",
               displayText(name).c_str());
  return 2;
}

int report(const Options &options) {
  static NameTable names;
  static LogReading reading;
  buildNameTable(names);
  if (!candidateBoards(options, reading.boards))
    return 2;
  int error = 0;
  const WatchRequest watch = {options.log, options.board != nullptr,
                              options.chatterMs,
                              options.json ? stderr : stdout};
  UnitReading unit{options.unit, 0, false, false, UnitStart, 0, 0};
  const bool read =
      options.watch ? watchLog(watch, reading, names, error)
      : options.unit > 0
          ? readUnitLog(options.log, reading, names, options.chatterMs, unit,
                        error)
          : readLog(options.log, reading, names, options.chatterMs, error);
  if (!read)
    return sayFailure(options.watch ? "cannot read" : "cannot open",
                      options.log,
                      error == kNotRegularFile
                          ? "not a regular file (the watch follows a file)"
                          : std::strerror(error));
  static Report report;
  std::string problem = stationLogProblem(options.log, reading, unit);
  if (!problem.empty() ||
      !decideReport(report, reading, options.board != nullptr, problem)) {
    std::fputs("keyboard-report: ", stderr);
    writeFileName(stderr, options.log);
    std::fprintf(stderr, ": %s\n", problem.c_str());
    return 2;
  }
  if (report.tally->keyLines == 0 && !reading.closed) {
    std::fputs("keyboard-report: ", stderr);
    writeFileName(stderr, options.log);
    std::fputs(" is not a key log: no log line in it\n", stderr);
    return 2;
  }
  report.logPath = options.log;
  const bool chosen = options.html != nullptr;
  std::string html = chosen         ? std::string(options.html)
                     : options.json ? std::string()
                                    : defaultHtmlPath(options.log);
  if (!html.empty() && sameFile(html.c_str(), options.log)) {
    if (chosen)
      return sayFailure("will not write", html.c_str(), kHtmlIsLog);
    std::fputs("keyboard-report: warning: no HTML, it would replace the log\n",
               stderr);
    html.clear();
  }
  if (!html.empty() && !writeHtml(html, chosen, report, error)) {
    // The log was read: only an HTML asked for by name is worth a 2.
    sayFailure(chosen ? "cannot write" : "warning: cannot write", html.c_str(),
               std::strerror(error));
    if (chosen)
      return 2;
    html.clear();
  }
  if (options.json && options.unit > 0)
    writeUnitJson(stdout, reading, unit, report);
  else if (options.json)
    writeJsonReport(stdout, report);
  else
    writeSummary(stdout, report, html.empty() ? nullptr : html.c_str());
  if (!options.json && options.unit > 0)
    writeUnitSummary(stdout, reading, unit, report);
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    return sayFailure("cannot write", "the output", std::strerror(errno));
  return report.verdict.pass ? 0 : 1;
}

} // namespace

// Started from Explorer, the program has a console of its own, which goes
// with it: there it waits for a key before it ends, and double-clicked
// with no log it watches the checker's log in its own folder, which is
// where a double-clicked checker writes it.
int main(int argc, char **argv) {
  prepareConsole();
  const bool ownConsole = ownsConsole();
  static char log[4096];
  Options options;
  int status = 2;
  if (ownConsole && argc == 1 && programFolder(log, sizeof log) &&
      std::strlen(log) + sizeof kLogFileName <= sizeof log) {
    options.watch = true;
    options.log = std::strcat(log, kLogFileName);
    status = report(options);
  } else if (!parseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
  } else if (options.help) {
    status = printed(
        std::fputs(kUsage, stdout) < 0 ? -1 : std::printf(kHelp, kLogFileName));
  } else if (options.boards) {
    status = listBoards();
  } else if (options.printBoard) {
    status = printBoard(options.board);
  } else if (options.version) {
    status = printed(std::puts("keyboard-report " KC_VERSION));
  } else if (options.results) {
    status = reportResults(
        {options.files, options.board, options.json, options.html});
  } else if (htmlIsLog(options)) {
    status = sayFailure("will not write", options.html, kHtmlIsLog);
  } else {
    status = report(options);
  }
  if (ownConsole)
    waitForKey();
  return status;
}
