// Plain lines, the lists one to a line, so the summary reads on a console
// and still greps well.
#include "report/summary_text.h"

namespace {

void writeList(FILE *out, const Report &report, KeyResult wanted,
               const char *title) {
  std::fprintf(out, "%s (%d):", title, report.count[wanted]);
  for (int i = 0; i < report.names->orderCount[report.layoutIndex]; ++i) {
    const int name = reportName(report, i);
    if (finalState(*report.tally, *report.names, name) == wanted)
      std::fprintf(out, " %s", report.names->names[name].utf8);
  }
  std::fputc('\n', out);
}

} // namespace

void writeSummary(FILE *out, const Report &report, const char *htmlPath) {
  const Tally &tally = *report.tally;
  std::fprintf(out, "Log: %s%s\n", report.logPath,
               report.closed ? "" : " (no closing line)");
  std::fprintf(out, "Layout: %s, from the %s\n",
               report.layout == LayoutJP ? "jp" : "us", report.layoutFrom);
  std::fprintf(out,
               "Keys: %d, tested %d, held %d, never pressed %d; at most %d "
               "held at once\n",
               report.names->orderCount[report.layoutIndex],
               report.count[KeyTested], report.count[KeyHeld],
               report.count[KeyNever], tally.maxHeld);
  writeList(out, report, KeyHeld, "Held");
  writeList(out, report, KeyNever, "Never pressed");
  writeList(out, report, KeyTested, "Tested");
  std::fprintf(out, "Anomalies (%lld):\n", tally.anomalyCount);
  for (long long i = 0; i < tally.anomalyCount && i < kKeptAnomalies; ++i)
    std::fprintf(out, "  line %lld: %s\n", tally.anomalies[i].line,
                 tally.anomalies[i].reason);
  if (tally.anomalyCount > kKeptAnomalies)
    std::fprintf(out, "  (only the first %d are listed)\n", kKeptAnomalies);
  std::fprintf(out, "HTML report: %s\n", htmlPath);
}
