// The single main window: its class, caption and the window procedure that
// ties activation, painting, timers and shutdown together.
#pragma once

#include <windows.h>

#include "version.h"

// Both the class name and the caption.
constexpr char kWindowTitle[] = "Corvane Keyboard Checker v" KC_VERSION;

// Posted once by start-up, after the devices exist, to attach the wake
// event and acquire the devices.
constexpr UINT kStartMessage = WM_USER + 1;

// Caption, system menu and minimize box: fixed size, no maximize.
constexpr DWORD kWindowStyle = 0x10CA0000;

// Registers the class and creates the window at (0, 0) with zero size; the
// first drawing fits it. Null when either step fails.
HWND createMainWindow(HINSTANCE instance);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
