// The main window's private messages, named in one place so that no two
// share a number and the input worker never has to name one itself.
#pragma once

#include <windows.h>

// Posted once by start-up, after the devices exist, to attach the wake
// event and acquire the devices.
constexpr UINT kStartMessage = WM_USER + 1;

// Posted by the input worker after every pass that read the keyboard:
// SetTimer only works for a window of the calling thread, so the UI thread
// invalidates and sets the 10 ms follow-up timer itself.
constexpr UINT kRepaintRequest = WM_USER + 2;

static_assert(kStartMessage == 0x0401, "the start message's documented value");
