// Catches what the code under test writes with OutputDebugStringA, on the
// production path itself: the call raises DBG_PRINTEXCEPTION_C, and a
// vectored handler sees that before anything else does.
#pragma once

#include <string>

// Starts collecting; each capture holds everything written since.
void startDebugCapture();
std::string capturedDebugOutput();
void stopDebugCapture();

// The program's three Japanese messages as code page 932 encodes them,
// converted here by the platform rather than typed in as bytes.
std::string inShiftJis(const char *utf8);
std::string mouseMessage();
std::string keyboardMessage();
std::string joystickMessage();
