// What the user's own keyboard prints on each key, for the keycaps: a
// German user's Z key shows "Z" though the board, the log and the report
// call it "Y". Taken from the keyboard layout active when the window opens.
#pragma once

#include <string>
#include <vector>

#include "keymodel/board.h"

// A caption per key of the board, parallel to its keys: the layout's
// unshifted character, in capitals, where it prints one; "" (the board's
// label) where it does not, such as the modifiers, the keypad and the
// function keys.
void readLegends(const Board &board, std::vector<std::string> &legends);
