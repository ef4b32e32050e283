// The hand-over between the hook's stream and DirectInput's, as scripts of
// events and looks at the clock: which stream is logged, when the hook
// takes over, when it counts as dead and what it missed.
#include <gtest/gtest.h>

#include <vector>

#include "input/source_choice.h"

namespace {

enum Op { Install, Gone, Hook, Direct, Look };

struct Step {
  Op op;
  double ms;
  int code = 0;
  int want = 0;
  double wait = 0;
};

constexpr int kQ = 0x10, kA = 0x1E, kLWin = 0xDB;

struct Script {
  const char *name;
  std::vector<Step> steps;
  std::vector<int> missed; // directOnly's codes after the last step
};

// Hook and Direct steps give whether the event is logged; Look steps the
// step and how long to wait (-1: no need).
const Script kScripts[] = {
    // clang-format off
    {"no hook: DirectInput is logged",
     {{Direct, 10, kQ, 1}, {Look, 20, 0, SourceSteady, -1}}, {}},
    {"a new hook takes over after a quiet moment",
     {{Install, 100}, {Look, 110, 0, SourceSteady, 15}, {Hook, 112, kQ, 0},
      {Direct, 112.3, kQ, 1}, {Look, 120, 0, SourceSteady, 17.3},
      {Look, 137.3, 0, SourceToHook, -1}, {Hook, 200, kA, 1},
      {Direct, 200.4, kA, 0}, {Look, 201, 0, SourceSteady, -1}}, {}},
    {"a bounce seen by both streams is the hook's alone",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Hook, 500, kA, 1},
      {Hook, 501, kA, 1}, {Hook, 502, kA, 1}, {Direct, 502.5, kA, 0},
      {Direct, 502.5, kA, 0}, {Direct, 502.5, kA, 0},
      {Look, 1000, 0, SourceSteady, -1}}, {}},
    {"the hook's event may come after DirectInput's",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Direct, 500, kQ, 0},
      {Look, 500.2, 0, SourceSteady, 199.8}, {Hook, 500.1, kQ, 1},
      {Look, 900, 0, SourceSteady, -1}}, {}},
    {"a key only DirectInput saw: the hook is dead, the changes missed",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Hook, 400, kLWin, 1},
      {Direct, 450, kLWin, 0}, // explained by the hook's LWin
      {Direct, 500, kQ, 0},
      {Hook, 560, kA, 1}, // another key, not the same moment
      {Direct, 620, kQ, 0}, {Look, 650, 0, SourceSteady, 50},
      {Look, 700, 0, SourceHookDead, -1}, {Direct, 710, kA, 1}}, {kQ, kQ}},
    {"a key the two streams name apart, at the same moment",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Hook, 400, -1, 1},
      {Direct, 400.3, 0x80, 0}, {Direct, 500, 0x80, 0}, {Hook, 520, -1, 1},
      {Look, 1000, 0, SourceSteady, -1}}, {}},
    {"after a dead hook, a new one takes over again",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Direct, 500, kQ, 0},
      {Look, 700, 0, SourceHookDead, -1}, {Install, 705},
      {Direct, 706, kQ, 1}, {Look, 731, 0, SourceToHook, -1}}, {}},
    {"removed with the window's activation: DirectInput again",
     {{Install, 0}, {Look, 30, 0, SourceToHook, -1}, {Gone, 40},
      {Hook, 41, kQ, 0}, {Direct, 42, kQ, 1},
      {Look, 1000, 0, SourceSteady, -1}}, {}},
    // clang-format on
};

void run(SourceChoice &choice, const Step &step, int index) {
  double wait = 0;
  switch (step.op) {
  case Install:
    noteHookInstalled(choice, step.ms);
    return;
  case Gone:
    noteHookGone(choice);
    return;
  case Hook:
    EXPECT_EQ(takeHookEvent(choice, step.code, step.ms), step.want != 0)
        << "step " << index;
    return;
  case Direct:
    EXPECT_EQ(takeDirectChange(choice, uint8_t(step.code), true, step.ms),
              step.want != 0)
        << "step " << index;
    return;
  case Look:
    EXPECT_EQ(nextSourceStep(choice, step.ms, wait), step.want)
        << "step " << index;
    EXPECT_NEAR(wait, step.wait, 1e-9) << "step " << index;
    return;
  }
}

} // namespace

TEST(SourceChoice, Scripts) {
  for (const Script &script : kScripts) {
    SCOPED_TRACE(script.name);
    SourceChoice choice;
    startSourceChoice(choice);
    for (size_t i = 0; i < script.steps.size(); ++i)
      run(choice, script.steps[i], int(i));
    std::vector<int> missed;
    for (int i = 0; i < choice.directOnlyCount; ++i)
      missed.push_back(choice.directOnly[i].code);
    EXPECT_EQ(missed, script.missed);
  }
}

// More than it keeps: said, and a hook dead all the same.
TEST(SourceChoice, MoreMissedThanKept) {
  SourceChoice choice;
  double wait;
  startSourceChoice(choice);
  noteHookInstalled(choice, 0);
  nextSourceStep(choice, 30, wait);
  for (int i = 0; i <= kMaxDirectOnly; ++i)
    takeDirectChange(choice, kQ, i % 2 == 0, 500 + i);
  EXPECT_TRUE(choice.directOnlyCount == kMaxDirectOnly &&
              choice.directOnlyLost);
  EXPECT_EQ(nextSourceStep(choice, 700, wait), SourceHookDead);
  forgetDirectOnly(choice);
  EXPECT_TRUE(choice.directOnlyCount == 0 && !choice.directOnlyLost);
}
