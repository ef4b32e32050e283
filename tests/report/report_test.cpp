// Short logs through the real reader, tally and JSON output, against the
// JSON a person expects (the long lists, never pressed and untested, cut
// to their lengths): the board and where it came from, the verdict and its
// reasons, results in board order, rollover, chatter from the log's own
// times, keys the board lacks, anomalies and their lines.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <string>

#include "report/json_report.h"
#include "report/summary_text.h"

namespace {

using Json = nlohmann::ordered_json;

// clang-format off
struct Case { const char *title; std::string log; const char *board; const char *json; };

const std::string kJP = "Keyboard type : Japanese 106 keyboard / DirectX\r\n";
const std::string kUS = "Keyboard type : PC/AT like US English keyboard / DirectX\n";
const std::string kAnsi = "Keyboard type : ANSI 104-key (US) / board ansi104\n";
const char *kCleanJP =
   R"j({"verdict":"FAIL","reasons":{"untested":101,"held":[],"chatter":[]},)j"
   R"j("hint":"hold Yen and Ro together to test both","board":"jp106",)j"
   R"j("title":"Japanese 106-key","boardFrom":"closing line","closed":true,"keys":106,"tested":["F4",)j"
   "\"\xE6\xBC\xA2\",\"LAlt\",\"\xE2\x86\x90\"," R"j("NumPad 7"],"held":[],"never":101,)j"
   R"j("notOnBoard":{},"try":{},"maxHeld":2,"presses":{},"anomalies":[],"anomalyCount":0})j";
const Case kCases[] = {
  {"clean JP log, CR LF, closed with Alt, another key, F4",
   "NumPad 7  down\r\nNumPad 7  up\r\n  \x81\xA9 down\r\n  \x81\xA9 up\r\n\x8A\xBF down\r\n"
   "LAlt down\r\n\x8A\xBF up\r\nF4 down\r\n" + kJP, nullptr, kCleanJP},
  {"the same saved again as UTF-8 with a BOM, no last line end",
   "\xEF\xBB\xBFNumPad 7  down\r\nNumPad 7  up\r\n  \xE2\x86\x90 down\r\n  \xE2\x86\x90 up\r\n"
   "\xE6\xBC\xA2 down\r\nLAlt down\r\n\xE6\xBC\xA2 up\r\nF4 down\r\n" + kJP.substr(0, 47),
   nullptr, kCleanJP},
  {"US log with a held key, inferred", "A down\nS down\nS up\n", nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":99,"held":["A"],"chatter":[],"boardNotNamed":true},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"names","closed":false,"keys":101,"tested":["S"],)j"
   R"j("held":["A"],"never":99,"notOnBoard":{},"try":{},"maxHeld":2,"presses":{},"anomalies":[],"anomalyCount":0})j"},
  {"cut mid-line", "Q down\nQ up\nW do", nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":100,"held":[],"chatter":[],"boardNotNamed":true},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"names","closed":false,"keys":101,"tested":["Q"],)j"
   R"j("held":[],"never":100,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},)j"
   R"j("anomalies":[{"line":3,"reason":"no line end"}],"anomalyCount":1})j"},
  {"Yen and Ro both write \\ on JP: two downs at once test both, a third is one too many",
   "\\ down\n\\ down\n\\ down\n\\ up\n\\ up\n\\ up\n" + kJP, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":104,"held":[],"chatter":[]},"board":"jp106",)j"
   R"j("title":"Japanese 106-key","boardFrom":"closing line","closed":true,"keys":106,)j"
   R"j("tested":["Yen","Ro"],"held":[],"never":104,"notOnBoard":{},"try":{},"maxHeld":2,"presses":{},)j"
   R"j("anomalies":[{"line":3,"reason":"down while already down"},{"line":6,"reason":"up while not down"}],)j"
   R"j("anomalyCount":2})j"},
  {"one \\ at a time on JP tests neither", "\\ down\n\\ up\n\\ down\n\\ up\n" + kJP, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":106,"held":[],"chatter":[]},)j"
   R"j("hint":"hold Yen and Ro together to test both","board":"jp106","title":"Japanese 106-key",)j"
   R"j("boardFrom":"closing line","closed":true,"keys":106,"tested":[],"held":[],"never":106,)j"
   R"j("notOnBoard":{},"try":{},"maxHeld":0,"presses":{},"anomalies":[],"anomalyCount":0})j"},
  {"\\ on US: one key", "\\ down\n\\ down\n\\ up\n", "us101",
   R"j({"verdict":"FAIL","reasons":{"untested":100,"held":[],"chatter":[]},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"option","closed":false,"keys":101,"tested":["\\"],)j"
   R"j("held":[],"never":100,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},)j"
   R"j("anomalies":[{"line":2,"reason":"down while already down"}],"anomalyCount":1})j"},
  {"second copy's log appended", "Q down\nQ up\n" + kUS + "W down\n" + kJP, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":100,"held":[],"chatter":[]},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"closing line","closed":true,"keys":101,"tested":["Q"],)j"
   R"j("held":[],"never":100,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},"anomalies":[{"line":4,)j"
   R"j("reason":"after the closing line"},{"line":5,"reason":"after the closing line"}],"anomalyCount":2})j"},
  {"JP inferred from a JP-only name", "@ down\n@ up\n", nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":105,"held":[],"chatter":[],"boardNotNamed":true},)j"
   R"j("hint":"hold Yen and Ro together to test both","board":"jp106",)j"
   R"j("title":"Japanese 106-key","boardFrom":"names","closed":false,"keys":106,"tested":["@"],)j"
   R"j("held":[],"never":105,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},"anomalies":[],"anomalyCount":0})j"},
  {"board asked for; Alt+F4 but no closing line; keys it lacks; junk",
   "\x8A\xBF down\nLAlt down\nF4 down\nQ down\nQ up\njunk\nFoo up\n", "us101",
   R"j({"verdict":"FAIL","reasons":{"untested":98,"held":["F4","LAlt"],"chatter":[]},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"option","closed":false,"keys":101,"tested":["Q"],)j"
   R"j("held":["F4","LAlt"],"never":98,"notOnBoard":{")j" "\xE6\xBC\xA2" R"j(":1,"Foo":1},"try":{")j" "\xE6\xBC\xA2" R"j(":"jp106"},"maxHeld":3,)j"
   R"j("presses":{},"anomalies":[{"line":6,"reason":"not a log line"}],"anomalyCount":1})j"},
  {"a board run's log: its board from the closing line, chatter from its times",
   "LWin down 100\nLWin up 150\nLWin down 170\nLWin up 300\nLWin down 330\nLWin up 400\n"
   "Keyboard type : ANSI 104-key (US) / board ansi104\r\n", nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":103,"held":[],"chatter":["LWin"]},"board":"ansi104",)j"
   R"j("title":"ANSI 104-key (US)","boardFrom":"closing line","closed":true,"keys":104,)j"
   R"j("tested":["LWin"],"held":[],"never":103,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{"LWin":3},)j"
   R"j("chatter":[{"key":"LWin","gapMs":20.0,"line":3}],"anomalies":[],"anomalyCount":0})j"},
  {"a control byte in a label: not a log line", std::string("A\0 down\n", 8) + "A\x1b[2J down\nA down\nA up\n", "us101",
   R"j({"verdict":"FAIL","reasons":{"untested":100,"held":[],"chatter":[]},"board":"us101",)j"
   R"j("title":"US 101-key (PC/AT)","boardFrom":"option","closed":false,"keys":101,"tested":["A"],)j"
   R"j("held":[],"never":100,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},"anomalies":[)j"
   R"j({"line":1,"reason":"not a log line"},{"line":2,"reason":"not a log line"}],"anomalyCount":2})j"},
  {"a key's time going back hides no bounce; another key's earlier time is no fault",
   "A down 20000\nA up 20110\nS down 20050\nS up 20060\nA down 20105\nA up 20200\n" + kAnsi, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":102,"held":[],"chatter":[]},"board":"ansi104",)j"
   R"j("title":"ANSI 104-key (US)","boardFrom":"closing line","closed":true,"keys":104,"tested":["A","S"],)j"
   R"j("held":[],"never":102,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},"chatter":[],"anomalies":[)j"
   R"j({"line":5,"reason":"time went back"},{"line":6,"reason":"up while not down"}],"anomalyCount":2})j"},
  {"a log without times (its first line has none) has no timed lines",
   "Q down\nQ up\nA down 100\nA up 150\n" + kAnsi, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":104,"held":[],"chatter":[]},"board":"ansi104",)j"
   R"j("title":"ANSI 104-key (US)","boardFrom":"closing line","closed":true,"keys":104,"tested":[],)j"
   R"j("held":[],"never":104,"notOnBoard":{},"try":{},"maxHeld":0,"presses":{},"anomalies":[)j"
   R"j({"line":3,"reason":"a time in an untimed log"},{"line":4,"reason":"a time in an untimed log"}],"anomalyCount":2})j"},
  {"a log with times has no untimed lines", "A down 100\nA up 150\nQ down\nQ up\n" + kAnsi, nullptr,
   R"j({"verdict":"FAIL","reasons":{"untested":103,"held":[],"chatter":[]},"board":"ansi104",)j"
   R"j("title":"ANSI 104-key (US)","boardFrom":"closing line","closed":true,"keys":104,"tested":["A"],)j"
   R"j("held":[],"never":103,"notOnBoard":{},"try":{},"maxHeld":1,"presses":{},"chatter":[],"anomalies":[)j"
   R"j({"line":3,"reason":"no time in a timed log"},{"line":4,"reason":"no time in a timed log"}],"anomalyCount":2})j"},
};
// clang-format on

// The long lists as their lengths: their keys are the board's, which the
// key model's tests check.
Json shortened(Json json) {
  json["reasons"]["untested"] = json["reasons"]["untested"].size();
  json["never"] = json["never"].size();
  return json;
}

} // namespace

