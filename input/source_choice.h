// Which stream the board worker logs from. While the keyboard hook is
// alive its stream is the source of every transition: it sees the keys it
// keeps from the shell, which DirectInput may not, and times them where
// they happen. DirectInput's buffer is still read, but only to notice a
// hook that Windows removed without a word: a DirectInput change of a key
// the hook said nothing of for a while around it, at a moment the hook
// said nothing of any key (the two may name a key apart: Wine's hook gives
// no code for some media keys its DirectInput gives one). Such changes are
// kept; once one is kDirectOnlyMs old the hook is dead, and they are the
// transitions it missed. Then DirectInput is the source again until a new
// hook is in place and both streams have been quiet a moment, so that no
// transition is taken from both (a bounce's down, up, down twice). Plain
// logic on times in milliseconds, tested on its own.
#pragma once

#include <cstdint>

// A change of a key DirectInput saw and the hook never spoke of within
// this time either side of it: the hook is dead.
constexpr double kDirectOnlyMs = 200;
// A hook event of any key this close to a DirectInput change accounts for
// it: the same press, named apart.
constexpr double kSameMomentMs = 50;
// Both streams quiet this long: a transition in flight would have shown.
constexpr double kHandOverQuietMs = 25;
// Changes a dead hook missed, kept for the hand-back; more are left to the
// keyboard's whole state.
constexpr int kMaxDirectOnly = 64;

struct DirectChange {
  uint8_t code;
  bool down;
  double ms;
};

struct SourceChoice {
  bool hookUp;              // a hook is installed and has not been found dead
  bool hookOwns;            // its stream is the source; else DirectInput's is
  double hookUpMs;          // when it was installed
  double lastHookMs;        // the latest hook event, any key
  double lastDirectMs;      // the latest DirectInput change read
  double lastHookMsOf[256]; // the latest hook event of each code
  // DirectInput's changes the hook has not spoken of, oldest first.
  DirectChange directOnly[kMaxDirectOnly];
  int directOnlyCount;
  bool directOnlyLost; // more came than were kept
};

// DirectInput is the source, no hook.
void startSourceChoice(SourceChoice &choice);

void noteHookInstalled(SourceChoice &choice, double nowMs);
// Removed (the window stopped being active): DirectInput's stream again.
void noteHookGone(SourceChoice &choice);

// An event of each stream: whether it is the source's, to log. code is the
// DirectInput code, -1 for a hook event with none.
bool takeHookEvent(SourceChoice &choice, int code, double ms);
bool takeDirectChange(SourceChoice &choice, uint8_t code, bool down, double ms);

enum SourceStep {
  SourceSteady,   // nothing to do
  SourceToHook,   // the hook's stream is the source from now on
  SourceHookDead, // DirectInput's again: log the changes the hook missed
                  // (directOnly, then the whole state), put a hook back
};

// What the times say at nowMs. waitMs: how soon to look again when nothing
// happens, or < 0 for no need.
SourceStep nextSourceStep(SourceChoice &choice, double nowMs, double &waitMs);

// After SourceHookDead, once the caller has taken directOnly.
void forgetDirectOnly(SourceChoice &choice);
