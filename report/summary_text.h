// The short summary printed for a person when --json is not given, and the
// few phrases the live view and the HTML share with it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "report/verdict.h"

// htmlPath is null when no HTML was written.
void writeSummary(FILE *out, const Report &report, const char *htmlPath);

// "E: down again 4.2 ms after up, line 118"
void describeChatter(char *text, size_t size, const Report &report,
                     const Chatter &chatter);

// Calls visit(text) with each kept chatter's description, in log order.
template <typename Visit>
void forEachChatter(const Report &report, Visit visit) {
  const Tally &tally = *report.tally;
  for (long long i = 0; i < tally.chatterCount && i < kKeptChatter; ++i) {
    char text[96];
    describeChatter(text, sizeof text, report, tally.chatter[i]);
    visit(text);
  }
}

// The verdict's reasons, each a title and its keys in board order:
// "untested", "held at the end", "chatter".
struct Reason {
  const char *title;
  const std::vector<int> *keys;
};
std::vector<Reason> verdictReasons(const Report &report);

// What the summary and the HTML say of a label the board lacks: its lines
// and the preset that has such a key, if any: "(2 lines): ISO 105-key
// (Europe) has it; try --board iso105".
std::string offBoardNote(const ForeignLabel &foreign);

// "PASS" or "FAIL"
const char *verdictWord(const Report &report);

// The labels of keys, blank-separated.
std::string keyList(const Report &report, const std::vector<int> &keys);

// Whatever a file gave, for a terminal: control characters (C0, DEL and
// C1) come out as \xNN, so a crafted name cannot move the cursor or fake a
// line.
void writeFileName(FILE *out, const char *name);

// "keyboard-report: WHAT PATH: WHY" on stderr; returns 2, the status of
// anything that could not be read or written.
int sayFailure(const char *what, const char *path, const char *why);
std::string labelText(const Report &report, int key);
