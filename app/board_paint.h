// The board window's GDI side: the plan laid out for the window's font,
// and a whole frame drawn off screen and copied in one step, so a repaint
// never shows a half-drawn board and never draws text over text.
#pragma once

#include <windows.h>

#include "keymodel/board_plan.h"

void layoutBoardPlanFor(HDC dc, BoardPlan &plan, const Board &board);

// Colours the plan from the progress and draws it into dc's client area.
void paintBoardPlan(HDC dc, BoardPlan &plan, const BoardProgress &progress);
