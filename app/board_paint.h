// The board window's GDI side: the plan laid out for the window's font,
// and a frame drawn off screen and copied in one step, so a repaint never
// shows a half-drawn board and never draws text over text.
#pragma once

#include <windows.h>

#include "keymodel/board_plan.h"

void layoutBoardPlanFor(HDC dc, BoardPlan &plan, const Board &board);

// Colours the plan from the progress and the log's state, redraws off
// screen what changed since the last call (everything the first time) and
// invalidates it.
void updateBoardFrame(HWND window, BoardPlan &plan,
                      const BoardProgress &progress, bool logging);

// Copies the update rectangle of the frame into the window's paint DC.
void paintBoardFrame(HDC dc, const RECT &update);
