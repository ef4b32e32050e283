// Board mode's drawing, a moment after what changed: the plan coloured
// from the board run's progress or the station's unit, with what the
// window has to say, drawn off screen and copied in.
#pragma once

#include "x11/board_mode.h"

// A lost picture is shown again at once; a change waits for its timer.
void paintSoon(BoardChecker &c);

// The timer fired: the change is drawn.
void onPaintTimer(BoardChecker &c);
