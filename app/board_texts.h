// What the board window says outside its plan: where its log is, and why
// a run could not start, in a box since a run started from a shortcut has
// no console.
#pragma once

#include <string>

// The log's full name in the current folder, UTF-8; "" when unknown.
std::string logPlace();

// A message box with the error (UTF-8) under the window's title.
void sayBadBoard(const std::string &error);
