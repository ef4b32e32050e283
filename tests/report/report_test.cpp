// Short logs through the real reader, tally and JSON writer, against the
// JSON a person expects (the never list cut to its length): layout and its
// source, results in grid order, rollover, anomalies and their lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "report/json_writer.h"
#include "report/summary_text.h"

namespace {

// clang-format off
struct Case { const char *title; std::string log; KeyboardLayout option; const char *json; };

const std::string kJP = "Keyboard type : Japanese 106 keyboard / DirectX\r\n";
const std::string kUS = "Keyboard type : PC/AT like US English keyboard / DirectX\n";
const char *kCleanJP =
   R"({"layout":"jp","layoutFrom":"closing line","closed":true,"keys":107,"tested":["F4",)"
   "\"\xE6\xBC\xA2\",\"LAlt\",\"\xE2\x86\x90\"," R"("NumPad 7"],"held":[],"never":102,)"
   R"("maxHeld":2,"presses":{},"anomalies":[],"anomalyCount":0})";
const Case kCases[] = {
  {"clean JP log, CR LF, closed with Alt, another key, F4",
   "NumPad 7  down\r\nNumPad 7  up\r\n  \x81\xA9 down\r\n  \x81\xA9 up\r\n\x8A\xBF down\r\n"
   "LAlt down\r\n\x8A\xBF up\r\nF4 down\r\n" + kJP, LayoutUnset, kCleanJP},
  {"the same saved again as UTF-8 with a BOM, no last line end",
   "\xEF\xBB\xBFNumPad 7  down\r\nNumPad 7  up\r\n  \xE2\x86\x90 down\r\n  \xE2\x86\x90 up\r\n"
   "\xE6\xBC\xA2 down\r\nLAlt down\r\n\xE6\xBC\xA2 up\r\nF4 down\r\n" + kJP.substr(0, 47),
   LayoutUnset, kCleanJP},
  {"US log with a held key, inferred", "A down\nS down\nS up\n", LayoutUnset,
   R"({"layout":"us","layoutFrom":"names","closed":false,"keys":103,"tested":["S"],)"
   R"("held":["A"],"never":101,"maxHeld":2,"presses":{},"anomalies":[],"anomalyCount":0})"},
  {"cut mid-line", "Q down\nQ up\nW do", LayoutUnset,
   R"({"layout":"us","layoutFrom":"names","closed":false,"keys":103,"tested":["Q"],)"
   R"("held":[],"never":102,"maxHeld":1,"presses":{},"anomalies":[{"line":3,"reason":"no line end"}],)"
   R"("anomalyCount":1})"},
  {"shared name on JP: two downs fit, a third does not",
   "\\ down\n\\ down\n\\ down\n\\ up\n\\ up\n\\ up\n" + kJP, LayoutUnset,
   R"({"layout":"jp","layoutFrom":"closing line","closed":true,"keys":107,"tested":["\\"],)"
   R"("held":[],"never":106,"maxHeld":2,"presses":{"\\":2},"anomalies":[{"line":3,"reason":"down while )"
   R"(already down"},{"line":6,"reason":"up while not down"}],"anomalyCount":2})"},
  {"shared name on US: one key", "\\ down\n\\ down\n\\ up\n", LayoutUS,
   R"({"layout":"us","layoutFrom":"option","closed":false,"keys":103,"tested":["\\"],)"
   R"("held":[],"never":102,"maxHeld":1,"presses":{},"anomalies":[{"line":2,"reason":"down while )"
   R"(already down"}],"anomalyCount":1})"},
  {"second copy's log appended", "Q down\nQ up\n" + kUS + "W down\n" + kJP, LayoutUnset,
   R"({"layout":"us","layoutFrom":"closing line","closed":true,"keys":103,"tested":["Q"],)"
   R"("held":[],"never":102,"maxHeld":1,"presses":{},"anomalies":[{"line":4,"reason":"after the )"
   R"(closing line"},{"line":5,"reason":"after the closing line"}],"anomalyCount":2})"},
  {"JP inferred from a JP-only name", "@ down\n@ up\n", LayoutUnset,
   R"({"layout":"jp","layoutFrom":"names","closed":false,"keys":107,"tested":["@"],)"
   R"("held":[],"never":106,"maxHeld":1,"presses":{},"anomalies":[],"anomalyCount":0})"},
  {"option over names; Alt+F4 but no closing line; junk",
   "\x8A\xBF down\nLAlt down\nF4 down\nQ down\nQ up\njunk\nFoo up\n", LayoutUS,
   R"({"layout":"us","layoutFrom":"option","closed":false,"keys":103,"tested":["Q"],)"
   R"("held":["F4","LAlt"],"never":100,"maxHeld":3,"presses":{},"anomalies":[{"line":1,"reason":)"
   R"("name not in the layout"},{"line":6,"reason":"not a log line"},{"line":7,)"
   R"("reason":"name not in the layout"}],"anomalyCount":3})"},
};
// clang-format on

