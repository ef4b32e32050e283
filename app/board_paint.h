// The board window's GDI side: the plan laid out for the window's font,
// and a frame drawn off screen and copied in one step, so a repaint never
// shows a half-drawn board and never draws text over text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "keymodel/board_plan.h"

// The plan at the largest fonts whose window fits maxWidth x maxHeight,
// measured on dc; the fonts stay for drawing. False when none fits.
bool fitBoardPlanTo(HDC dc, BoardPlan &plan, const Board &board,
                    const std::vector<std::string> &legends, int maxWidth,
                    int maxHeight);

// Colours the plan from the progress and the log's state, redraws off
// screen what changed since the last call (everything the first time) and
// invalidates it.
void updateBoardFrame(HWND window, BoardPlan &plan,
                      const BoardProgress &progress, bool logging,
                      const std::string &logPlace);

// Copies the update rectangle of the frame into the window's paint DC.
void paintBoardFrame(HDC dc, const RECT &update);
