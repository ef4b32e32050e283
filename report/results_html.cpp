// The results as one self-contained XHTML page: the yield, then, when all
// rows are of one board the report can draw, that board as a heat map of
// the keys' failures (each cap darker the more units it failed), then the
// lists, which are all a page of several boards gets.
#include <algorithm>

#include "report/html_report.h"
#include "report/results_report.h"
#include "report/verdict.h"

namespace {

constexpr char kNoFailureFill[] = "#f0f0f0";
// A sequential ramp, light to dark, that reads in grey and to colour-blind
// eyes alike (ColorBrewer's OrRd).
constexpr unsigned kRamp[] = {0xfdd49e, 0xfc8d59, 0xd7301f, 0x7f0000};
constexpr int kRampStops = sizeof kRamp / sizeof kRamp[0];

struct Heat {
  char fill[8];
  const char *ink;
};

// The colour of count failures out of most, most > 0.
Heat heatOf(long long count, long long most) {
  Heat heat{"", "#000000"};
  if (count <= 0) {
    std::snprintf(heat.fill, sizeof heat.fill, "%s", kNoFailureFill);
    return heat;
  }
  const double at = (kRampStops - 1) * static_cast<double>(count) / most;
  const int low = std::min(static_cast<int>(at), kRampStops - 2);
  const double t = at - low;
  unsigned rgb = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const double a = (kRamp[low] >> shift) & 0xFF;
    const double b = (kRamp[low + 1] >> shift) & 0xFF;
    rgb |= static_cast<unsigned>(a + (b - a) * t + 0.5) << shift;
  }
  std::snprintf(heat.fill, sizeof heat.fill, "#%06x", rgb);
  heat.ink = at >= 1.5 ? "#ffffff" : "#000000";
  return heat;
}

const KeyFailures *failuresOf(const ResultsTally &tally,
                              const std::string &label) {
  const auto found = tally.keyIndex.find(label);
  return found == tally.keyIndex.end() ? nullptr : &tally.keys[found->second];
}

void writeLegend(FILE *out, long long most, int y) {
  int x = 8;
  long long last = -1;
  for (int step = 0; step <= 4; ++step) {
    const long long count = (most * step + 3) / 4;
    if (count == last)
      continue;
    last = count;
    const Heat heat = heatOf(count, most);
    std::fprintf(out,
                 "<rect x=\"%d\" y=\"%d\" width=\"24\" height=\"24\" rx=\"4\" "
                 "fill=\"%s\" stroke=\"#606060\"/><text x=\"%d\" y=\"%d\" "
                 "font-size=\"13\" text-anchor=\"start\">%lld</text>\n",
                 x, y, heat.fill, x + 30, y + 17, count);
    x += 90;
  }
  std::fprintf(out,
               "<text x=\"%d\" y=\"%d\" font-size=\"13\" "
               "text-anchor=\"start\">units failed</text>\n",
               x, y + 17);
}

void writeHeatMap(FILE *out, const ResultsTally &tally, const Board &board) {
  long long most = 1;
  for (const KeyFailures &key : tally.keys)
    most = std::max(most, key.failed);
  const int height = writeSvgStart(out, board);
  for (const BoardKey &key : board.keys) {
    const KeyFailures *failures = failuresOf(tally, key.label);
    const long long failed = failures != nullptr ? failures->failed : 0;
    const Heat heat = heatOf(failed, most);
    const double x = key.x * kUnit + 2, y = key.y * kUnit + 2;
    const double w = key.w * kUnit - 4, h = key.h * kUnit - 4;
    std::fprintf(out,
                 "<g><title>%lld</title><rect x=\"%g\" y=\"%g\" width=\"%g\" "
                 "height=\"%g\" rx=\"4\" fill=\"%s\" stroke=\"#606060\"/>"
                 "<text x=\"%g\" y=\"%g\" font-size=\"11\" fill=\"%s\">",
                 failed, x, y, w, h, heat.fill, x + w / 2, y + 15, heat.ink);
    writeText(out, capText(key));
    std::fputs("</text>", out);
    if (failed > 0)
      std::fprintf(out,
                   "<text x=\"%g\" y=\"%g\" font-size=\"11\" fill=\"%s\">"
                   "&#215;%lld</text>",
                   x + w / 2, y + 30, heat.ink, failed);
    std::fputs("</g>\n", out);
  }
  writeLegend(out, most, height - kLegend + 8);
  std::fputs("</svg>\n", out);
}