std::string readBack(FILE *f) {
  std::string out(8192, '\0');
  std::rewind(f);
  out.resize(std::fread(&out[0], 1, out.size(), f));
  std::fclose(f);
  return out;
}

// The never list as its number of strings: no key's name has a quote.
std::string shortened(std::string json) {
  const size_t from = json.find("\"never\":["), to = json.find("],\"maxHeld\"");
  const auto quotes = std::count(&json[from + 8], &json[to], '"');
  return json.replace(from + 8, to - from - 7, std::to_string(quotes / 2));
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
    std::fwrite(c.log.data(), 1, c.log.size(), f);
    std::rewind(f);
    startReading(reader, f);
    startLogReading(reading);
    Line line;
    while (nextLine(reader, line) == ReadLine)
      readLogLine(reading, names, line);
    std::fclose(f);
    Report r;
    decideReport(r, reading, names, c.option);
    FILE *json = std::tmpfile();
    writeJsonReport(json, r);
    EXPECT_EQ(shortened(readBack(json)), std::string(c.json) + "\n");
  }
}

TEST(Report, JsonStringsEscapeQuotesBackslashesAndControls) {
  FILE *f = std::tmpfile();
  writeJsonString(f, "a\"b\\c\x01\n\xE6\xBC\xA2");
  EXPECT_EQ(readBack(f), "\"a\\\"b\\\\c\\u0001\\u000a\xE6\xBC\xA2\"");
}

// A watched log, each line with the time its batch was read: the summary's
// counts and lists, and chatter only below the threshold (50 ms here, not the
// default 30) and never between two lines read at once.
TEST(Report, SummaryCountsAndChatterOfAWatchedLog) {
  static NameTable names;
  static LogReading reading;
  buildNameTable(names);
  startLogReading(reading, 0.050);
  const struct {
    double at;
    const char *text;
  } lines[] = {{0, "Q down"},     {0, "Q up"},       {0.040, "Q down"},
               {0.040, "Q up"},   {0.040, "Q down"}, {0.500, "Q up"},
               {0.600, "Q down"}, {0.600, "Q up"},   {0.600, "W down"},
               {0.600, "E down"}, {0.700, "E up"}};
  for (const auto &l : lines) {
    reading.now = l.at;
    readLogLine(reading, names, {l.text, std::strlen(l.text), true, false});
  }
  Report r;
  decideReport(r, reading, names, LayoutUnset);
  r.logPath = "k.log";
  FILE *f = std::tmpfile();
  writeSummary(f, r, nullptr);
  const std::string summary = readBack(f);
  for (const char *want :
       {"\nKeys: 103, tested 2, held 1, never pressed 100; at most 2 held at "
        "once\n",
        "\nHeld (1): W\n", "\nTested (2): Q E\n",
        "\nPressed more than once: Q x4\n",
        "\nChatter (1):\n  Q: down again 40.0 ms after up, line 3\n"})
    EXPECT_NE(summary.find(want), std::string::npos) << want << summary;
}
