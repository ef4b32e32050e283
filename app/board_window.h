// Board mode: the window that shows the user's own keyboard filling in as
// it is tested, and the run around it. The classic window is untouched:
// board mode is chosen by its option alone.
#pragma once

#include <windows.h>

#include "keymodel/board_tail.h"

// Loads the board a "--board" tail named (a preset's name or a path, in
// UTF-8), then runs the board window, a station's when the tail asks, until
// it is closed. A board that cannot be loaded, a bad station name or a
// station's results file that cannot be opened is said in a message box
// and gives status 2, with no window and no log.
int runBoardMode(HINSTANCE instance, const BoardTail &tail);
