// The board window as a station's: its run opened before the window, the
// serial typed (WM_CHAR), the "Fail unit" button clicked, keyboards
// plugged in and unplugged (WM_DEVICECHANGE for keyboard interfaces), each
// handed to the station run under the board worker's lock; and the
// station's lines coloured for the painter.
#pragma once

#include <windows.h>

#include <string>

#include "keymodel/board_plan.h"
#include "keymodel/board_tail.h"

// The station's name checked and its results file and log opened, with
// unit 1 starting now. False with the message for the window's box (one
// line) when the name breaks the rule or the results file cannot be
// opened (another copy has it, a link at its name): no window then.
bool openStationWindowRun(const Board &board, double chatterMs,
                          const BoardTail &asked, std::string &error);

// Once the window exists: the keyboards' comings and goings asked for, and
// the one keyboard the system lists named for unit 1.
void listenForKeyboards(HWND window);

// The plan coloured from the station, the log's place said until a
// verdict, and why the results are not written, if so.
void colourStationWindow(BoardPlan &plan, const std::string &logPlace);

// The window's messages; each asks for a repaint when something changed.
LRESULT onStationChar(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT onStationClick(HWND window, LPARAM lParam, const BoardPlan &plan);
LRESULT onStationDeviceChange(HWND window, WPARAM wParam, LPARAM lParam);
