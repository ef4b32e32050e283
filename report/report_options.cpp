// keyboard-report's options, each at most once where a second would be
// ambiguous; what cannot go together (several files without --results, a
// watch of one unit) is a usage error rather than a guess.
#include "report/report_options.h"

#include <cstdlib>
#include <cstring>

#include "keymodel/transition_log.h"

const char kUsage[] =
    "usage: keyboard-report [--board NAME|FILE] [--json] [--html FILE] "
    "[--watch] [--chatter MS] [--unit N] [LOG | --results FILE...] | "
    "--boards | --board NAME --print-board\n";
const char kHelp[] =
    "Reads a keyboard checker log (default %s) and\n"
    "tells which keys of the board were tested, held at the end or never\n"
    "pressed, with a verdict: PASS when every key went down and came up,\n"
    "none is held at the end and none chattered; otherwise FAIL.\n"
    "  --board NAME|FILE  the board to judge against: a preset (--boards\n"
    "                  lists them) or a board file (default: from the log)\n"
    "  --layout jp|us  the same as --board jp106 or --board us101\n"
    "  --boards        list the preset boards and end\n"
    "  --print-board   with --board NAME: write that preset's board file to\n"
    "                  stdout and end, to start a board file of your own from\n"
    "  --json          one JSON object on stdout, no HTML unless --html\n"
    "  --html FILE     where the HTML report goes (default: "
    "keyboard-report.html\n"
    "                  beside the log)\n"
    "  --watch         follow the log while the checker writes it\n"
    "  --chatter MS    a key down again sooner than this after its up is\n"
    "                  chatter (default 30); needs times, from the log or\n"
    "                  from --watch\n"
    "  --unit N        judge unit N of a station's log from its own lines\n"
    "  --results       read stations' results files (keyboard-results-*.csv)\n"
    "                  instead: the yield, the keys that failed, chatter by\n"
    "                  key, the median time per unit; status 0 when every\n"
    "                  unit passed\n"
    "Exit status: 0 PASS, 1 FAIL, 2 the log or the board could not be\n"
    "read, an output could not be written, or a usage error.\n";

bool parseOptions(int argc, char **argv, Options &options) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    const bool hasValue = i + 1 < argc;
    char *end = nullptr;
    if (std::strcmp(arg, "--help") == 0) {
      options.help = true;
    } else if (std::strcmp(arg, "--version") == 0) {
      options.version = true;
    } else if (std::strcmp(arg, "--json") == 0) {
      options.json = true;
    } else if (std::strcmp(arg, "--boards") == 0) {
      options.boards = true;
    } else if (std::strcmp(arg, "--print-board") == 0) {
      options.printBoard = true;
    } else if (std::strcmp(arg, "--board") == 0 && hasValue &&
               options.board == nullptr) {
      options.board = argv[++i];
    } else if (std::strcmp(arg, "--watch") == 0) {
      options.watch = true;
    } else if (std::strcmp(arg, "--chatter") == 0 && hasValue) {
      options.chatterMs = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(options.chatterMs > 0 && options.chatterMs < 1e6))
        return false;
    } else if (std::strcmp(arg, "--html") == 0 && hasValue) {
      options.html = argv[++i];
    } else if (std::strcmp(arg, "--layout") == 0 && hasValue &&
               options.board == nullptr) {
      const char *value = argv[++i];
      if (std::strcmp(value, "jp") == 0)
        options.board = "jp106";
      else if (std::strcmp(value, "us") == 0)
        options.board = "us101";
      else
        return false;
    } else if (std::strcmp(arg, "--unit") == 0 && hasValue) {
      const long unit = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || unit < 1 || unit > 999999999 || options.unit != 0)
        return false;
      options.unit = static_cast<int>(unit);
    } else if (std::strcmp(arg, "--results") == 0) {
      options.results = true;
    } else if (arg[0] == '-') {
      return false;
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.printBoard &&
      (options.board == nullptr || !options.files.empty()))
    return false;
  options.log = options.files.empty() ? kLogFileName : options.files[0];
  const bool logOnly =
      options.watch || options.unit > 0 || options.chatterMs != kNoTime;
  if (options.results
          ? options.files.empty() || logOnly
          : options.files.size() > 1 || (options.watch && options.unit > 0))
    return false;
  return !(options.html != nullptr && options.html[0] == '\0');
}