TEST(Report, ReadsLogsIntoVerdicts) {
  static NameTable names;
  static LineReader reader;
  static LogReading reading;
  buildNameTable(names);
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.title);
    std::vector<Board> boards(c.board ? 1 : boardPresetCount());
    for (size_t i = 0; i < boards.size(); ++i)
      loadPresetBoard(c.board ? c.board : boardPresetName(i), boards[i]);
    FILE *f = std::tmpfile();
    std::fwrite(c.log.data(), 1, c.log.size(), f);
    std::rewind(f);
    startReading(reader, f);
    startLogReading(reading, boards, 30);
    Line line;
    while (nextLine(reader, line) == ReadLine)
      readLogLine(reading, names, line);
    std::fclose(f);
    static Report r;
    std::string unknown;
    ASSERT_TRUE(decideReport(r, reading, c.board != nullptr, unknown));
    EXPECT_EQ(shortened(Json::parse(jsonReport(r))).dump(),
              Json::parse(c.json).dump());
  }
}

// A watched log, each line stamped with the time its batch was read: the
// summary's verdict, counts and lists, and chatter only below the threshold
// (50 ms here, not the default 30) and never between two lines read at once.
TEST(Report, SummaryCountsAndChatterOfAWatchedLog) {
  static NameTable names;
  static LogReading reading;
  buildNameTable(names);
  std::vector<Board> boards(boardPresetCount());
  for (size_t i = 0; i < boards.size(); ++i)
    loadPresetBoard(boardPresetName(i), boards[i]);
  startLogReading(reading, boards, 50);
  const struct {
    double ms;
    const char *text;
  } lines[] = {{0, "Q down"},   {0, "Q up"},     {40, "Q down"},  {40, "Q up"},
               {40, "Q down"},  {500, "Q up"},   {600, "Q down"}, {600, "Q up"},
               {600, "W down"}, {600, "E down"}, {700, "E up"}};
  for (const auto &l : lines) {
    reading.now = l.ms;
    readLogLine(reading, names, {l.text, std::strlen(l.text), true, false});
  }
  static Report r;
  std::string unknown;
  ASSERT_TRUE(decideReport(r, reading, false, unknown));
  r.logPath = "k.log";
  FILE *f = std::tmpfile();
  writeSummary(f, r, nullptr);
  std::string summary(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  summary.resize(std::fread(&summary[0], 1, summary.size(), f));
  std::fclose(f);
  for (const char *want :
       {"Verdict: FAIL\n  untested (98): Esc ",
        "\n  held at the end (1): W\n"
        "  chatter (1): Q\n"
        "  the log names no board (it has no closing line): no PASS\n"
        "Log: k.log (no closing line)\n",
        "\nBoard: us101, US 101-key (PC/AT), from the names\n",
        "\nKeys: tested 2 of 101, held 1, never pressed 98; at most 2 held at "
        "once\n",
        "\nHeld (1): W\n", "\nTested (2): Q E\n",
        "\nPressed more than once: Q x4\n",
        "\nChatter (1):\n  Q: down again 40.0 ms after up, line 3\n"})
    EXPECT_NE(summary.find(want), std::string::npos) << want << summary;
}
