// The results row both ways: its exact CSV bytes for rows whose labels
// hold blanks, commas, quotes and colons, each column read back, rows a
// person or a spreadsheet broke named by what is wrong; and the file on
// disk: a header once, rows appended across openings, a row a crash cut
// short kept apart, a second copy refused, and the reader's lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "keymodel/results_file.h"
#include "keymodel/results_row.h"

namespace {

namespace fs = std::filesystem;

std::string fileBytes(const char *name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void appendBytes(const char *name, const std::string &bytes) {
  std::ofstream(name, std::ios::binary | std::ios::app) << bytes;
}

void setZone(const char *tz) {
#ifdef _WIN32
  _putenv_s("TZ", tz);
  _tzset();
#else
  setenv("TZ", tz, 1);
  tzset();
#endif
}

// clang-format off
const ResultRow kPass = {"2026-12-08T21:27:39+01:00", "line-2", "ansi104", 17,
  "SN 0042,A", true, 104, 104, {}, {}, {}, 41.3,
  "Corvane \"Pro\" Keyboard, USB"};
const char kPassLine[] = "2026-12-08T21:27:39+01:00,line-2,ansi104,17,"
  "\"SN 0042,A\",PASS,104,104,,,,41.3,\"Corvane \"\"Pro\"\" Keyboard, USB\"\r\n";
// Labels of every awkward kind, an empty serial, cells a spreadsheet would
// take for formulas.
const ResultRow kFail = {"2026-01-02T03:04:05-05:30", "-x", "my-60", 3, "",
  false, 3, 10, {"-", "=", "NumPad 7", ",", "\"", ":"},
  {{"E", 4}, {":", 3}, {"Num 1", 12.5}, {"a:b", 7.5}}, {"Space"}, 12, ""};
const char kFailLine[] = "2026-01-02T03:04:05-05:30,'-x,my-60,3,,FAIL,3,10,"
  "\"'- = \"\"NumPad 7\"\" , \"\"\"\"\"\"\"\" :\","
  "\"E:4.0 ::3.0 \"\"Num 1:12.5\"\" a:b:7.5\",Space,12.0,\r\n";
// clang-format on

void expectSame(const ResultRow &a, const ResultRow &b) {
  EXPECT_EQ(a.time, b.time);
  EXPECT_EQ(a.station, b.station);
  EXPECT_EQ(a.board, b.board);
  EXPECT_EQ(a.unit, b.unit);
  EXPECT_EQ(a.serial, b.serial);
  EXPECT_EQ(a.pass, b.pass);
  EXPECT_EQ(a.tested, b.tested);
  EXPECT_EQ(a.of, b.of);
  EXPECT_EQ(a.untested, b.untested);
  ASSERT_EQ(a.chatter.size(), b.chatter.size());
  for (size_t i = 0; i < a.chatter.size(); ++i) {
    EXPECT_EQ(a.chatter[i].label, b.chatter[i].label);
    EXPECT_DOUBLE_EQ(a.chatter[i].gapMs, b.chatter[i].gapMs);
  }
  EXPECT_EQ(a.held, b.held);
  EXPECT_DOUBLE_EQ(a.seconds, b.seconds);
  EXPECT_EQ(a.keyboard, b.keyboard);
}

} // namespace

TEST(ResultsRow, WrittenBytesAndEveryColumnReadBack) {
  struct Case {
    const ResultRow &row;
    const char *line;
  };
  for (const Case &c : {Case{kPass, kPassLine}, Case{kFail, kFailLine}}) {
    const std::string line = formatResultRow(c.row);
    EXPECT_EQ(line, c.line);
    std::string text = line.substr(0, line.size() - 2), problem;
    ResultRow back;
    ASSERT_TRUE(parseResultRow(text, back, problem)) << problem;
    expectSame(back, c.row);
  }
  // A label of blanks and quotes alone, and one list's cell as it reads.
  EXPECT_EQ(formatKeyList({"Esc", "F1", "NumPad 7"}), "Esc F1 \"NumPad 7\"");
  std::vector<std::string> labels;
  ASSERT_TRUE(parseKeyList("\"a \"\"b\"\" c\" \"\"\"\"", labels));
  EXPECT_EQ(labels, (std::vector<std::string>{"a \"b\" c", "\""}));
  EXPECT_EQ(csvCell("'quoted"), "''quoted");
  // Blanks at either end survive readers that trim unquoted cells.
  EXPECT_EQ(csvCell(" SN 7 "), "\" SN 7 \"");
  setZone("XXX-01:00");
  EXPECT_EQ(isoLocalTime(0), "1970-01-01T01:00:00+01:00");
  setZone("XXX+05:30");
  EXPECT_EQ(isoLocalTime(86400 * 365), "1970-12-31T18:30:00-05:30");
}

TEST(ResultsRow, BrokenRowsAreNamedByWhatIsWrong) {
  const std::string good = std::string(kFailLine, sizeof kFailLine - 3);
  // clang-format off
  struct Case { std::string line; const char *problem; };
  const Case cases[] = {
    {"", "fewer than 13 cells"},
    {"a,b,c", "fewer than 13 cells"},
    {good + ",x", "more than 13 cells"},
    {"2026-12-08T21:27:39+01:00,\"st", "a quoted cell is not closed"},
    {"2026-12-08 21:27:39,st,b,1,,PASS,1,1,,,,1.0,", "time: not a time in ISO 8601 with its zone"},
    {"2026-12-08T21:27:39,st,b,1,,PASS,1,1,,,,1.0,", "time: not a time in ISO 8601 with its zone"},
    {"2026-12-08T21:27:39Z,s t,b,1,,PASS,1,1,,,,1.0,", "station: not a station name"},
    {"2026-12-08T21:27:39Z,st,B,1,,PASS,1,1,,,,1.0,", "board: not a board name"},
    {"2026-12-08T21:27:39Z,st,b,0,,PASS,1,1,,,,1.0,", "unit: not a whole number from 1"},
    {"2026-12-08T21:27:39Z,st,b,1," + std::string(65, 's') + ",PASS,1,1,,,,1.0,", "serial: longer than 64 bytes"},
    {"2026-12-08T21:27:39Z,st,b,1,,pass,1,1,,,,1.0,", "verdict: neither PASS nor FAIL"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,x,1,,,,1.0,", "tested: not a whole number from 0 to 255"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,256,,,,1.0,", "of: not a whole number from 1 to 255"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,2,a  b,,,1.0,", "untested: not a list of key labels"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,2,a b ,,,1.0,", "untested: not a list of key labels"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,1," + std::string(25, 'k') + ",,,1.0,", "untested: not a list of key labels"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,1,1,,E,,1.0,", "chatter: not a list of LABEL:GAP"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,1,1,,E:,,1.0,", "chatter: not a list of LABEL:GAP"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,1,1,,:3.0,,1.0,", "chatter: not a list of LABEL:GAP"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,1,,,\"\"\"a\",1.0,", "held: not a list of key labels"},
    {"2026-12-08T21:27:39Z,st,b,1,,PASS,1,1,,,,-1,", "seconds: not a number of seconds"},
    {"2026-12-08T21:27:39Z,st,b,1,,PASS,1,1,,,,1.,", "seconds: not a number of seconds"},
    {"2026-12-08T21:27:39Z,st,b,1,,PASS,1,1,,,,1.0," + std::string(129, 'k'), "keyboard: longer than 128 bytes"},
    {"2026-12-08T21:27:39Z,st,b,1,\xC3(,PASS,1,1,,,,1.0,", "serial: not UTF-8 text without control characters"},
    {"2026-12-08T21:27:39Z,st,b,1,,PASS,1,1,,,,1.0,a\tb", "keyboard: not UTF-8 text without control characters"},
    {std::string("2026-12-08T21:27:39Z,st,b,1,,PASS,1,1,,,,1.0,a\0b", 48), "a NUL byte in the row"},
    {"2026-12-08T21:27:39Z,st,b,1,,PASS,1,2,E,,,1.0,", "a PASS with keys against it"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,2,2,,,,1.0,", "a FAIL with no key against it"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,2,2,E,,,1.0,", "tested, untested and held do not add up to of"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,0,2,E,,E,1.0,", "a key listed twice"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,1,3,E E,,,1.0,", "a key listed twice"},
    {"2026-12-08T21:27:39Z,st,b,1,,FAIL,1,1,,E:1.0 E:2.0,,1.0,", "a key listed twice"},
  };
  // clang-format on
  for (const Case &c : cases) {
    std::string line = c.line, problem;
    ResultRow row;
    EXPECT_FALSE(parseResultRow(line, row, problem)) << c.line;
    EXPECT_EQ(problem, c.problem) << c.line;
  }
  // Zulu time, and a spreadsheet's quotes around cells that need none.
  std::string line = "2026-12-08T21:27:39Z,\"st\",b,1,,\"PASS\",1,1,,,,0.5,",
              problem;
  ResultRow row;
  ASSERT_TRUE(parseResultRow(line, row, problem)) << problem;
  EXPECT_EQ(row.station, "st");
  EXPECT_TRUE(row.pass);
}

TEST(ResultsFile, AppendedAcrossOpeningsAndReadBackRowByRow) {
  const fs::path dir = fs::temp_directory_path() / "ResultsFileAppended";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::current_path(dir);
  const char *name = "keyboard-results-line-2.csv";
  const std::string header =
      std::string("\xEF\xBB\xBF") + kResultsHeader + "\r\n";
  LogFile file, second;
  ASSERT_TRUE(openResultsFile(file, name));
  EXPECT_EQ(fileBytes(name), header);
  // A second copy of the station is refused and writes nothing.
  EXPECT_FALSE(openResultsFile(second, name));
  EXPECT_EQ(second.state, LogInUse);
  ASSERT_TRUE(writeResultRow(file, name, kPass));
  ASSERT_TRUE(closeLogFile(file));
  // Opened again: appended, no second header.
  ASSERT_TRUE(openResultsFile(file, name));
  ASSERT_TRUE(writeResultRow(file, name, kFail));
  ASSERT_TRUE(closeLogFile(file));
  EXPECT_EQ(fileBytes(name), header + kPassLine + kFailLine);
  // A crash cut the last row: the next one still starts on its own line.
  appendBytes(name, "2026-12-08T21:27:39+01:00,line-2,ans");
  ASSERT_TRUE(openResultsFile(file, name));
  ASSERT_TRUE(writeResultRow(file, name, kPass));
  ASSERT_TRUE(closeLogFile(file));
  // Files joined end to end, a blank line, a row longer than any.
  appendBytes(name, "\r\n" + std::string(kResultsHeader) + "\r\n" +
                        std::string(70000, 'x') + "\n" + kFailLine);
#ifndef _WIN32
  fs::create_symlink(name, "keyboard-results-link.csv");
  EXPECT_FALSE(openResultsFile(second, "keyboard-results-link.csv"));
  EXPECT_EQ(second.state, LogNotRegular);
#endif

  struct Read {
    ResultsRead result;
    long long line;
    const char *problem;
  };
  const Read expected[] = {{ResultsRow, 2, ""},
                           {ResultsRow, 3, ""},
                           {ResultsBadRow, 4, "fewer than 13 cells"},
                           {ResultsRow, 5, ""},
                           {ResultsBadRow, 8, "longer than any row"},
                           {ResultsRow, 9, ""},
                           {ResultsEnd, 9, ""}};
  static ResultsReader reader;
  FILE *in = std::fopen(name, "rb");
  ASSERT_NE(in, nullptr);
  startResultsReading(reader, in);
  for (const Read &want : expected) {
    ResultRow row;
    std::string problem;
    EXPECT_EQ(nextResultRow(reader, row, problem), want.result) << want.line;
    EXPECT_EQ(reader.line, want.line);
    EXPECT_EQ(problem, want.problem) << want.line;
    if (want.result == ResultsRow)
      expectSame(row, want.line == 3 || want.line == 9 ? kFail : kPass);
  }
  std::fclose(in);
  // Anything that does not begin with the header is no results file.
  for (const char *other : {"", "Board test : x\r\n", "time,station\r\n"}) {
    std::ofstream("other.csv", std::ios::binary) << other;
    in = std::fopen("other.csv", "rb");
    startResultsReading(reader, in);
    ResultRow row;
    std::string problem;
    EXPECT_EQ(nextResultRow(reader, row, problem), ResultsNoHeader) << other;
    std::fclose(in);
  }
}
