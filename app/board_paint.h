// The board window's GDI side: the plan laid out for the window's font,
// and a frame drawn off screen and copied in one step, so a repaint never
// shows a half-drawn board and never draws text over text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "keymodel/board_plan.h"

// The plan at the largest fonts whose window fits maxWidth x maxHeight,
// measured on dc, with a station's lines when asked; the fonts stay for
// drawing. False when none fits.
bool fitBoardPlanTo(HDC dc, BoardPlan &plan, const Board &board,
                    const std::vector<std::string> &legends, int maxWidth,
                    int maxHeight, bool station);

// Redraws off screen what changed in the coloured plan since the last call
// (everything the first time) and invalidates it.
void drawBoardFrame(HWND window, const BoardPlan &plan);

// Copies the update rectangle of the frame into the window's paint DC.
void paintBoardFrame(HDC dc, const RECT &update);
