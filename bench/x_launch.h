// x_probe start TITLE WIDTH RUNS PREP_SH CLOSE_SH -- COMMAND...
// Runs PREP_SH, launches COMMAND and polls the X tree for a window named
// TITLE until it is WIDTH wide, then runs CLOSE_SH and waits for the exit;
// RUNS times. Prints the rows; 0 on success.
#pragma once

#include <X11/Xlib.h>

int runStart(Display *display, int argc, char **argv);
