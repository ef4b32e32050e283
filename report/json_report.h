// The --json output: one object in a fixed key order, for scripts on a
// test bench. Written with the same JSON library the board files are read
// with, so strings are escaped by the library, not by hand.
#pragma once

#include <cstdio>
#include <string>

#include "report/verdict.h"

// The object as text, without a line end. "chatter" only when times were
// known.
std::string jsonReport(const Report &report);

// false when the write failed
bool writeJsonReport(FILE *out, const Report &report);
