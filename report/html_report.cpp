// The keyboard is drawn from the board's own keycaps, at their places in
// key units, so the picture is the keyboard on the bench. Everything is
// written as XHTML, so an XML parser can check it.
#include "report/html_report.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "report/summary_text.h"

// Escapes markup; bytes that are not UTF-8 (a code page path) become U+FFFD.
void writeText(FILE *out, const char *text) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  while (*p != 0) {
    const unsigned char c = *p;
    const int extra = c < 0x80                ? 0
                      : c >= 0xC2 && c < 0xE0 ? 1
                      : c >= 0xE0 && c < 0xF0 ? 2
                      : c >= 0xF0 && c < 0xF5 ? 3
                                              : -1;
    int valid = extra;
    for (int i = 1; i <= extra && valid == extra; ++i)
      if ((p[i] & 0xC0) != 0x80)
        valid = -1;
    if (valid < 0) {
      std::fputs("\xEF\xBF\xBD", out);
      ++p;
    } else if (c == '&' || c == '<' || c == '>' || c == '"') {
      std::fputs(c == '&'   ? "&amp;"
                 : c == '<' ? "&lt;"
                 : c == '>' ? "&gt;"
                            : "&quot;",
                 out);
      ++p;
    } else if (c < 0x20 && c != '\t') {
      std::fputs("\xEF\xBF\xBD", out); // XML forbids them even escaped
      ++p;
    } else {
      std::fwrite(p, 1, extra + 1, out);
      p += extra + 1;
    }
  }
}

