// Reading a board file the user named. Whatever sits at that name, a FIFO
// that no one writes, a folder, a device, is refused at once rather than
// waited on, and a file too large to be a board is not read into memory.
// Each platform's build brings its own; on Windows the name is UTF-8, so
// a folder outside the system's code page still opens.
#pragma once

#include <string>

// A board file is far smaller than this.
constexpr long kMaxBoardFileBytes = 1 << 20;

// The whole file into text; false with error "PATH: PROBLEM" (the path as
// given, escaped for display) when it cannot be read.
bool readBoardFile(const char *path, std::string &text, std::string &error);
