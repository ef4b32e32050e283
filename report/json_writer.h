// The --json output: one object in a fixed key order, written by a tiny
// writer whose only job is to escape strings correctly.
#pragma once

#include <cstdio>

#include "report/log_tally.h"

// text is UTF-8; quotes, backslashes and control characters are escaped.
void writeJsonString(FILE *out, const char *text);

// "chatter" only when the log was watched.
void writeJsonReport(FILE *out, const Report &report);
