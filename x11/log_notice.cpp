// A checker that is not logging says so twice: once on stderr, for a
// terminal, and for as long as it runs in the window's count line, for a
// user who started it from a menu and never sees stderr.
#include <cstdio>

#include "x11/checker.h"
#include "x11/log_notice.h"

namespace {

constexpr char kNote[] = " (no log)";

} // namespace

void sayLogFileState(const LogFile &log, bool &said) {
  if (log.state == LogWriting || said)
    return;
  said = true;
  const char *why = logStateText(log);
  switch (log.state) {
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

bool logFileStoppedShort(const LogFile &log) {
  return log.state == LogWriteFailed || log.state == LogGone;
}

void sayLogState(Checker &c) { sayLogFileState(c.log, c.logSaid); }

bool logStoppedShort(const Checker &c) { return logFileStoppedShort(c.log); }

void noteLogState(const Checker &c, GridPlan &plan) {
  if (c.log.state == LogWriting ||
      plan.countLength + sizeof kNote > sizeof plan.countText)
    return;
  std::snprintf(plan.countText + plan.countLength, sizeof kNote, "%s", kNote);
  plan.countLength += static_cast<int>(sizeof kNote - 1);
}
