// The background thread that wakes on every keyboard change, logs what
// changed and asks the window to repaint.
#pragma once

#include <windows.h>

#include <atomic>

// 1 from the start; cleared once when the window is closed.
extern std::atomic<LONG> g_running;

// Null until start-up stores it once the window exists.
extern std::atomic<HWND> g_mainWindow;

// Name of the auto-reset event the keyboard signals.
constexpr char kWakeEventName[] = "waitkey";

// Posted by the worker after every logged pass: SetTimer only works for a
// window the calling thread owns, so the UI thread invalidates and sets the
// 10 ms follow-up timer itself.
constexpr UINT kRepaintMessage = WM_USER + 2;

// Starts the worker thread (on WM_CREATE). False if it could not start.
bool startInputWorker();

// The close step: clears g_running, signals the wake event and waits for
// the worker to write its closing line and end, signalling again while it
// has not (another copy of the program can take a signal). True when the
// worker has ended within boundMs; then no thread touches the devices.
bool stopInputWorker(DWORD boundMs);
