// The report a person keeps or sends on: one self-contained HTML file with
// the keyboard drawn as SVG, each key filled by its result.
#pragma once

#include <cstdio>

#include "report/verdict.h"

// Fills, chosen from a colour-blind-safe palette and apart in lightness.
constexpr const char *kTestedFill = "#0072b2";    // blue
constexpr const char *kHeldFill = "#d55e00";      // vermillion
constexpr const char *kNeverFill = "#e0e0e0";     // light grey
constexpr const char *kChatterStroke = "#cc0000"; // a key's outline

// Text for XHTML: markup escaped; bytes that are not UTF-8 and control
// characters become U+FFFD.
void writeText(FILE *out, const char *text);

// The opening <svg> tag of a picture of the board, kUnit pixels a key
// unit with a legend's band under it; returns the picture's height.
constexpr int kUnit = 40;
constexpr int kLegend = 40;
int writeSvgStart(FILE *out, const Board &board);

// Returns false when a write failed.
bool writeHtmlReport(FILE *out, const Report &report);