namespace {

struct Look {
  const char *fill;
  const char *ink;
  const char *title;
};
constexpr Look kLooks[] = {{kTestedFill, "#ffffff", "tested"},
                           {kHeldFill, "#ffffff", "held"},
                           {kNeverFill, "#000000", "never pressed"}};

const char *baseName(const char *path) {
  const char *base = path;
  for (const char *p = path; *p != '\0'; ++p)
    if (*p == '/' || *p == '\\')
      base = p + 1;
  return base;
}

// Pixels per key unit: a one-unit cap is 36 pixels with its gaps.

// Font sizes in the picture's units, and a monospaced cell's width in em.
constexpr int kNormalSize = 13, kSmallestSize = 10;
constexpr double kCellEm = 0.6;

// A label as its cap shows it: one line at the normal size when it fits;
// else two, split at the blank that evens them out; only then smaller, but
// never below the smallest size that still reads, past which a line is
// squeezed to the cap's width rather than spill over its neighbours.
struct CapLines {
  std::string lines[2];
  int count;
  int size;
};

CapLines capLines(const std::string &label, double width, double height) {
  CapLines cap = {{label, ""}, 1, kNormalSize};
  int widest = cellsOf(label.c_str());
  for (size_t blank = label.find(' ');
       widest * kCellEm * kNormalSize > width && blank != std::string::npos;
       blank = label.find(' ', blank + 1)) {
    const std::string first = label.substr(0, blank);
    const std::string second = label.substr(blank + 1);
    const int cells = std::max(cellsOf(first.c_str()), cellsOf(second.c_str()));
    if (cap.count == 1 || cells < widest)
      cap = {{first, second}, 2, kNormalSize}, widest = cells;
  }
  const double fits =
      std::min(width / (widest * kCellEm), height / (cap.count * 1.15));
  cap.size = std::max(kSmallestSize, std::min(kNormalSize, int(fits)));
  return cap;
}

// One line of a cap's label, centred at x: its place and text, squeezed
// when it is too wide.
void writeCapLine(FILE *out, const std::string &line, double x, double y,
                  int size, double width) {
  std::fprintf(out, " x=\"%g\" y=\"%g\"", x, y);
  if (cellsOf(line.c_str()) * kCellEm * size > width)
    std::fprintf(out, " textLength=\"%g\" lengthAdjust=\"spacingAndGlyphs\"",
                 width);
  std::fputc('>', out);
  writeText(out, line.c_str());
}

void writeCap(FILE *out, const BoardKey &key, const Look &look, bool chatter) {
  const double x = key.x * kUnit + 2, y = key.y * kUnit + 2;
  const double w = key.w * kUnit - 4, h = key.h * kUnit - 4;
  const CapLines cap = capLines(capText(key), w - 6, std::min(h, 36.0) - 4);
  std::fprintf(out,
               "<rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" "
               "rx=\"4\" fill=\"%s\" stroke=\"%s\" stroke-width=\"%d\"/>"
               "<text font-size=\"%d\" fill=\"%s\"",
               x, y, w, h, look.fill, chatter ? kChatterStroke : "#606060",
               chatter ? 3 : 1, cap.size, look.ink);
  // On the cap's first row, as a keycap prints its legend.
  if (cap.count == 1) {
    writeCapLine(out, cap.lines[0], x + w / 2, y + 22, cap.size, w - 4);
  } else {
    std::fputc('>', out);
    for (int i = 0; i < 2; ++i) {
      std::fputs("<tspan", out);
      writeCapLine(out, cap.lines[i], x + w / 2,
                   y + 18 - 0.25 * cap.size + i * 1.1 * cap.size, cap.size,
                   w - 4);
      std::fputs("</tspan>", out);
    }
  }
  std::fputs("</text>\n", out);
}

void writeKeys(FILE *out, const Report &report) {
  const Board &board = *report.board;
  const int height = writeSvgStart(out, board);
  for (size_t i = 0; i < board.keys.size(); ++i)
    writeCap(out, board.keys[i],
             kLooks[reportResult(report, static_cast<int>(i))],
             report.progress.keys[i].chattered);
  int x = 8;
  const int legend = height - kLegend + 8;
  for (const Look &look : kLooks) {
    std::fprintf(out,
                 "<rect x=\"%d\" y=\"%d\" width=\"24\" height=\"24\" "
                 "rx=\"4\" fill=\"%s\" stroke=\"#606060\"/><text x=\"%d\" "
                 "y=\"%d\" font-size=\"13\" text-anchor=\"start\">%s</text>\n",
                 x, legend, look.fill, x + 30, legend + 17, look.title);
    x += 160;
  }
  std::fprintf(
      out,
      "<rect x=\"%d\" y=\"%d\" width=\"24\" height=\"24\" rx=\"4\" "
      "fill=\"none\" stroke=\"%s\" stroke-width=\"3\"/><text x=\"%d\" "
      "y=\"%d\" font-size=\"13\" text-anchor=\"start\">chatter</text>\n",
      x, legend, kChatterStroke, x + 30, legend + 17);
  std::fputs("</svg>\n", out);
}

void writeKeyList(FILE *out, const Report &report,
                  const std::vector<int> &keys) {
  for (int key : keys) {
    std::fputs("<span class=\"key\">", out);
    writeText(out, report.board->keys[key].label.c_str());
    std::fputs("</span> ", out);
  }
}

void writeList(FILE *out, const Report &report, KeyResult wanted) {
  static const char *const kHeadings[] = {"Tested", "Held", "Never pressed"};
  std::fprintf(out, "<h2>%s (%d)</h2>\n<p>", kHeadings[wanted],
               report.count[wanted]);
  writeKeyList(out, report, keysWithResult(report, wanted));
  std::fputs("</p>\n", out);
}

void writeVerdict(FILE *out, const Report &report) {
  std::fprintf(out, "<h2 class=\"verdict\">Verdict: %s</h2>\n<ul>\n",
               verdictWord(report));
  for (const Reason &reason : verdictReasons(report)) {
    std::fprintf(out, "<li>%s (%zu): ", reason.title, reason.keys->size());
    writeKeyList(out, report, *reason.keys);
    std::fputs("</li>\n", out);
  }
  if (report.yenRoUntested)
    std::fprintf(out, "<li>%s</li>\n", kYenRoHint);
  if (!report.boardNamed)
    std::fprintf(out, "<li>%s</li>\n", kBoardNotNamed);
  std::fputs("</ul>\n", out);
}

void writeCounts(FILE *out, const Report &report) {
  int repeated = 0;
  forEachRepeatedKey(report, [&](int, unsigned) { ++repeated; });
  std::fprintf(out, "<h2>Pressed more than once (%d)</h2>\n<p>", repeated);
  forEachRepeatedKey(report, [&](int key, unsigned presses) {
    std::fputs("<span class=\"key\">", out);
    writeText(out, report.board->keys[key].label.c_str());
    std::fprintf(out, " &#215;%u</span> ", presses);
  });
  std::fputs("</p>\n", out);
}

void writeChatter(FILE *out, const Report &report) {
  std::fprintf(out, "<h2>Chatter (%lld)</h2>\n<ul>\n",
               report.tally->chatterCount);
  forEachChatter(report, [&](const char *text) {
    std::fputs("<li>", out);
    writeText(out, text);
    std::fputs("</li>\n", out);
  });
  std::fputs("</ul>\n", out);
}

} // namespace

