// The input worker: a thread that sleeps on the "waitkey" event, which the
// keyboard signals on every change, logs the keys that changed since the
// last good snapshot and asks the window to repaint.
#include "input/input_worker.h"

#include <algorithm>

#include "input/device_set.h"
#include "keymodel/layout.h"
#include "keymodel/transition_log.h"

std::atomic<LONG> g_running{1};
std::atomic<bool> g_logStoppedShort{false};

namespace {

// Kept so that the close step can wait for the closing line before the
// devices are released. UI thread only.
HANDLE g_workerThread = nullptr;

// Where the worker sends its repaint requests; set before it starts.
struct RepaintTarget {
  const std::atomic<HWND> *window;
  UINT message;
};
RepaintTarget g_target{};

constexpr DWORD kStopSliceMs = 100;

// "ログの書き込みに失敗\n", Shift-JIS like the program's other failures.
constexpr char kLogWriteFailed[] =
    "\x83\x8D\x83\x4F\x82\xCC\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xC9"
    "\x8E\xB8\x94\x73\n";

// One wake-up: a good reading is logged and asks for a repaint.
void runPass(SnapshotPair &pair, LogFile &log) {
  if (!takeReading(pair, log, g_keyboardLayout, readKeyboardState))
    return;
  noteLogState(log);
  // SetTimer only works for a window of the calling thread, so the window
  // procedure invalidates and sets its follow-up timer itself.
  if (HWND window = g_target.window->load())
    PostMessageA(window, g_target.message, 0, 0);
}

DWORD WINAPI runInputWorker(LPVOID) {
  HANDLE wake = CreateEventA(nullptr, FALSE, FALSE, kWakeEventName);
  SnapshotPair pair;
  clearSnapshots(pair);
  LogFile log;
  openTransitionLog(log);
  // Without an event (the name belongs to another kind of object) the
  // first wait fails at once, and a failed wait ends the worker: it must
  // never spin. The log then holds the closing line alone.
  while (WaitForSingleObject(wake, INFINITE) == WAIT_OBJECT_0) {
    runPass(pair, log);
    // Drops a signal that came during the pass; a key still changed is
    // seen by the next reading anyway.
    ResetEvent(wake);
    if (!g_running)
      break;
  }
  closeTransitionLog(log, g_keyboardLayout);
  noteLogState(log);
  if (wake != nullptr)
    CloseHandle(wake);
  return 0;
}

void signalWakeEvent() {
  OpenedWakeEvent wake;
  if (wake.handle != nullptr)
    SetEvent(wake.handle);
}

bool workerEndedWithin(DWORD ms) {
  if (WaitForSingleObject(g_workerThread, ms) != WAIT_OBJECT_0)
    return false;
  CloseHandle(g_workerThread);
  g_workerThread = nullptr;
  return true;
}

} // namespace

void noteLogState(const LogFile &log) {
  const bool stopped = log.state == LogWriteFailed || log.state == LogGone;
  if (stopped && !g_logStoppedShort.exchange(true))
    OutputDebugStringA(kLogWriteFailed);
}

OpenedWakeEvent::OpenedWakeEvent()
    : handle(OpenEventA(EVENT_ALL_ACCESS, FALSE, kWakeEventName)) {}

OpenedWakeEvent::~OpenedWakeEvent() {
  if (handle != nullptr)
    CloseHandle(handle);
}

bool startInputWorker(const std::atomic<HWND> &window, UINT repaintMessage) {
  g_target = {&window, repaintMessage};
  HANDLE thread = CreateThread(nullptr, 0, runInputWorker, nullptr, 0, nullptr);
  if (thread == nullptr)
    return false;
  g_workerThread = thread;
  return true;
}

bool stopInputWorker(DWORD boundMs) {
  g_running = 0;
  if (g_workerThread == nullptr)
    return true;
  const DWORD start = GetTickCount();
  for (;;) {
    // Signalled again on every slice: a second copy of the program waits on
    // the same auto-reset event, and its worker may take a signal.
    signalWakeEvent();
    const DWORD spent = GetTickCount() - start;
    const DWORD slice =
        spent < boundMs ? std::min(kStopSliceMs, boundMs - spent) : 0;
    if (workerEndedWithin(slice))
      return true;
    if (GetTickCount() - start >= boundMs)
      return false;
  }
}

bool inputWorkerEnded() {
  return g_workerThread == nullptr || workerEndedWithin(0);
}
