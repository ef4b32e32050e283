// What many stations' results files say together: the yield, the keys
// that failed and how, chatter by key, and the time a unit takes. Rows
// are read one at a time through the key model's own reader and folded in
// here, so a file of any length costs the same few kilobytes, plus four
// bytes a unit for the median.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "keymodel/results_row.h"

// Distinct labels kept; failures of any beyond them are only counted.
constexpr size_t kMaxResultKeys = 4096;
constexpr int kKeptMalformed = 100;

struct KeyFailures {
  std::string label;
  long long failed; // units in which this key failed, for any reason
  long long untested, chatter, held;
  double shortestGapMs; // of its chatter; negative when none
};

struct MalformedRow {
  int file; // index into files
  long long line;
  std::string problem;
};

struct ResultsFileCount {
  std::string path;
  long long units, malformed;
};

struct ResultsTally {
  std::vector<ResultsFileCount> files;
  long long units, passed, failed;
  long long malformed;
  std::vector<MalformedRow> malformedRows; // the first kKeptMalformed
  std::unordered_map<std::string, int> keyIndex;
  std::vector<KeyFailures> keys;
  long long unkeptFailures; // of labels past kMaxResultKeys
  std::vector<float> seconds;
  // The board of every row, while they all share one; oneBoard is false
  // once two differ.
  std::string board;
  bool oneBoard;
};

void startResultsTally(ResultsTally &tally);
// A row of the file last added to tally.files.
void addResultRow(ResultsTally &tally, const ResultRow &row);
void addMalformedRow(ResultsTally &tally, long long line,
                     const std::string &problem);

// The keys that failed, most often first (then by label).
std::vector<const KeyFailures *> failedKeys(const ResultsTally &tally);
// The keys that chattered, most often first.
std::vector<const KeyFailures *> chatterKeys(const ResultsTally &tally);

// The median of the units' seconds; negative when there is no unit.
// Reorders tally.seconds.
double medianSeconds(ResultsTally &tally);

// To one decimal, half up, as every output shows seconds and gaps, so the
// summary, the JSON and the HTML agree to the digit.
double tenth(double value);

// PASS units in percent of all, one decimal; negative with no unit.
double passPercent(const ResultsTally &tally);