void writeCell(FILE *out, const std::string &text) {
  std::fputs("<td>", out);
  writeText(out, text.c_str());
  std::fputs("</td>", out);
}

void writeTables(FILE *out, const ResultsTally &tally) {
  std::fputs("<h2>Keys that failed</h2>\n<table>\n<tr><th>key</th>"
             "<th>units</th><th>untested</th><th>chatter</th><th>held</th>"
             "</tr>\n",
             out);
  for (const KeyFailures *key : failedKeys(tally)) {
    std::fputs("<tr>", out);
    writeCell(out, key->label);
    std::fprintf(out, "<td>%lld</td><td>%lld</td><td>%lld</td><td>%lld</td>",
                 key->failed, key->untested, key->chatter, key->held);
    std::fputs("</tr>\n", out);
  }
  std::fputs("</table>\n<h2>Chatter by key</h2>\n<table>\n<tr><th>key</th>"
             "<th>units</th><th>shortest gap (ms)</th></tr>\n",
             out);
  for (const KeyFailures *key : chatterKeys(tally)) {
    std::fputs("<tr>", out);
    writeCell(out, key->label);
    std::fprintf(out, "<td>%lld</td><td>%.1f</td></tr>\n", key->chatter,
                 tenth(key->shortestGapMs));
  }
  std::fputs("</table>\n<h2>Files</h2>\n<ul>\n", out);
  for (const ResultsFileCount &file : tally.files) {
    std::fputs("<li>", out);
    writeText(out, file.path.c_str());
    std::fprintf(out, ": %lld units, %lld malformed rows</li>\n", file.units,
                 file.malformed);
  }
  std::fprintf(out, "</ul>\n<h2>Malformed rows: %lld</h2>\n<ul>\n",
               tally.malformed);
  for (const MalformedRow &row : tally.malformedRows) {
    std::fputs("<li>", out);
    writeText(out, tally.files[row.file].path.c_str());
    std::fprintf(out, ", line %lld: ", row.line);
    writeText(out, row.problem.c_str());
    std::fputs("</li>\n", out);
  }
  std::fputs("</ul>\n", out);
}

} // namespace

bool writeResultsHtml(FILE *out, const ResultsTally &tally, double median,
                      const Board *board) {
  std::fputs("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
             "lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
             "<title>Station results</title>\n<style>\n"
             "body { font-family: sans-serif; margin: 1em; }\n"
             "svg { max-width: 100%; height: auto; }\n"
             "td, th { padding: 0 0.8em; text-align: right; }\n"
             "td:first-child { font-family: monospace; text-align: left; }\n"
             "@page { size: landscape; margin: 1cm; }\n"
             "</style>\n</head>\n<body>\n",
             out);
  std::fprintf(out,
               "<h1>Station results: %lld units from %zu files</h1>\n"
               "<h2 class=\"yield\">PASS %lld, FAIL %lld",
               tally.units, tally.files.size(), tally.passed, tally.failed);
  if (tally.units > 0)
    std::fprintf(out, " (%.1f %% PASS)", passPercent(tally));
  std::fputs("</h2>\n", out);
  if (median >= 0)
    std::fprintf(out, "<p>Median time per unit: %.1f s.</p>\n", tenth(median));
  if (board != nullptr) {
    std::fputs("<p>Board ", out);
    writeText(out, board->name.c_str());
    std::fputs(", ", out);
    writeText(out, board->title.c_str());
    std::fputs(": each key by the units it failed in.</p>\n", out);
    writeHeatMap(out, tally, *board);
  } else if (tally.units > 0) {
    std::fputs("<p>No board drawn: the rows are of several boards, or of one "
               "that is no preset and was not given with --board.</p>\n",
               out);
  }
  writeTables(out, tally);
  std::fputs("</body>\n</html>\n", out);
  return std::ferror(out) == 0;
}
