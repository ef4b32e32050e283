// The short summary printed for a person when --json is not given.
#pragma once

#include <cstdio>

#include "report/log_tally.h"

void writeSummary(FILE *out, const Report &report, const char *htmlPath);
