// The board worker. Both streams carry each transition in the order it
// happened, so a bounce of a few milliseconds is seen as the transitions it
// was; source_choice.h decides which stream is logged. The log line is
// written before the progress shows it, so what the window shows is on
// disk.
#include "input/board_worker.h"

#include <algorithm>
#include <cmath>

#include "input/board_clock.h"
#include "input/device_set.h"
#include "input/hook_rules.h"
#include "input/input_worker.h"
#include "input/key_hook.h"
#include "input/source_choice.h"
#include "input/station_keys.h"
#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"

namespace {

constexpr DWORD kChangesPerRead = 64;
constexpr uint8_t kPrintScreenCode = 0xB7;

// Shared by the worker and the UI thread: the progress under the lock,
// the flags atomic; the rest is set before the thread starts, and the
// last block is the worker's alone.
struct BoardRun {
  const Board *board;
  BoardProgress progress;
  CRITICAL_SECTION lock;
  LogFile log; // the worker's alone once it runs
  std::atomic<bool> logging;
  bool japanese;
  HANDLE wake;
  HANDLE thread;
  const std::atomic<HWND> *window;
  UINT repaintMessage;
  std::atomic<LONG> running;
  std::atomic<LONG> resync;
  std::atomic<int64_t> printScreenMs{-1};
  HookQueue hookQueue;
  SourceChoice choice;
  uint32_t hooksSeen;
  uint64_t lastMs; // the log's times never go back
};
BoardRun g_run{};

// The worker is the progress's only writer, so it reads it unlocked.
bool isDown(int key) { return g_run.progress.keys[key].down; }

// One transition of a key; a repeat of the state the key is already in
// (a change the resync has already logged) is dropped. True when logged.
bool takeChange(uint8_t code, bool down, double atMs) {
  if (code == 0 || code == 0xFF) // no key, and the tables' gap
    return false;
  const uint64_t ms =
      std::max(g_run.lastMs, static_cast<uint64_t>(std::max(0.0, atMs)));
  if (code == kPrintScreenCode && down)
    g_run.printScreenMs = static_cast<int64_t>(ms);
  const int key = g_run.board->keyOfCode[code];
  if (isStationRun())
    return stationTakeKey(key, code, down, atMs, g_run.lastMs);
  const bool onBoard = key >= 0;
  if (onBoard ? isDown(key) == down : g_run.progress.offBoardDown[code] == down)
    return false;
  g_run.lastMs = ms;
  // A key the board lacks is logged under its own name and counted, never
  // judged.
  writeBoardTransition(g_run.log,
                       onBoard ? g_run.board->keys[key].label
                               : offBoardLabel(*g_run.board, code),
                       down, ms);
  noteLogState(g_run.log);
  g_run.logging = g_run.log.state == LogWriting;
  EnterCriticalSection(&g_run.lock);
  if (onBoard)
    applyTransition(g_run.progress, key, down, static_cast<double>(ms));
  else
    applyOffBoardTransition(g_run.progress, code, down);
  LeaveCriticalSection(&g_run.lock);
  return true;
}

bool resyncFromState() {
  KeyState state;
  if (!readKeyboardState(state))
    return false;
  const double now = boardClockMs();
  bool changed = false;
  // 0xFF is the tables' gap, set along with some real key: never a key.
  for (int code = 1; code < 0xFF; ++code)
    changed |= takeChange(uint8_t(code), (state.bytes[code] & 0x80) != 0, now);
  return changed;
}

bool takeHookEvents() {
  bool changed = false;
  HookEvent event;
  while (popHookEvent(g_run.hookQueue, event)) {
    const double ms = boardClockMsAt(event.ticks);
    const int code = directInputCodeOf(event.key, g_run.japanese);
    if (takeHookEvent(g_run.choice, code, ms) && code >= 0)
      changed |= takeChange(static_cast<uint8_t>(code),
                            (event.key.flags & LLKHF_UP) == 0, ms);
  }
  if (takeHookDrop(g_run.hookQueue))
    g_run.resync = 1;
  return changed;
}

// Each change is timed as it is read: DirectInput's own stamps are the
// system tick's.
bool takeDirectChanges() {
  bool changed = false;
  DIDEVICEOBJECTDATA changes[kChangesPerRead];
  for (;;) {
    DWORD count = kChangesPerRead;
    const HRESULT result = readKeyboardChanges(changes, count);
    if (FAILED(result))
      break;
    // Lost changes matter only while DirectInput is the source: a dead
    // hook's hand-back reads the whole state anyway.
    if (result == DI_BUFFEROVERFLOW && !g_run.choice.hookOwns)
      g_run.resync = 1;
    const double now = boardClockMs();
    for (DWORD i = 0; i < count; ++i) {
      const uint8_t code = directInputCodeOfOffset(changes[i].dwOfs);
      const bool down = (changes[i].dwData & 0x80) != 0;
      if (takeDirectChange(g_run.choice, code, down, now))
        changed |= takeChange(code, down, now);
    }
    if (count < kChangesPerRead)
      break;
  }
  return changed;
}

// A new hook starts letting every key through, DirectInput being the
// source until the hand-over; a hook removed or failed leaves DirectInput
// the source.
void followHook() {
  uint32_t installs;
  const HookState state = keyHookState(installs);
  if (installs != g_run.hooksSeen) {
    g_run.hooksSeen = installs;
    if (state == HookOn) {
      setHookKeepsKeys(false);
      noteHookInstalled(g_run.choice, boardClockMs());
      return;
    }
  }
  if (state != HookOn && g_run.choice.hookUp) {
    setHookKeepsKeys(false);
    noteHookGone(g_run.choice);
  }
}

// A dead hook's stream missed the changes DirectInput saw of keys it said
// nothing of: they are logged at their times; the whole state puts right
// what is left (a key whose down the hook kept, DirectInput never saw).
bool takeMissedChanges() {
  bool changed = false;
  const SourceChoice &choice = g_run.choice;
  for (int i = 0; i < choice.directOnlyCount; ++i)
    changed |= takeChange(choice.directOnly[i].code, choice.directOnly[i].down,
                          choice.directOnly[i].ms);
  forgetDirectOnly(g_run.choice);
  g_run.resync = 1;
  return changed;
}

bool takeSourceStep(double &waitMs) {
  switch (nextSourceStep(g_run.choice, boardClockMs(), waitMs)) {
  case SourceToHook:
    setHookKeepsKeys(true);
    return false;
  case SourceHookDead:
    setHookKeepsKeys(false);
    replaceKeyHook();
    return takeMissedChanges();
  case SourceSteady:
    return false;
  }
  return false;
}

bool runPass(double &waitMs) {
  bool changed = takeHookEvents();
  changed |= takeDirectChanges();
  followHook();
  changed |= takeSourceStep(waitMs);
  if (g_run.resync.exchange(0) != 0)
    changed |= resyncFromState();
  return changed;
}

DWORD WINAPI runBoardWorker(LPVOID) {
  DWORD wait = INFINITE;
  for (;;) {
    const DWORD woken = WaitForSingleObject(g_run.wake, wait);
    const bool last = g_run.running == 0 || woken == WAIT_FAILED;
    double waitMs;
    if (runPass(waitMs))
      if (HWND window = g_run.window->load())
        PostMessageA(window, g_run.repaintMessage, 0, 0);
    if (last)
      break;
    wait = waitMs < 0 ? INFINITE : static_cast<DWORD>(std::ceil(waitMs));
  }
  if (isStationRun()) {
    closeStation();
  } else {
    closeBoardLog(g_run.log, *g_run.board);
    noteLogState(g_run.log);
  }
  return 0;
}

} // namespace

