// Short logs, one a case, through the real reader, tally and JSON writer:
// the layout and its source, the three results in grid order, the most
// keys held at once and the anomalies with their line numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/json_writer.h"

namespace {

struct Case {
  const char *title;
  std::string log;
  KeyboardLayout option;
  // "layout from keys closed|open", "tested", "held", never count, maxHeld,
  // "line:reason;..."
  const char *head, *tested, *held;
  int never, maxHeld;
  const char *anomalies;
};

const std::string kJP = "Keyboard type : Japanese 106 keyboard / DirectX\r\n";
const std::string kUS = "Keyboard type : PC/AT like US English keyboard / "
                        "DirectX\n";

const Case kCases[] = {
    {"clean JP log, CR LF, closed with Alt+F4",
     "\x8A\xBF down\r\n\x8A\xBF up\r\nNumPad 7  down\r\nNumPad 7  up\r\n"
     "  \x81\xA9 down\r\n  \x81\xA9 up\r\nLAlt down\r\nF4 down\r\n" +
         kJP,
     LayoutUnset, "jp closing line 107 closed",
     "F4,\xE6\xBC\xA2,LAlt,\xE2\x86\x90,NumPad 7", "", 102, 2, ""},
    {"US log with a held key, inferred", "A down\nS down\nS up\n", LayoutUnset,
     "us names 103 open", "S", "A", 101, 2, ""},
    {"cut mid-line", "Q down\nQ up\nW do", LayoutUnset, "us names 103 open",
     "Q", "", 102, 1, "3:no line end"},
    {"shared name on JP: two downs fit, a third does not",
     "\\ down\n\\ down\n\\ down\n\\ up\n\\ up\n\\ up\n" + kJP, LayoutUnset,
     "jp closing line 107 closed", "\\", "", 106, 1,
     "3:down while already down;6:up while not down"},
    {"shared name on US: one key", "\\ down\n\\ down\n\\ up\n", LayoutUS,
     "us option 103 open", "\\", "", 102, 1, "2:down while already down"},
    {"second copy's log appended", "Q down\nQ up\n" + kUS + "W down\n" + kJP,
     LayoutUnset, "us closing line 103 closed", "Q", "", 102, 1,
     "4:after the closing line;5:after the closing line"},
    {"JP inferred from a JP-only name", "@ down\n@ up\n", LayoutUnset,
     "jp names 107 open", "@", "", 106, 1, ""},
    {"option over names; Alt+F4 not last; junk",
     "\x8A\xBF down\nLAlt down\nF4 down\nQ down\nQ up\njunk\nFoo up\n",
     LayoutUS, "us option 103 open", "Q", "F4,LAlt", 100, 3,
     "1:name not in the layout;6:not a log line;7:name not in the layout"},
};

std::string join(const Report &r, KeyResult wanted) {
  std::string out;
  for (int i = 0; i < r.names->orderCount[r.layoutIndex]; ++i)
    if (finalState(*r.tally, *r.names, reportName(r, i)) == wanted)
      out += (out.empty() ? "" : ",") +
             std::string(r.names->names[reportName(r, i)].utf8);
  return out;
}

std::string readAll(FILE *f) {
  std::string out(4096, '\0');
  std::rewind(f);
  out.resize(std::fread(&out[0], 1, out.size(), f));
  return out;
}

} // namespace

TEST(Report, ReadsLogsIntoStates) {
  static NameTable names;
  static LineReader reader;
  static LogReading reading;
  buildNameTable(names);
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.title);
    FILE *f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(c.log.data(), 1, c.log.size(), f);
    std::rewind(f);
    startReading(reader, f);
    startLogReading(reading);
    Line line;
    while (nextLine(reader, line) == ReadLine)
      readLogLine(reading, names, line);
    Report r;
    decideReport(r, reading, names, c.option);
    EXPECT_EQ(std::string(r.layout == LayoutJP ? "jp " : "us ") + r.layoutFrom +
                  " " + std::to_string(names.orderCount[r.layoutIndex]) +
                  (r.closed ? " closed" : " open"),
              c.head);
    EXPECT_EQ(join(r, KeyTested), c.tested);
    EXPECT_EQ(join(r, KeyHeld), c.held);
    EXPECT_EQ(r.count[KeyNever], c.never);
    EXPECT_EQ(r.tally->maxHeld, c.maxHeld);
    std::string anomalies;
    for (long long i = 0; i < r.tally->anomalyCount; ++i)
      anomalies += (i > 0 ? ";" : "") +
                   std::to_string(r.tally->anomalies[i].line) + ":" +
                   r.tally->anomalies[i].reason;
    EXPECT_EQ(anomalies, c.anomalies);
    std::rewind(f);
    writeJsonReport(f, r);
    const std::string json = readAll(f);
    EXPECT_EQ(json.find("{\"layout\":\"" +
                        std::string(r.layout == LayoutJP ? "jp" : "us")),
              0u);
    if (std::string(c.tested) == "\\") {
      EXPECT_NE(json.find("\"tested\":[\"\\\\\"]"), std::string::npos);
    }
    std::fclose(f);
  }
}

TEST(Report, JsonStringsEscapeQuotesBackslashesAndControls) {
  FILE *f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  writeJsonString(f, "a\"b\\c\x01\n\xE6\xBC\xA2");
  EXPECT_EQ(readAll(f), "\"a\\\"b\\\\c\\u0001\\u000a\xE6\xBC\xA2\"");
  std::fclose(f);
}
