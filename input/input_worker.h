// The background thread that wakes on every keyboard change, logs what
// changed and asks the window to repaint.
#pragma once

#include <windows.h>

#include <atomic>

#include "keymodel/log_file.h"

// 1 from the start; cleared once when the window is closed.
extern std::atomic<LONG> g_running;
// Set by the worker when a write to the log failed: the log is short, and
// the program's exit code says so.
extern std::atomic<bool> g_logStoppedShort;

// Said once, at the first failed write of any log of the program (the
// debugger line, g_logStoppedShort set); the log is known short from then.
void noteLogState(const LogFile &log);

// Name of the auto-reset event the keyboard signals.
constexpr char kWakeEventName[] = "waitkey";

// "waitkey" opened by name for as long as this lives, and closed after:
// the keyboard holds its own duplicate. Null while the worker has not
// created the event yet.
struct OpenedWakeEvent {
  OpenedWakeEvent();
  ~OpenedWakeEvent();
  OpenedWakeEvent(const OpenedWakeEvent &) = delete;
  OpenedWakeEvent &operator=(const OpenedWakeEvent &) = delete;

  HANDLE handle;
};

// Starts the worker thread (on WM_CREATE). After every pass that read the
// keyboard it posts repaintMessage to window, read afresh each time: the
// handle is stored only once the window exists, after the worker started.
// False if the thread could not start.
bool startInputWorker(const std::atomic<HWND> &window, UINT repaintMessage);

// The close step: clears g_running, signals the wake event and waits for
// the worker to write its closing line and end, signalling again while it
// has not (another copy of the program can take a signal). True when the
// worker has ended within boundMs; then no thread touches the devices.
bool stopInputWorker(DWORD boundMs);

// Whether the worker has ended, without waiting: after a close step that
// gave up, the devices are left to process exit rather than waited for
// again.
bool inputWorkerEnded();