bool startBoardWorker(const Board &board, double chatterMs, bool japanese,
                      const std::atomic<HWND> &window, UINT repaintMessage) {
  g_run.board = &board;
  startBoardProgress(g_run.progress, board, chatterMs);
  InitializeCriticalSection(&g_run.lock);
  if (!isStationRun())
    openBoardLog(g_run.log, board, chatterMs);
  g_run.logging = g_run.log.state == LogWriting;
  g_run.japanese = japanese;
  g_run.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_run.window = &window;
  g_run.repaintMessage = repaintMessage;
  g_run.running = 1;
  g_run.resync = 1; // keys already held at start are logged down
  startSourceChoice(g_run.choice);
  g_run.thread = CreateThread(nullptr, 0, runBoardWorker, nullptr, 0, nullptr);
  return g_run.thread != nullptr;
}

HANDLE boardWakeEvent() { return g_run.wake; }

CRITICAL_SECTION &boardRunLock() { return g_run.lock; }

HookQueue &boardHookQueue() { return g_run.hookQueue; }

bool boardLogWriting() { return g_run.logging; }

double lastPrintScreenMs() {
  return static_cast<double>(g_run.printScreenMs.load());
}

void resyncBoardKeys() {
  g_run.resync = 1;
  SetEvent(g_run.wake);
}

void copyBoardProgress(BoardProgress &progress) {
  EnterCriticalSection(&g_run.lock);
  progress = g_run.progress;
  LeaveCriticalSection(&g_run.lock);
}

bool stopBoardWorker(DWORD boundMs) {
  g_run.running = 0;
  if (g_run.thread == nullptr)
    return true;
  SetEvent(g_run.wake);
  return boardWorkerEnded() ||
         WaitForSingleObject(g_run.thread, boundMs) == WAIT_OBJECT_0;
}

bool boardWorkerEnded() {
  return g_run.thread == nullptr ||
         WaitForSingleObject(g_run.thread, 0) == WAIT_OBJECT_0;
}
