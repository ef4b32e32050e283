// keyboard-report --results FILE...: many stations' results files read
// together, with the summary, the JSON and the HTML of what they say.
#pragma once

#include <cstdio>
#include <vector>

#include "keymodel/board.h"
#include "report/results_tally.h"

struct ResultsRequest {
  std::vector<const char *> files;
  const char *board; // --board, for the heat map; may be null
  bool json;
  const char *html; // --html; null for none
};

// Reads every file, names each malformed row on stderr and skips it, and
// writes the outputs. Status 0 when every unit passed and every row was
// read, 1 otherwise, 2 when a file or the board could not be read or an
// output could not be written (then nothing is written).
int reportResults(const ResultsRequest &request);

// The outputs, over a finished tally; median as medianSeconds gives it.
// board, where not null, is the one board of every row: the HTML draws it
// as a heat map of the failures.
void writeResultsSummary(FILE *out, const ResultsTally &tally, double median,
                         const char *htmlPath);
bool writeResultsJson(FILE *out, const ResultsTally &tally, double median);
bool writeResultsHtml(FILE *out, const ResultsTally &tally, double median,
                      const Board *board);
