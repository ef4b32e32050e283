// A results row's columns, each way. The CSV itself is split by Debian's
// fast-cpp-csv-parser (libfccp-dev), its RFC 4180 quoting with doubled
// quotes and no trimming; each cell is then held to the rule of its
// column, so a row a spreadsheet or a person broke is named, never half
// read. Only its line splitter is used, not its file reader: that one
// reads up to 32 MB of a file at once (a 48 MB buffer), where the report
// keeps to a few.
#define CSV_IO_NO_THREAD
// Debian's copy uses std::numeric_limits without including its header.
#include <limits>

#include <libfccp/csv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "keymodel/board.h"
#include "keymodel/results_row.h"
#include "keymodel/station_name.h"
#include "keymodel/text_rules.h"

namespace {

enum Column {
  ColTime,
  ColStation,
  ColBoard,
  ColUnit,
  ColSerial,
  ColVerdict,
  ColTested,
  ColOf,
  ColUntested,
  ColChatter,
  ColHeld,
  ColSeconds,
  ColKeyboard,
};
constexpr const char *kColumnNames[kResultColumns] = {
    "time", "station",  "board",   "unit", "serial",  "verdict", "tested",
    "of",   "untested", "chatter", "held", "seconds", "keyboard"};
// What each column must hold, for the message naming a row that breaks it.
constexpr const char *kColumnRules[kResultColumns] = {
    "not a time in ISO 8601 with its zone",
    "not a station name",
    "not a board name",
    "not a whole number from 1",
    "longer than 64 bytes",
    "neither PASS nor FAIL",
    "not a whole number from 0 to 255",
    "not a whole number from 1 to 255",
    "not a list of key labels",
    "not a list of LABEL:GAP",
    "not a list of key labels",
    "not a number of seconds",
    "longer than 128 bytes"};

// The cells of a line, unquoted, in place; false with the problem.
bool splitCells(std::string &line, char *(&cells)[kResultColumns],
                std::string &problem) {
  using Quotes = io::double_quote_escape<',', '"'>;
  static const std::vector<int> order = {0, 1, 2, 3,  4,  5, 6,
                                         7, 8, 9, 10, 11, 12};
  try {
    io::detail::parse_line<io::trim_chars<>, Quotes>(&line[0], cells, order);
    return true;
  } catch (const io::error::too_few_columns &) {
    problem = "fewer than 13 cells";
  } catch (const io::error::too_many_columns &) {
    problem = "more than 13 cells";
  } catch (const io::error::escaped_string_not_closed &) {
    problem = "a quoted cell is not closed";
  }
  return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "dddd-dd-ddTdd:dd:dd" and "Z" or "+hh:mm" / "-hh:mm".
bool isIsoTime(const std::string &text) {
  static const char shape[] = "dddd-dd-ddTdd:dd:dd";
  const size_t n = sizeof shape - 1;
  if (text.size() != n + 1 && text.size() != n + 6)
    return false;
  for (size_t i = 0; i < n; ++i)
    if (shape[i] == 'd' ? !isDigit(text[i]) : text[i] != shape[i])
      return false;
  if (text.size() == n + 1)
    return text[n] == 'Z';
  return (text[n] == '+' || text[n] == '-') && isDigit(text[n + 1]) &&
         isDigit(text[n + 2]) && text[n + 3] == ':' && isDigit(text[n + 4]) &&
         isDigit(text[n + 5]);
}

bool isBoardName(const std::string &name) {
  if (name.empty() || name.size() > 32)
    return false;
  for (char c : name)
    if (!(isDigit(c) || (c >= 'a' && c <= 'z') || c == '-' || c == '_'))
      return false;
  return true;
}

bool parseWhole(const std::string &text, int lowest, int highest, int &out) {
  if (text.empty() || text.size() > 9)
    return false;
  long value = 0;
  for (char c : text) {
    if (!isDigit(c))
      return false;
    value = value * 10 + (c - '0');
  }
  out = static_cast<int>(value);
  return value >= lowest && value <= highest;
}

bool labelsFit(const std::vector<std::string> &labels) {
  for (const std::string &label : labels)
    if (label.size() > static_cast<size_t>(kMaxBoardLabel))
      return false;
  return true;
}

bool labelsFit(const std::vector<ChatterEntry> &chatter) {
  for (const ChatterEntry &entry : chatter)
    if (entry.label.size() > static_cast<size_t>(kMaxBoardLabel))
      return false;
  return true;
}

// The first column that breaks its rule, or -1.
int wrongColumn(const std::string (&cell)[kResultColumns], ResultRow &row) {
  const std::string &verdict = cell[ColVerdict];
  if (!isIsoTime(cell[ColTime]))
    return ColTime;
  if (!isStationName(cell[ColStation]))
    return ColStation;
  if (!isBoardName(cell[ColBoard]))
    return ColBoard;
  if (!parseWhole(cell[ColUnit], 1, 999999999, row.unit))
    return ColUnit;
  if (cell[ColSerial].size() > kMaxSerialBytes)
    return ColSerial;
  if (verdict != "PASS" && verdict != "FAIL")
    return ColVerdict;
  if (!parseWhole(cell[ColTested], 0, 255, row.tested))
    return ColTested;
  if (!parseWhole(cell[ColOf], 1, 255, row.of))
    return ColOf;
  if (!parseKeyList(cell[ColUntested], row.untested) ||
      !labelsFit(row.untested))
    return ColUntested;
  if (!parseChatterList(cell[ColChatter], row.chatter) ||
      !labelsFit(row.chatter))
    return ColChatter;
  if (!parseKeyList(cell[ColHeld], row.held) || !labelsFit(row.held))
    return ColHeld;
  if (!parseDecimal(cell[ColSeconds], row.seconds))
    return ColSeconds;
  if (cell[ColKeyboard].size() > kMaxKeyboardNameBytes)
    return ColKeyboard;
  return -1;
}

// The columns' own rules; false with the column that breaks its rule.
bool readColumns(const std::string (&cell)[kResultColumns], ResultRow &row,
                 std::string &problem) {
  const int wrong = wrongColumn(cell, row);
  if (wrong >= 0)
    return problem =
               std::string(kColumnNames[wrong]) + ": " + kColumnRules[wrong],
           false;
  row.time = cell[ColTime];
  row.station = cell[ColStation];
  row.board = cell[ColBoard];
  row.serial = cell[ColSerial];
  row.pass = cell[ColVerdict] == "PASS";
  row.keyboard = cell[ColKeyboard];
  return true;
}

// Whether any label is in the list twice.
bool listsTwice(std::vector<std::string> labels) {
  std::sort(labels.begin(), labels.end());
  return std::adjacent_find(labels.begin(), labels.end()) != labels.end();
}

// What the station's verdict implies: each key in one place (a key that
// chattered is held or tested as well), the counts adding up to the
// board, and a PASS with every key tested and nothing against it.
bool consistent(const ResultRow &row, std::string &problem) {
  const size_t keys = row.tested + row.untested.size() + row.held.size();
  const bool clean =
      row.untested.empty() && row.held.empty() && row.chatter.empty();
  std::vector<std::string> places = row.untested, chattered;
  places.insert(places.end(), row.held.begin(), row.held.end());
  for (const ChatterEntry &entry : row.chatter)
    chattered.push_back(entry.label);
  if (listsTwice(places) || listsTwice(chattered))
    problem = "a key listed twice";
  else if (keys != static_cast<size_t>(row.of))
    problem = "tested, untested and held do not add up to of";
  else if (row.pass != clean)
    problem = row.pass ? "a PASS with keys against it"
                       : "a FAIL with no key against it";
  return problem.empty();
}

} // namespace

const char kResultsHeader[] = "time,station,board,unit,serial,verdict,tested,"
                              "of,untested,chatter,held,seconds,keyboard";

std::string formatResultRow(const ResultRow &row) {
  const std::string cells[kResultColumns] = {row.time,
                                             row.station,
                                             row.board,
                                             std::to_string(row.unit),
                                             row.serial,
                                             row.pass ? "PASS" : "FAIL",
                                             std::to_string(row.tested),
                                             std::to_string(row.of),
                                             formatKeyList(row.untested),
                                             formatChatterList(row.chatter),
                                             formatKeyList(row.held),
                                             formatTenths(row.seconds),
                                             row.keyboard};
  std::string line;
  for (const std::string &cell : cells)
    line += (line.empty() ? "" : ",") + csvCell(cell);
  return line + "\r\n";
}

bool parseResultRow(std::string &line, ResultRow &row, std::string &problem) {
  problem.clear();
  // The splitter stops at a NUL: the rest of the row would be lost unseen.
  if (line.find('\0') != std::string::npos)
    return problem = "a NUL byte in the row", false;
  char *cells[kResultColumns];
  if (!splitCells(line, cells, problem))
    return false;
  std::string text[kResultColumns];
  for (int i = 0; i < kResultColumns; ++i) {
    // The formula guard the writer put in front.
    text[i] = cells[i][0] == '\'' ? cells[i] + 1 : cells[i];
    if (!isUtf8(text[i]) || hasControlCharacters(text[i]))
      return problem = std::string(kColumnNames[i]) +
                       ": not UTF-8 text without control characters",
             false;
  }
  return readColumns(text, row, problem) && consistent(row, problem);
}
