// The keyboard is drawn from the checker's own grid plan, with the metrics
// of the font the checker gets under Wine, so the picture matches what the
// tester saw. Everything is written as XHTML, so an XML parser can check it.
#include "report/html_report.h"

#include <cstring>
#include <initializer_list>

#include "keymodel/grid_plan.h"
#include "keymodel/key_tables.h"
#include "report/summary_text.h"

namespace {

constexpr GridMetrics kMetrics = {16, 9, 23};
constexpr int kScale = 2;

struct Look {
  const char *fill;
  const char *ink;
  const char *title;
};
constexpr Look kLooks[] = {{kTestedFill, "#ffffff", "tested"},
                           {kHeldFill, "#ffffff", "held"},
                           {kNeverFill, "#000000", "never pressed"}};

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

const char *baseName(const char *path) {
  const char *base = path;
  for (const char *p = path; *p != '\0'; ++p)
    if (*p == '/' || *p == '\\')
      base = p + 1;
  return base;
}

bool hasChatter(const Tally &tally, int name) {
  for (long long i = 0; i < tally.chatterCount && i < kKeptChatter; ++i)
    if (tally.chatter[i].name == name)
      return true;
  return false;
}

void writeKeys(FILE *out, const Report &report) {
  GridPlan plan;
  planGrid(plan, report.layout, KeyState{}, kMetrics);
  const int h = kMetrics.height, w = plan.clientWidth, bottom = 7 * h + 4;
  std::fprintf(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" "
               "height=\"%d\" viewBox=\"0 0 %d %d\" font-family=\"monospace\" "
               "font-size=\"13\" text-anchor=\"middle\">\n",
               w * kScale, (bottom + h) * kScale, w, bottom + h);
  constexpr int kMainEnd = kTopRowCols + kMainRows * kMainCols;
  for (int i = 0; i < kGridLabelCount; ++i) {
    const GridLabel &label = plan.labels[i];
    const int name = report.names->byCode[report.layoutIndex][label.code];
    if (label.code == kFillerCode || name < 0)
      continue;
    const Look &look = kLooks[reportResult(report, name)];
    const char *text = cellText(report.names->names[name]);
    // The main block's keys stand 10 pixels apart, the others 5: every
    // box leaves the same 6-pixel gap to the next.
    const bool main = i >= kTopRowCols && i < kMainEnd;
    const int width = label.length * kMetrics.aveCharWidth + (main ? 4 : -1);
    const bool chatter = hasChatter(*report.tally, name);
    std::fprintf(out,
                 "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"3\" "
                 "fill=\"%s\" stroke=\"%s\" stroke-width=\"%d\"/><text "
                 "x=\"%d\" y=\"%d\" fill=\"%s\">",
                 label.x - 2, label.y + 1, width, h - 2, look.fill,
                 chatter ? kChatterStroke : "#606060", chatter ? 2 : 1,
                 label.x - 2 + width / 2, label.y + h - 4, look.ink);
    writeText(out, text);
    std::fputs("</text>\n", out);
  }
  int x = kMetrics.maxCharWidth;
  for (const Look &look : kLooks) {
    std::fprintf(out,
                 "<rect x=\"%d\" y=\"%d\" width=\"24\" height=\"%d\" "
                 "rx=\"3\" fill=\"%s\" stroke=\"#606060\"/><text x=\"%d\" "
                 "y=\"%d\" text-anchor=\"start\">%s</text>\n",
                 x, bottom + 1, h - 2, look.fill, x + 30, bottom + h - 4,
                 look.title);
    x += 160;
  }
  std::fputs("</svg>\n", out);
}

void writeList(FILE *out, const Report &report, KeyResult wanted) {
  std::fprintf(out, "<h2>%s: %d</h2>\n<p>", kLooks[wanted].title,
               report.count[wanted]);
  for (int i = 0; i < report.names->orderCount[report.layoutIndex]; ++i) {
    const int name = reportName(report, i);
    if (reportResult(report, name) != wanted)
      continue;
    std::fputs("<span class=\"key\">", out);
    writeText(out, report.names->names[name].utf8);
    std::fputs("</span> ", out);
  }
  std::fputs("</p>\n", out);
}

void writeCounts(FILE *out, const Report &report) {
  std::fputs("<h2>pressed more than once</h2>\n<p>", out);
  forEachRepeatedKey(report, [&](int name, unsigned presses) {
    std::fputs("<span class=\"key\">", out);
    writeText(out, report.names->names[name].utf8);
    std::fprintf(out, " &#215;%u</span> ", presses);
  });
  std::fputs("</p>\n", out);
}

void writeChatter(FILE *out, const Report &report) {
  std::fprintf(out, "<h2>chatter: %lld</h2>\n<ul>\n",
               report.tally->chatterCount);
  forEachChatter(report, [&](const char *text) {
    std::fputs("<li>", out);
    writeText(out, text);
    std::fputs("</li>\n", out);
  });
  std::fputs("</ul>\n", out);
}

} // namespace

bool writeHtmlReport(FILE *out, const Report &report) {
  const char *layout = report.layout == LayoutJP ? "jp" : "us";
  std::fputs("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
             "lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>",
             out);
  writeText(out, baseName(report.logPath));
  std::fprintf(out,
               " (%s): key report</title>\n<style>\n"
               "body { font-family: sans-serif; margin: 1em; }\n"
               "svg { max-width: 100%%; height: auto; }\n"
               ".key { font-family: monospace; margin-right: 0.6em; }\n"
               "ul { columns: 3; font-size: 85%%; }\n"
               "@page { size: landscape; margin: 1cm; }\n"
               "</style>\n</head>\n<body>\n<h1>",
               layout);
  writeText(out, baseName(report.logPath));
  std::fprintf(out, ", layout %s</h1>\n", layout);
  writeKeys(out, report);
  const Tally &tally = *report.tally;
  std::fprintf(out,
               "<p>Layout %s, from the %s. %s %d keys: %d tested, %d held, "
               "%d never pressed. At most %d held at once.</p>\n",
               layout, report.layoutFrom,
               report.closed ? "The checker was closed normally."
                             : "The log has no closing line.",
               report.names->orderCount[report.layoutIndex],
               report.count[KeyTested], report.count[KeyHeld],
               report.count[KeyNever], tally.maxHeld);
  for (KeyResult result : {KeyHeld, KeyNever, KeyTested})
    writeList(out, report, result);
  writeCounts(out, report);
  if (report.watched)
    writeChatter(out, report);
  std::fprintf(out, "<h2>anomalies: %lld", tally.anomalyCount);
  if (tally.anomalyCount > kKeptAnomalies)
    std::fprintf(out, " (only the first %d are listed)", kKeptAnomalies);
  std::fputs("</h2>\n<ul>\n", out);
  for (long long i = 0; i < tally.anomalyCount && i < kKeptAnomalies; ++i)
    std::fprintf(out, "<li>line %lld: %s</li>\n", tally.anomalies[i].line,
                 tally.anomalies[i].reason);
  std::fputs("</ul>\n</body>\n</html>\n", out);
  return std::ferror(out) == 0;
}
