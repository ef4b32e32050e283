// Folding rows into the tally. A unit that failed on chatter stopped at
// that key: the keys it had not reached yet, and those down at that
// moment, say nothing about the keyboard, so only its chatter counts
// against its keys. A unit given up (or unplugged) names its untested and
// held keys, which are what made the operator give up.
#include "report/results_tally.h"

#include <algorithm>

namespace {

// A key's entry, counted failed once more: a row lists a key once at most
// among the lists that count (the reader refuses any other).
KeyFailures *keyOf(ResultsTally &tally, const std::string &label) {
  const auto found = tally.keyIndex.find(label);
  int index = found == tally.keyIndex.end() ? -1 : found->second;
  if (index < 0 && tally.keys.size() < kMaxResultKeys) {
    index = static_cast<int>(tally.keys.size());
    tally.keyIndex.emplace(label, index);
    tally.keys.push_back({label, 0, 0, 0, 0, -1});
  }
  if (index < 0) {
    ++tally.unkeptFailures;
    return nullptr;
  }
  ++tally.keys[index].failed;
  return &tally.keys[index];
}

std::vector<const KeyFailures *> sortedBy(const ResultsTally &tally,
                                          long long KeyFailures::*count) {
  std::vector<const KeyFailures *> keys;
  for (const KeyFailures &key : tally.keys)
    if (key.*count > 0)
      keys.push_back(&key);
  std::sort(keys.begin(), keys.end(),
            [count](const KeyFailures *a, const KeyFailures *b) {
              return a->*count != b->*count ? a->*count > b->*count
                                            : a->label < b->label;
            });
  return keys;
}

} // namespace

void startResultsTally(ResultsTally &tally) {
  tally = ResultsTally{};
  tally.oneBoard = true;
}

void addResultRow(ResultsTally &tally, const ResultRow &row) {
  ++tally.units;
  ++tally.files.back().units;
  ++(row.pass ? tally.passed : tally.failed);
  tally.seconds.push_back(static_cast<float>(row.seconds));
  if (tally.units == 1)
    tally.board = row.board;
  tally.oneBoard = tally.oneBoard && row.board == tally.board;
  for (const ChatterEntry &entry : row.chatter)
    if (KeyFailures *key = keyOf(tally, entry.label)) {
      ++key->chatter;
      if (key->shortestGapMs < 0 || entry.gapMs < key->shortestGapMs)
        key->shortestGapMs = entry.gapMs;
    }
  if (!row.chatter.empty())
    return;
  for (const std::string &label : row.untested)
    if (KeyFailures *key = keyOf(tally, label))
      ++key->untested;
  for (const std::string &label : row.held)
    if (KeyFailures *key = keyOf(tally, label))
      ++key->held;
}

void addMalformedRow(ResultsTally &tally, long long line,
                     const std::string &problem) {
  ++tally.malformed;
  ++tally.files.back().malformed;
  if (tally.malformedRows.size() < kKeptMalformed)
    tally.malformedRows.push_back(
        {static_cast<int>(tally.files.size() - 1), line, problem});
}

std::vector<const KeyFailures *> failedKeys(const ResultsTally &tally) {
  return sortedBy(tally, &KeyFailures::failed);
}

std::vector<const KeyFailures *> chatterKeys(const ResultsTally &tally) {
  return sortedBy(tally, &KeyFailures::chatter);
}

double medianSeconds(ResultsTally &tally) {
  std::vector<float> &s = tally.seconds;
  if (s.empty())
    return -1;
  const size_t middle = s.size() / 2;
  std::nth_element(s.begin(), s.begin() + middle, s.end());
  double median = s[middle];
  if (s.size() % 2 == 0)
    median = (median + *std::max_element(s.begin(), s.begin() + middle)) / 2;
  return median;
}

double tenth(double value) {
  return static_cast<long long>(value * 10 + 0.5) / 10.0;
}

double passPercent(const ResultsTally &tally) {
  return tally.units == 0 ? -1 : tenth(100.0 * tally.passed / tally.units);
}
