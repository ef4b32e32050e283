// Names come from the key tables, but "\" is one of them and the reasons
// may change, so nothing reaches the output without going through the
// escaping below.
#include "report/json_writer.h"

#include <initializer_list>

namespace {

constexpr const char *kResultNames[] = {"tested", "held", "never"};

void writeNameList(FILE *out, const Report &report, KeyResult wanted) {
  std::fprintf(out, "\"%s\":[", kResultNames[wanted]);
  const char *separator = "";
  for (int i = 0; i < report.names->orderCount[report.layoutIndex]; ++i) {
    const int name = reportName(report, i);
    if (reportResult(report, name) != wanted)
      continue;
    std::fputs(separator, out);
    writeJsonString(out, report.names->names[name].utf8);
    separator = ",";
  }
  std::fputs("],", out);
}

void writePresses(FILE *out, const Report &report) {
  std::fputs(",\"presses\":{", out);
  const char *separator = "";
  forEachRepeatedKey(report, [&](int name, unsigned presses) {
    std::fputs(separator, out);
    writeJsonString(out, report.names->names[name].utf8);
    std::fprintf(out, ":%u", presses);
    separator = ",";
  });
  std::fputc('}', out);
}

void writeChatter(FILE *out, const Report &report) {
  const Tally &tally = *report.tally;
  std::fputs(",\"chatter\":[", out);
  for (long long i = 0; i < tally.chatterCount && i < kKeptChatter; ++i) {
    const Chatter &c = tally.chatter[i];
    std::fputs(i > 0 ? ",{\"key\":" : "{\"key\":", out);
    writeJsonString(out, report.names->names[c.name].utf8);
    std::fprintf(out, ",\"gapMs\":%.1f,\"line\":%lld}", c.gapMs, c.line);
  }
  std::fputc(']', out);
}

} // namespace

void writeJsonString(FILE *out, const char *text) {
  std::fputc('"', out);
  for (const char *p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
      std::fprintf(out, "\\%c", c);
    else if (c < 0x20)
      std::fprintf(out, "\\u%04x", c);
    else
      std::fputc(c, out);
  }
  std::fputc('"', out);
}

void writeJsonReport(FILE *out, const Report &report) {
  const Tally &tally = *report.tally;
  std::fputs("{\"layout\":", out);
  writeJsonString(out, report.layout == LayoutJP ? "jp" : "us");
  std::fputs(",\"layoutFrom\":", out);
  writeJsonString(out, report.layoutFrom);
  std::fprintf(out, ",\"closed\":%s,\"keys\":%d,",
               report.closed ? "true" : "false",
               report.names->orderCount[report.layoutIndex]);
  for (KeyResult result : {KeyTested, KeyHeld, KeyNever})
    writeNameList(out, report, result);
  std::fprintf(out, "\"maxHeld\":%d", tally.maxHeld);
  writePresses(out, report);
  if (report.watched)
    writeChatter(out, report);
  std::fputs(",\"anomalies\":[", out);
  const long long kept =
      tally.anomalyCount < kKeptAnomalies ? tally.anomalyCount : kKeptAnomalies;
  for (long long i = 0; i < kept; ++i) {
    std::fprintf(out, "%s{\"line\":%lld,\"reason\":", i > 0 ? "," : "",
                 tally.anomalies[i].line);
    writeJsonString(out, tally.anomalies[i].reason);
    std::fputc('}', out);
  }
  std::fprintf(out, "],\"anomalyCount\":%lld}\n", tally.anomalyCount);
}
