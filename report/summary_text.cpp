// Plain lines, the lists one to a line, so the summary reads on a console
// and still greps well.
#include "report/summary_text.h"

namespace {

void writeList(FILE *out, const Report &report, KeyResult wanted,
               const char *title) {
  std::fprintf(out, "%s (%d):", title, report.count[wanted]);
  for (int i = 0; i < report.names->orderCount[report.layoutIndex]; ++i) {
    const int name = reportName(report, i);
    if (reportResult(report, name) == wanted)
      std::fprintf(out, " %s", report.names->names[name].utf8);
  }
  std::fputc('\n', out);
}

void writePresses(FILE *out, const Report &report) {
  std::fputs("Pressed more than once:", out);
  forEachRepeatedKey(report, [&](int name, unsigned presses) {
    std::fprintf(out, " %s x%u", report.names->names[name].utf8, presses);
  });
  std::fputc('\n', out);
}

void writeChatter(FILE *out, const Report &report) {
  const Tally &tally = *report.tally;
  std::fprintf(out, "Chatter (%lld):\n", tally.chatterCount);
  forEachChatter(report,
                 [&](const char *text) { std::fprintf(out, "  %s\n", text); });
  if (tally.chatterCount > kKeptChatter)
    std::fprintf(out, "  (only the first %d are listed)\n", kKeptChatter);
}

} // namespace

void describeChatter(char *text, size_t size, const Report &report,
                     const Chatter &chatter) {
  std::snprintf(text, size, "%s: down again %.1f ms after up, line %lld",
                report.names->names[chatter.name].utf8, chatter.gapMs,
                chatter.line);
}

std::string fileNameText(const char *name) {
  std::string text;
  char escaped[12];
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(name);
       *p != 0; ++p) {
    if (*p < 0x20 || *p == 0x7F)
      std::snprintf(escaped, sizeof escaped, "\\x%02X", *p);
    else if (*p == 0xC2 && p[1] >= 0x80 && p[1] < 0xA0)
      std::snprintf(escaped, sizeof escaped, "\\xC2\\x%02X", *++p);
    else
      escaped[0] = static_cast<char>(*p), escaped[1] = '\0';
    text += escaped;
  }
  return text;
}

void writeFileName(FILE *out, const char *name) {
  std::fputs(fileNameText(name).c_str(), out);
}

void writeSummary(FILE *out, const Report &report, const char *htmlPath) {
  const Tally &tally = *report.tally;
  std::fputs("Log: ", out);
  writeFileName(out, report.logPath);
  std::fprintf(out, "%s\n", report.closed ? "" : " (no closing line)");
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
  writePresses(out, report);
  if (report.watched)
    writeChatter(out, report);
  std::fprintf(out, "Anomalies (%lld):\n", tally.anomalyCount);
  for (long long i = 0; i < tally.anomalyCount && i < kKeptAnomalies; ++i)
    std::fprintf(out, "  line %lld: %s\n", tally.anomalies[i].line,
                 tally.anomalies[i].reason);
  if (tally.anomalyCount > kKeptAnomalies)
    std::fprintf(out, "  (only the first %d are listed)\n", kKeptAnomalies);
  if (htmlPath != nullptr) {
    std::fputs("HTML report: ", out);
    writeFileName(out, htmlPath);
    std::fputc('\n', out);
  }
}
