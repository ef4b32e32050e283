// A station's window is the board window with a few more things to say:
// the unit's verdict naming its keys, the serial being typed, the count of
// units so far and a "Fail unit" button. They are laid out and worded here,
// as the board's keycaps are in board_plan, so the two front ends only draw
// them and hit-test the button's rectangle.
#pragma once

#include "keymodel/board_plan.h"
#include "keymodel/station.h"

// For layoutBoardPlan: the prompt's line under the verdict's, the count's
// with the button at the window's right, then the notice's, at lineHeight
// and margin; widens and lengthens the client area to hold them.
void layoutStationLines(BoardPlan &plan, int lineHeight, int margin,
                        MeasureText measure, void *context);

// colourBoardPlan for the unit under test, then the station's lines: no
// verdict while the unit is tested (a key still held is no FAIL yet); once
// it has one, PASS, or FAIL with the keys that chattered, were held and
// were never pressed, named as their keycaps show them; the serial typed
// so far; the count; the button live only while the unit is tested.
void colourStationPlan(BoardPlan &plan, const Station &station);

// A click at x, y of the client area is on the live button.
bool isOnStationButton(const BoardPlan &plan, int x, int y);
