// Plain lines, the lists one to a line, so the summary reads on a console
// and still greps well. The verdict comes first: it is what a tester at a
// bench reads.
#include "report/summary_text.h"

#include "keymodel/text_rules.h"

namespace {

void writeList(FILE *out, const Report &report, KeyResult wanted,
               const char *title) {
  std::fprintf(out, "%s (%d):", title, report.count[wanted]);
  for (int key : keysWithResult(report, wanted))
    std::fprintf(out, " %s", labelText(report, key).c_str());
  std::fputc('\n', out);
}

void writePresses(FILE *out, const Report &report) {
  std::fputs("Pressed more than once:", out);
  forEachRepeatedKey(report, [&](int key, unsigned presses) {
    std::fprintf(out, " %s x%u", labelText(report, key).c_str(), presses);
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
  std::fprintf(out, "Not on the board (%zu, not counted):\n",
               tally.foreign.size());
  long long listed = 0;
  for (const ForeignLabel &foreign : tally.foreign) {
    std::fprintf(out, "  %s %s\n", displayText(foreign.label).c_str(),
                 offBoardNote(foreign).c_str());
    listed += foreign.lines;
  }
  if (listed < tally.foreignLines)
    std::fprintf(out, "  (only the first %d are listed)\n", kKeptForeign);
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

std::string offBoardNote(const ForeignLabel &foreign) {
  std::string note = "(" + std::to_string(foreign.lines) +
                     (foreign.lines == 1 ? " line)" : " lines)");
  const char *preset = presetWithLabel(foreign.label);
  Board board;
  if (preset != nullptr && loadPresetBoard(preset, board))
    note += ": " + board.title + " has it; try --board " + preset;
  return note;
}

const char *verdictWord(const Report &report) {
  return report.verdict.pass ? "PASS" : "FAIL";
}

std::string keyList(const Report &report, const std::vector<int> &keys) {
  std::string list;
  for (int key : keys)
    list += (list.empty() ? "" : " ") + labelText(report, key);
  return list;
}

void describeChatter(char *text, size_t size, const Report &report,
                     const Chatter &chatter) {
  std::snprintf(text, size, "%s: down again %.1f ms after up, line %lld",
                labelText(report, chatter.key).c_str(), chatter.gapMs,
                chatter.line);
}

std::string labelText(const Report &report, int key) {
  return displayText(report.board->keys[key].label);
}

int sayFailure(const char *what, const char *path, const char *why) {
  std::fprintf(stderr, "keyboard-report: %s ", what);
  writeFileName(stderr, path);
  std::fprintf(stderr, ": %s\n", why);
  return 2;
}

void writeFileName(FILE *out, const char *name) {
  std::fputs(displayText(name).c_str(), out);
}

void writeSummary(FILE *out, const Report &report, const char *htmlPath) {
  const Tally &tally = *report.tally;
  writeVerdict(out, report);
  std::fputs("Log: ", out);
  writeFileName(out, report.logPath);
  std::fprintf(out, "%s\n", report.closed ? "" : " (no closing line)");
  std::fprintf(out, "Board: %s, %s, from the %s\n",
               displayText(report.board->name).c_str(),
               displayText(report.board->title).c_str(), report.boardFrom);
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