int writeSvgStart(FILE *out, const Board &board) {
  const int width = static_cast<int>(board.width * kUnit + 0.5);
  const int height = static_cast<int>(board.height * kUnit + 0.5) + kLegend;
  std::fprintf(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" "
               "height=\"%d\" viewBox=\"0 0 %d %d\" font-family=\"monospace\" "
               "text-anchor=\"middle\">\n",
               width, height, width, height);
  return height;
}

bool writeHtmlReport(FILE *out, const Report &report) {
  const char *board = report.board->name.c_str();
  std::fputs("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
             "lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>",
             out);
  writeText(out, baseName(report.logPath));
  std::fputs(" (", out);
  writeText(out, board);
  std::fputs("): key report</title>\n<style>\n"
             "body { font-family: sans-serif; margin: 1em; }\n"
             "svg { max-width: 100%; height: auto; }\n"
             ".key { font-family: monospace; white-space: nowrap; "
             "margin-right: 0.6em; }\n"
             "ul { font-size: 85%; }\n"
             "@page { size: landscape; margin: 1cm; }\n"
             "</style>\n</head>\n<body>\n<h1>",
             out);
  writeText(out, baseName(report.logPath));
  std::fputs(", board ", out);
  writeText(out, board);
  std::fputs("</h1>\n", out);
  writeVerdict(out, report);
  writeKeys(out, report);
  const Tally &tally = *report.tally;
  std::fputs("<p>", out);
  writeText(out, report.board->title.c_str());
  std::fprintf(out,
               ", from the %s. %s Tested %d of %zu keys, %d held, "
               "%d never pressed. At most %d held at once.</p>\n",
               report.boardFrom,
               report.closed ? "The checker was closed normally."
                             : "The log has no closing line.",
               report.count[KeyTested], report.board->keys.size(),
               report.count[KeyHeld], report.count[KeyNever], tally.maxHeld);
  for (KeyResult result : {KeyHeld, KeyNever, KeyTested})
    writeList(out, report, result);
  std::fprintf(out, "<h2>Not on the board (%zu)</h2>\n<ul>\n",
               tally.foreign.size());
  for (const ForeignLabel &foreign : tally.foreign) {
    std::fputs("<li><span class=\"key\">", out);
    writeText(out, foreign.label.c_str());
    std::fputs("</span> ", out);
    writeText(out, offBoardNote(foreign).c_str());
    std::fputs("</li>\n", out);
  }
  std::fputs("</ul>\n", out);
  writeCounts(out, report);
  if (report.timed)
    writeChatter(out, report);
  std::fprintf(out, "<h2>Anomalies (%lld)", tally.anomalyCount);
  if (tally.anomalyCount > kKeptAnomalies)
    std::fprintf(out, " (only the first %d are listed)", kKeptAnomalies);
  std::fputs("</h2>\n<ul>\n", out);
  for (long long i = 0; i < tally.anomalyCount && i < kKeptAnomalies; ++i)
    std::fprintf(out, "<li>line %lld: %s</li>\n", tally.anomalies[i].line,
                 tally.anomalies[i].reason);
  std::fputs("</ul>\n</body>\n</html>\n", out);
  return std::ferror(out) == 0;
}
