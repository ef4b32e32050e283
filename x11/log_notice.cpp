// A checker that is not logging says so twice: once on stderr, for a
// terminal, and for as long as it runs in the window's count line, for a
// user who started it from a menu and never sees stderr.
#include <cstdio>

#include "x11/checker.h"

namespace {

constexpr char kNote[] = " (no log)";

} // namespace

void sayLogState(Checker &c) {
  if (c.log.state == LogWriting || c.logSaid)
    return;
  c.logSaid = true;
  const char *why = logStateText(c.log);
  switch (c.log.state) {
  case LogWriteFailed:
    std::fprintf(stderr,
                 "keyboard-checker: cannot write %s: %s; the log stops "
                 "here, keys are shown but no longer logged\n",
                 kLogFileName, why);
    break;
  case LogGone:
    std::fprintf(stderr,
                 "keyboard-checker: %s was %s; keys are shown but no "
                 "longer logged\n",
                 kLogFileName, why);
    break;
  default:
    std::fprintf(stderr,
                 "keyboard-checker: cannot create %s: %s; keys are shown "
                 "but not logged\n",
                 kLogFileName, why);
    break;
  }
}

bool logStoppedShort(const Checker &c) {
  return c.log.state == LogWriteFailed || c.log.state == LogGone;
}

void noteLogState(const Checker &c, GridPlan &plan) {
  if (c.log.state == LogWriting ||
      plan.countLength + sizeof kNote > sizeof plan.countText)
    return;
  std::snprintf(plan.countText + plan.countLength, sizeof kNote, "%s", kNote);
  plan.countLength += static_cast<int>(sizeof kNote - 1);
}
