// Board mode's reading thread: it wakes on every keyboard change, from the
// keyboard hook or from DirectInput, takes the changes one by one with
// their times, logs each key of the board and feeds the board's progress,
// then asks the window to repaint. The window reads the progress through a
// copy, taken under the worker's lock.
#pragma once

#include <windows.h>

#include <atomic>

#include "input/hook_queue.h"
#include "keymodel/board.h"
#include "keymodel/board_progress.h"

// Opens the log (created or emptied, as the classic log; a station's run,
// attached before, has its own: station_keys.h), creates the wake
// event and starts the thread. Times in the log are the board clock's,
// which must be started. japanese: DirectInput reports a Japanese 106
// keyboard, whose keys it names apart. After every pass that changed
// something it posts repaintMessage to window, read afresh each time. The
// board must outlive the worker. False when the thread could not start.
bool startBoardWorker(const Board &board, double chatterMs, bool japanese,
                      const std::atomic<HWND> &window, UINT repaintMessage);

// The event the keyboard and the hook are to signal (the worker's own,
// unnamed), and the queue the hook hands its events over in.
HANDLE boardWakeEvent();
HookQueue &boardHookQueue();

// The lock the progress, and a station's run, are shared under.
CRITICAL_SECTION &boardRunLock();

// The next pass first compares the keyboard's whole state with what the
// progress holds and logs the differences at that moment: for keys that
// changed while the window was not listening, or changes a full buffer
// lost.
void resyncBoardKeys();

void copyBoardProgress(BoardProgress &progress);

// Whether the log is still being written: false when it could not be
// opened (another copy has it, a link sits at its name) or stopped short.
bool boardLogWriting();

// The board clock's time of the last Print Screen down, or < 0.
double lastPrintScreenMs();

// As the classic worker's close step: the worker takes what the keyboard
// and the hook still hold, writes the closing line and ends; true when it
// did within boundMs.
bool stopBoardWorker(DWORD boundMs);
bool boardWorkerEnded();
