// A Windows console shows the OEM code page unless told otherwise, and its
// text mode would turn each LF into CR LF, so --json would differ in bytes
// from the native program's.
#include "report/platform.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

void prepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }
