// keyboard-report / KeyboardReport.exe: reads a checker log and answers
// which keys worked. Status 0 all tested (or --help, --version), 1 some
// never pressed or held, 2 the log could not be read (or a usage error);
// nothing half-written is left behind on 2.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "keymodel/transition_log.h"
#include "report/html_report.h"
#include "report/json_writer.h"
#include "report/platform.h"
#include "report/summary_text.h"
#include "version.h"

namespace {

constexpr char kUsage[] =
    "usage: keyboard-report [--layout jp|us] [--json] [--html FILE] [LOG]\n";
constexpr char kHelp[] =
    "Reads a keyboard checker log (default %s) and\n"
    "tells which keys were tested, held at the end or never pressed.\n"
    "  --layout jp|us  the keyboard to check against (default: from the "
    "log)\n"
    "  --json          one JSON object on stdout, no HTML unless --html\n"
    "  --html FILE     where the HTML report goes (default: "
    "keyboard-report.html\n"
    "                  beside the log)\n"
    "Exit status: 0 every key tested, 1 some never pressed or held, 2 the\n"
    "log could not be read or a usage error.\n";

struct Options {
  KeyboardLayout layout = LayoutUnset;
  bool help = false;
  bool version = false;
  bool json = false;
  const char *html = nullptr;
  const char *log = nullptr;
};

bool parseOptions(int argc, char **argv, Options &options) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--help") == 0) {
      options.help = true;
    } else if (std::strcmp(arg, "--version") == 0) {
      options.version = true;
    } else if (std::strcmp(arg, "--json") == 0) {
      options.json = true;
    } else if (std::strcmp(arg, "--html") == 0 && hasValue) {
      options.html = argv[++i];
    } else if (std::strcmp(arg, "--layout") == 0 && hasValue) {
      const char *value = argv[++i];
      if (std::strcmp(value, "jp") == 0)
        options.layout = LayoutJP;
      else if (std::strcmp(value, "us") == 0)
        options.layout = LayoutUS;
      else
        return false;
    } else if (arg[0] == '-' || options.log != nullptr) {
      return false;
    } else {
      options.log = arg;
    }
  }
  if (options.log == nullptr)
    options.log = kLogFileName;
  return true;
}

int fail(const char *what, const char *path, const char *why) {
  std::fprintf(stderr, "keyboard-report: %s %s: %s\n", what, path, why);
  return 2;
}

// The whole log goes through the reader once; false with errno-style code
// in error when it could not be read to its end.
bool readLog(FILE *file, LogReading &reading, const NameTable &names,
             int &error) {
  static LineReader reader;
  startReading(reader, file);
  startLogReading(reading);
  Line line;
  ReadResult result;
  while ((result = nextLine(reader, line)) == ReadLine)
    readLogLine(reading, names, line);
  error = reader.error;
  return result == ReadEnd;
}

std::string defaultHtmlPath(const char *log) {
  std::string path = log;
  size_t cut = path.size();
  while (cut > 0 && !isPathSeparator(path[cut - 1]))
    --cut;
  return path.substr(0, cut) + "keyboard-report.html";
}

int writeHtml(const std::string &path, const Report &report) {
  FILE *out = std::fopen(path.c_str(), "wb");
  if (out == nullptr)
    return fail("cannot write", path.c_str(), std::strerror(errno));
  const bool written = writeHtmlReport(out, report);
  const int saved = errno;
  if (std::fclose(out) != 0 || !written) {
    std::remove(path.c_str());
    return fail("cannot write", path.c_str(),
                std::strerror(written ? errno : saved));
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  prepareConsole();
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    std::printf(kHelp, kLogFileName);
    return 0;
  }
  if (options.version) {
    std::puts("keyboard-report " KC_VERSION);
    return 0;
  }
  FILE *file = std::fopen(options.log, "rb");
  if (file == nullptr)
    return fail("cannot open", options.log, std::strerror(errno));
  static NameTable names;
  static LogReading reading;
  buildNameTable(names);
  int error = 0;
  const bool read = readLog(file, reading, names, error);
  std::fclose(file);
  if (!read)
    return fail("cannot read", options.log, std::strerror(error));
  if (reading.logLines == 0) {
    std::fprintf(stderr,
                 "keyboard-report: %s is not a key log: no log line "
                 "in it\n",
                 options.log);
    return 2;
  }

  Report report;
  report.logPath = options.log;
  decideReport(report, reading, names, options.layout);
  const std::string html = options.html != nullptr ? std::string(options.html)
                           : options.json          ? std::string()
                                          : defaultHtmlPath(options.log);
  if (!html.empty() && writeHtml(html, report) != 0)
    return 2;
  if (options.json)
    writeJsonReport(stdout, report);
  else
    writeSummary(stdout, report, html.c_str());
  return report.count[KeyHeld] + report.count[KeyNever] > 0 ? 1 : 0;
}
