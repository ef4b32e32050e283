// On Linux the terminal already takes UTF-8 and paths use '/' alone.
#include "report/platform.h"

void prepareConsole() {}

bool isPathSeparator(char c) { return c == '/'; }
