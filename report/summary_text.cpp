// Plain lines, the lists one to a line, so the summary reads on a console
// and still greps well. The verdict comes first: it is what a tester at a
// bench reads.
#include "report/summary_text.h"

namespace {

void writeList(FILE *out, const Report &report, KeyResult wanted,
               const char *title) {
  std::fprintf(out, "%s (%d):", title, report.count[wanted]);
  for (int key : keysWithResult(report, wanted))
    std::fprintf(out, " %s", report.board->keys[key].label.c_str());
  std::fputc('\n', out);
}

void writePresses(FILE *out, const Report &report) {
  std::fputs("Pressed more than once:", out);
  forEachRepeatedKey(report, [&](int key, unsigned presses) {
    std::fprintf(out, " %s x%u", report.board->keys[key].label.c_str(),
                 presses);
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

void writeForeign(FILE *out, const Report &report) {
  const Tally &tally = *report.tally;
  if (tally.foreignLines == 0)
    return;
  std::fprintf(
      out, "Not on the board (%lld lines, not counted):", tally.foreignLines);
  for (const ForeignLabel &foreign : tally.foreign) {
    std::fputc(' ', out);
    writeFileName(out, foreign.label.c_str());
  }
  std::fputc('\n', out);
}

void writeVerdict(FILE *out, const Report &report) {
  std::fprintf(out, "Verdict: %s\n", verdictWord(report));
  for (const Reason &reason : verdictReasons(report))
    std::fprintf(out, "  %s (%zu): %s\n", reason.title, reason.keys->size(),
                 keyList(report, *reason.keys).c_str());
  if (report.yenRoUntested)
    std::fprintf(out, "  %s\n", kYenRoHint);
  if (!report.boardNamed)
    std::fprintf(out, "  %s\n", kBoardNotNamed);
}

} // namespace

std::vector<Reason> verdictReasons(const Report &report) {
  const Verdict &v = report.verdict;
  std::vector<Reason> reasons;
  if (!v.untested.empty())
    reasons.push_back({"untested", &v.untested});
  if (!v.held.empty())
    reasons.push_back({"held at the end", &v.held});
  if (!v.chattered.empty())
    reasons.push_back({"chatter", &v.chattered});
  return reasons;
}

const char *verdictWord(const Report &report) {
  return report.verdict.pass ? "PASS" : "FAIL";
}

std::string keyList(const Report &report, const std::vector<int> &keys) {
  std::string list;
  for (int key : keys)
    list += (list.empty() ? "" : " ") + report.board->keys[key].label;
  return list;
}

void describeChatter(char *text, size_t size, const Report &report,
                     const Chatter &chatter) {
  std::snprintf(text, size, "%s: down again %.1f ms after up, line %lld",
                report.board->keys[chatter.key].label.c_str(), chatter.gapMs,
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
  writeVerdict(out, report);
  std::fputs("Log: ", out);
  writeFileName(out, report.logPath);
  std::fprintf(out, "%s\n", report.closed ? "" : " (no closing line)");
  std::fprintf(out, "Board: %s, %s, from the %s\n", report.board->name.c_str(),
               report.board->title.c_str(), report.boardFrom);
  std::fprintf(out,
               "Keys: tested %d of %zu, held %d, never pressed %d; at most %d "
               "held at once\n",
               report.count[KeyTested], report.board->keys.size(),
               report.count[KeyHeld], report.count[KeyNever], tally.maxHeld);
  writeList(out, report, KeyHeld, "Held");
  writeList(out, report, KeyNever, "Never pressed");
  writeList(out, report, KeyTested, "Tested");
  writeForeign(out, report);
  writePresses(out, report);
  if (report.timed)
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
