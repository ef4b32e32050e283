// The board worker. DirectInput's buffered changes carry each transition
// in the order it happened, with its time, so a bounce of a few
// milliseconds is seen as the two transitions it was; the log line is
// written before the progress shows it, so what the window shows is on
// disk.
#include "input/board_worker.h"

#include "input/device_set.h"
#include "input/input_worker.h"
#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"

namespace {

constexpr DWORD kChangesPerRead = 64;

// Shared by the worker and the UI thread: the progress under the lock,
// the flags atomic; the rest is set before the thread starts.
struct BoardRun {
  const Board *board;
  BoardProgress progress;
  CRITICAL_SECTION lock;
  LogFile log; // the worker's alone once it runs
  std::atomic<bool> logging;
  DWORD startTick;
  HANDLE wake;
  HANDLE thread;
  const std::atomic<HWND> *window;
  UINT repaintMessage;
  std::atomic<LONG> running;
  std::atomic<LONG> resync;
};
BoardRun g_run{};

// The worker is the progress's only writer, so it reads it unlocked.
bool isDown(int key) { return g_run.progress.keys[key].down; }

// One transition of a key; a repeat of the state the key is already in
// (a change the resync has already logged) is dropped. True when logged.
bool takeChange(uint8_t code, bool down, DWORD tick) {
  if (code == 0 || code == 0xFF) // no key, and the tables' gap
    return false;
  const int key = g_run.board->keyOfCode[code];
  const bool onBoard = key >= 0;
  if (onBoard ? isDown(key) == down : g_run.progress.offBoardDown[code] == down)
    return false;
  const DWORD ms = tick - g_run.startTick;
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
    applyTransition(g_run.progress, key, down, ms);
  else
    applyOffBoardTransition(g_run.progress, code, down);
  LeaveCriticalSection(&g_run.lock);
  return true;
}

bool resyncFromState() {
  KeyState state;
  if (!readKeyboardState(state))
    return false;
  const DWORD now = GetTickCount();
  bool changed = false;
  // 0xFF is the tables' gap, set along with some real key: never a key.
  for (int code = 1; code < 0xFF; ++code)
    changed |= takeChange(uint8_t(code), (state.bytes[code] & 0x80) != 0, now);
  return changed;
}

bool runPass() {
  bool changed = false;
  DIDEVICEOBJECTDATA changes[kChangesPerRead];
  for (;;) {
    DWORD count = kChangesPerRead;
    const HRESULT result = readKeyboardChanges(changes, count);
    if (FAILED(result))
      break;
    if (result == DI_BUFFEROVERFLOW)
      g_run.resync = 1;
    for (DWORD i = 0; i < count; ++i)
      changed |=
          takeChange(static_cast<uint8_t>(changes[i].dwOfs),
                     (changes[i].dwData & 0x80) != 0, changes[i].dwTimeStamp);
    if (count < kChangesPerRead)
      break;
  }
  if (g_run.resync.exchange(0) != 0)
    changed |= resyncFromState();
  return changed;
}

DWORD WINAPI runBoardWorker(LPVOID) {
  while (WaitForSingleObject(g_run.wake, INFINITE) == WAIT_OBJECT_0 &&
         g_run.running != 0) {
    if (!runPass())
      continue;
    if (HWND window = g_run.window->load())
      PostMessageA(window, g_run.repaintMessage, 0, 0);
  }
  closeBoardLog(g_run.log, *g_run.board);
  noteLogState(g_run.log);
  return 0;
}

} // namespace

bool startBoardWorker(const Board &board, double chatterMs, DWORD startTick,
                      const std::atomic<HWND> &window, UINT repaintMessage) {
  g_run.board = &board;
  startBoardProgress(g_run.progress, board, chatterMs);
  InitializeCriticalSection(&g_run.lock);
  openBoardLog(g_run.log, board, chatterMs);
  g_run.logging = g_run.log.state == LogWriting;
  g_run.startTick = startTick;
  g_run.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_run.window = &window;
  g_run.repaintMessage = repaintMessage;
  g_run.running = 1;
  g_run.resync = 1; // keys already held at start are logged down
  g_run.thread = CreateThread(nullptr, 0, runBoardWorker, nullptr, 0, nullptr);
  return g_run.thread != nullptr;
}

HANDLE boardWakeEvent() { return g_run.wake; }

bool boardLogWriting() { return g_run.logging; }

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
