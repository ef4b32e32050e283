// The rules of the hand-over between the hook's stream and DirectInput's.
#include "input/source_choice.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr double kNever = -1e300;

} // namespace

void forgetDirectOnly(SourceChoice &choice) {
  choice.directOnlyCount = 0;
  choice.directOnlyLost = false;
}

void startSourceChoice(SourceChoice &choice) {
  choice.hookUp = choice.hookOwns = false;
  choice.hookUpMs = choice.lastHookMs = choice.lastDirectMs = kNever;
  std::fill(std::begin(choice.lastHookMsOf), std::end(choice.lastHookMsOf),
            kNever);
  forgetDirectOnly(choice);
}

void noteHookInstalled(SourceChoice &choice, double nowMs) {
  choice.hookUp = true;
  choice.hookOwns = false;
  choice.hookUpMs = nowMs;
  forgetDirectOnly(choice);
}

void noteHookGone(SourceChoice &choice) {
  choice.hookUp = false;
  choice.hookOwns = false;
  forgetDirectOnly(choice);
}

// The hook's event may come a little after DirectInput's for the same
// change: it explains what DirectInput saw of that key shortly before, and
// of any key a moment before.
bool takeHookEvent(SourceChoice &choice, int code, double ms) {
  choice.lastHookMs = std::max(choice.lastHookMs, ms);
  if (code >= 0)
    choice.lastHookMsOf[code] = std::max(choice.lastHookMsOf[code], ms);
  int kept = 0;
  for (int i = 0; i < choice.directOnlyCount; ++i) {
    const DirectChange &change = choice.directOnly[i];
    const bool sameKey = change.code == code && change.ms >= ms - kDirectOnlyMs;
    if (!sameKey && change.ms < ms - kSameMomentMs)
      choice.directOnly[kept++] = change;
  }
  choice.directOnlyCount = kept;
  return choice.hookOwns;
}

bool takeDirectChange(SourceChoice &choice, uint8_t code, bool down,
                      double ms) {
  choice.lastDirectMs = std::max(choice.lastDirectMs, ms);
  if (!choice.hookOwns)
    return true;
  if (choice.lastHookMsOf[code] >= ms - kDirectOnlyMs ||
      choice.lastHookMs >= ms - kSameMomentMs)
    return false;
  if (choice.directOnlyCount == kMaxDirectOnly)
    choice.directOnlyLost = true;
  else
    choice.directOnly[choice.directOnlyCount++] = DirectChange{code, down, ms};
  return false;
}

SourceStep nextSourceStep(SourceChoice &choice, double nowMs, double &waitMs) {
  waitMs = -1;
  if (choice.hookOwns) {
    if (choice.directOnlyCount == 0 && !choice.directOnlyLost)
      return SourceSteady;
    const double oldest = choice.directOnlyCount > 0 ? choice.directOnly[0].ms
                                                     : choice.lastDirectMs;
    const double left = oldest + kDirectOnlyMs - nowMs;
    if (left > 0) {
      waitMs = left;
      return SourceSteady;
    }
    choice.hookUp = false;
    choice.hookOwns = false;
    return SourceHookDead;
  }
  if (!choice.hookUp)
    return SourceSteady;
  const double quietSince =
      std::max({choice.hookUpMs, choice.lastHookMs, choice.lastDirectMs});
  const double left = quietSince + kHandOverQuietMs - nowMs;
  if (left > 0) {
    waitMs = left;
    return SourceSteady;
  }
  choice.hookOwns = true;
  return SourceToHook;
}
