// keyboard-report / KeyboardReport.exe: reads a checker log and answers
// which keys worked. Status 0 all tested (or --help, --version), 1 some
// never pressed or held, 2 the log could not be read, an output could not
// be written, or a usage error; nothing half-written is left behind on 2,
// and the log itself is never written to.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keymodel/transition_log.h"
#include "report/html_report.h"
#include "report/json_writer.h"
#include "report/platform.h"
#include "report/summary_text.h"
#include "report/watch.h"
#include "version.h"

namespace {

constexpr char kUsage[] = "usage: keyboard-report [--layout jp|us] [--json] "
                          "[--html FILE] [--watch [--chatter MS]] [LOG]\n";
constexpr char kHelp[] =
    "Reads a keyboard checker log (default %s) and\n"
    "tells which keys were tested, held at the end or never pressed.\n"
    "  --layout jp|us  the keyboard to check against (default: from the "
    "log)\n"
    "  --json          one JSON object on stdout, no HTML unless --html\n"
    "  --html FILE     where the HTML report goes (default: "
    "keyboard-report.html\n"
    "                  beside the log)\n"
    "  --watch         follow the log while the checker writes it\n"
    "  --chatter MS    with --watch: a key down again sooner than this\n"
    "                  after its up is chatter (default 30)\n"
    "Exit status: 0 every key tested, 1 some never pressed or held, 2 the\n"
    "log could not be read, an output could not be written, or a usage\n"
    "error.\n";

struct Options {
  KeyboardLayout layout = LayoutUnset;
  bool json = false;
  const char *html = nullptr;
  const char *log = nullptr;
  bool watch = false;
  bool help = false;
  bool version = false;
  double chatterMs = 30; // faster than any person presses a key twice
};

bool parseOptions(int argc, char **argv, Options &options) {
  bool chatter = false;
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
    } else if (std::strcmp(arg, "--watch") == 0) {
      options.watch = true;
    } else if (std::strcmp(arg, "--chatter") == 0 && hasValue) {
      options.chatterMs = std::strtod(argv[++i], &end);
      chatter = true;
      if (*end != '\0' || !(options.chatterMs > 0 && options.chatterMs < 1e6))
        return false;
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
  return !(chatter && !options.watch) &&
         !(options.html != nullptr && options.html[0] == '\0');
}

int fail(const char *what, const char *path, const char *why) {
  std::fprintf(stderr, "keyboard-report: %s ", what);
  writeFileName(stderr, path);
  std::fprintf(stderr, ": %s\n", why);
  return 2;
}

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
    return fail("cannot write", "the output", std::strerror(errno));
  return 0;
}

// The whole log goes through the reader once; false with errno-style code
// in error when it could not be read to its end.
bool readLog(const char *path, LogReading &reading, const NameTable &names,
             int &error) {
  static LineReader reader;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr) {
    error = errno;
    return false;
  }
  startReading(reader, file);
  startLogReading(reading);
  Line line;
  ReadResult result;
  while ((result = nextLine(reader, line)) == ReadLine)
    readLogLine(reading, names, line);
  error = reader.error;
  std::fclose(file);
  return result == ReadEnd;
}

std::string defaultHtmlPath(const char *log) {
  std::string path = log;
  size_t cut = path.size();
  while (cut > 0 && !isPathSeparator(path[cut - 1]))
    --cut;
  return path.substr(0, cut) + "keyboard-report.html";
}

// A file or nothing at the path: the HTML goes to a new file beside it,
// renamed into place once whole, so a failure leaves what was there. The
// default path is never written through a link, which the new file
// replaces, nor onto a folder or a device. A path the user chose that is
// a link or a device is written in place, where the user sent it, and
// never removed.
bool writeHtml(const std::string &path, bool chosen, const Report &report,
               int &error) {
  std::string temporary;
  FILE *out = nullptr;
  const PathKind kind = pathKind(path.c_str());
  if (!chosen && kind == PathOther) {
    error = EEXIST;
    return false;
  }
  const bool replace =
      kind == PathMissing || kind == PathFile || (!chosen && kind == PathLink);
  for (int i = 0; replace && out == nullptr && i < 100; ++i) {
    temporary = path + ".part" + std::to_string(i);
    out = createNewFile(temporary.c_str());
    if (out == nullptr && errno != EEXIST)
      break;
  }
  if (!replace)
    out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = errno;
    return false;
  }
  bool written = writeHtmlReport(out, report);
  error = errno;
  written = std::fclose(out) == 0 && written;
  error = written ? 0 : error != 0 ? error : errno;
  if (replace && written && !replaceFile(temporary.c_str(), path.c_str()))
    written = false, error = errno;
  if (replace && !written)
    std::remove(temporary.c_str());
  return written;
}

int report(const Options &options) {
  static NameTable names;
  static LogReading reading;
  buildNameTable(names);
  int error = 0;
  const WatchRequest watch = {options.log, options.layout,
                              options.chatterMs / 1000,
                              options.json ? stderr : stdout};
  const bool read = options.watch ? watchLog(watch, reading, names, error)
                                  : readLog(options.log, reading, names, error);
  if (!read)
    return fail(options.watch ? "cannot read" : "cannot open", options.log,
                error == kNotRegularFile
                    ? "not a regular file (the watch follows a file)"
                    : std::strerror(error));
  if (reading.logLines == 0) {
    std::fputs("keyboard-report: ", stderr);
    writeFileName(stderr, options.log);
    std::fputs(" is not a key log: no log line in it\n", stderr);
    return 2;
  }

  Report report;
  decideReport(report, reading, names, options.layout);
  report.logPath = options.log;
  const bool chosen = options.html != nullptr;
  std::string html = chosen         ? std::string(options.html)
                     : options.json ? std::string()
                                    : defaultHtmlPath(options.log);
  if (!html.empty() && sameFile(html.c_str(), options.log)) {
    if (chosen)
      return fail("will not write", html.c_str(), kHtmlIsLog);
    std::fputs("keyboard-report: warning: no HTML, it would replace the log\n",
               stderr);
    html.clear();
  }
  if (!html.empty() && !writeHtml(html, chosen, report, error)) {
    // The log was read: only an HTML asked for by name is worth a 2.
    fail(chosen ? "cannot write" : "warning: cannot write", html.c_str(),
         std::strerror(error));
    if (chosen)
      return 2;
    html.clear();
  }
  if (options.json)
    writeJsonReport(stdout, report);
  else
    writeSummary(stdout, report, html.empty() ? nullptr : html.c_str());
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    return fail("cannot write", "the output", std::strerror(errno));
  return report.count[KeyHeld] + report.count[KeyNever] > 0 ? 1 : 0;
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
  } else if (options.version) {
    status = printed(std::puts("keyboard-report " KC_VERSION));
  } else if (htmlIsLog(options)) {
    status = fail("will not write", options.html, kHtmlIsLog);
  } else {
    status = report(options);
  }
  if (ownConsole)
    waitForKey();
  return status;
}
